// The smoothed clock, and the frame loop run against the fake platform and the scene
// stand-in: what each pass does, in which order, and how the loop ends.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/shell.h"
#include "tests/shell/scene_stand_in.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/fake_platform.h"

namespace {

TEST(SmoothElapsedMs, HalvesThePreviousPlusRaw) {
    const uint32_t raws[] = {0, 16, 32, 48, 64};
    const int32_t expected[] = {0, 8, 20, 34, 49};
    int32_t elapsed = 0;
    for (int i = 0; i < 5; ++i) {
        elapsed = SmoothElapsedMs(elapsed, raws[i]);
        EXPECT_EQ(elapsed, expected[i]) << "frame " << i;
    }
    EXPECT_EQ(SmoothElapsedMs(3, 4), 3); // an odd sum truncates
}

TEST(SmoothElapsedMs, NeverFallsWhileRawAdvancesBelowTwoTo31) {
    int32_t elapsed = 0;
    uint32_t raw = 0;
    // Steps of about 1.4 days reach the top of the signed range in ~17 frames.
    for (int frame = 0; frame < 40 && raw < 0x80000000u; ++frame) {
        const int32_t next = SmoothElapsedMs(elapsed, raw);
        EXPECT_GE(next, elapsed) << "raw " << raw;
        elapsed = next;
        raw += 123456789u;
    }
    EXPECT_GT(elapsed, 0x40000000);
}

TEST(SmoothElapsedMs, StaysDefinedPastTwoTo31) {
    // Each of these would overflow a 32-bit sum; the sanitizers watch the arithmetic.
    struct Case {
        int32_t previous;
        uint32_t raw;
        int32_t expected;
    };
    const Case cases[] = {
        {INT32_MAX, 0x7fffffffu, INT32_MAX},  // the last meaningful step
        {INT32_MAX, 0x80000000u, 0},          // raw reads as -2^31: sum -1 truncates to 0
        {INT32_MAX, 0xffffffffu, 0x3fffffff}, // raw reads as -1
        {INT32_MIN, 0x7fffffffu, INT32_MAX},  // previous reads as 2^31: sum 2^32 - 1
        {-1, 0x7fffffffu, -0x40000001},       // (2^32 - 1 + 2^31 - 1) / 2, low 32 bits
        {0, 0x80000000u, -0x40000000},        // sum -2^31 halves exactly
        {0, 0x80000001u, -0x3fffffff},        // sum -(2^31 - 1) truncates toward zero
    };
    for (const Case& c : cases)
        EXPECT_EQ(SmoothElapsedMs(c.previous, c.raw), c.expected)
            << "previous " << c.previous << " raw " << c.raw;
}

class FrameLoopTest : public testing::Test {
  protected:
    void SetUp() override { ResetShellForTest(); }
};

// The loop's own calls, and the scene's, without the start-up and teardown around them.
std::vector<std::string> LoopCalls() {
    return KeepCalls({"PeekMessageA", "TranslateMessage", "DispatchMessageA", "DrawScene",
                      "SwapBuffers", "ApplyKeyToggles", "PostQuitMessage"});
}

size_t CountCalls(const std::string& name) {
    const std::vector<std::string>& log = fake::CallLog();
    return static_cast<size_t>(std::count(log.begin(), log.end(), name));
}

TEST_F(FrameLoopTest, HandlesOneMessagePerPassAndDrawsOnlyOnAnEmptyQueue) {
    fake::PostMessageToWindow(WM_KEYDOWN, 'W', 0);
    fake::PostMessageToWindow(WM_MOUSEMOVE, 0, 0);
    fake::SetSwapHook([](int swap) {
        if (swap == 1) {
            fake::PostMessageToWindow(WM_KEYUP, 'W', 0);
            fake::PostMessageToWindow(WM_CLOSE, 0, 0);
            fake::PostMessageToWindow(WM_KEYDOWN, 'C', 0);
        }
    });
    EXPECT_EQ(RunMainLoop(nullptr, nullptr, nullptr, 0), 0);

    const std::vector<std::string> expected = {
        "PeekMessageA", "TranslateMessage", "DispatchMessageA", // W down
        "PeekMessageA", "TranslateMessage", "DispatchMessageA", // mouse move
        "PeekMessageA", "DrawScene",        "SwapBuffers",      "ApplyKeyToggles",
        "PeekMessageA", "TranslateMessage", "DispatchMessageA",                    // W up
        "PeekMessageA", "TranslateMessage", "DispatchMessageA", "PostQuitMessage", // close
        "PeekMessageA", "TranslateMessage", "DispatchMessageA", // C down, still before quit
        "PeekMessageA",                                         // WM_QUIT: no further frame
    };
    EXPECT_EQ(LoopCalls(), expected);
    EXPECT_EQ(KeyState('C'), 1);
    EXPECT_EQ(FrameCount, 1);
}

TEST_F(FrameLoopTest, EscIsSeenOnlyAfterTheNextFrameIsShown) {
    fake::SetSwapHook([](int swap) {
        if (swap == 2)
            fake::PostMessageToWindow(WM_KEYDOWN, VK_ESCAPE, 0);
    });
    // The result is the wParam of the last message taken: the Esc key's code.
    EXPECT_EQ(RunMainLoop(nullptr, nullptr, nullptr, 0), VK_ESCAPE);

    EXPECT_EQ(CountCalls("DrawScene"), 3u);
    EXPECT_EQ(CountCalls("SwapBuffers"), 3u);
    EXPECT_EQ(CountCalls("ApplyKeyToggles"), 2u);
    const std::vector<std::string>& log = fake::CallLog();
    const auto lastSwap = std::find(log.rbegin(), log.rend(), "SwapBuffers");
    ASSERT_NE(lastSwap, log.rend());
    // Straight from the last swap into the teardown.
    EXPECT_EQ(*(lastSwap - 1), "wglMakeCurrent");
    EXPECT_EQ(fake::Recorded().swappedDcs, std::vector<HDC>(3, fake::Dc()));
}

TEST_F(FrameLoopTest, TogglesFollowTheSwapOfEveryFrame) {
    fake::SetSwapHook([](int swap) {
        if (swap == 3)
            fake::PostMessageToWindow(WM_CLOSE, 0, 0);
    });
    RunMainLoop(nullptr, nullptr, nullptr, 0);
    const std::vector<std::string> frames =
        KeepCalls({"DrawScene", "SwapBuffers", "ApplyKeyToggles"});
    const std::vector<std::string> expected = {"DrawScene", "SwapBuffers", "ApplyKeyToggles",
                                               "DrawScene", "SwapBuffers", "ApplyKeyToggles",
                                               "DrawScene", "SwapBuffers", "ApplyKeyToggles"};
    EXPECT_EQ(frames, expected);
}

TEST_F(FrameLoopTest, ClockStartsAfterTheSceneIsReadyAndWrapsWithTheTickCount) {
    for (DWORD startTick : {DWORD{5000}, DWORD{0xfffffff8u}}) {
        SCOPED_TRACE(startTick);
        SetUp();
        // Loading the scene takes time that must not count.
        fake::SetTickCount(100);
        stand_in::SetInitHook([startTick] { fake::SetTickCount(startTick); });
        fake::SetSwapHook([startTick](int swap) {
            fake::SetTickCount(startTick + 16u * static_cast<DWORD>(swap));
            if (swap == 5)
                fake::PostMessageToWindow(WM_CLOSE, 0, 0);
        });
        RunMainLoop(nullptr, nullptr, nullptr, 0);
        EXPECT_EQ(stand_in::DrawnElapsedMs(), (std::vector<int32_t>{0, 8, 20, 34, 49}));
        EXPECT_EQ(ElapsedMs, 49);
    }
}

TEST_F(FrameLoopTest, StartUpThenLoopThenTeardown) {
    fake::SetSwapHook([](int) { fake::PostMessageToWindow(WM_CLOSE, 0, 0); });
    RunMainLoop(nullptr, nullptr, nullptr, 0);
    const std::vector<std::string> milestones = KeepCalls(
        {"CreateWindowExA", "InitScene", "PeekMessageA", "DestroyWindow", "UnregisterClassA"});
    ASSERT_GE(milestones.size(), 4u);
    EXPECT_EQ(milestones[0], "CreateWindowExA");
    EXPECT_EQ(milestones[1], "InitScene");
    EXPECT_EQ(milestones[2], "PeekMessageA");
    EXPECT_EQ(milestones[milestones.size() - 2], "DestroyWindow");
    EXPECT_EQ(milestones.back(), "UnregisterClassA");
    EXPECT_TRUE(fake::MessageBoxes().empty());
    EXPECT_EQ(CountCalls("DestroyWindow"), 1u);
}

TEST_F(FrameLoopTest, NoLoopWhenTheWindowCannotBeMadeAndTheExitStatusIsStillZero) {
    fake::FailCall("CreateWindowExA");
    EXPECT_EQ(RunMainLoop(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(CountCalls("PeekMessageA"), 0u);
    EXPECT_EQ(CountCalls("DrawScene"), 0u);
    EXPECT_EQ(ShownTexts().back(), "Unable to create window!");

    ResetShellForTest();
    fake::FailCall("RegisterClassA");
    char commandLine[] = "--full-screen --size 10x10";
    EXPECT_EQ(WinMain(fake::Instance(), nullptr, commandLine, SW_HIDE), 0);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Failed to register the window class!"});
}

TEST_F(FrameLoopTest, WinMainEndsWithZeroWhateverTheLoopReturns) {
    fake::SetSwapHook([](int) { fake::PostMessageToWindow(WM_KEYDOWN, VK_ESCAPE, 0); });
    char commandLine[] = "ignored";
    EXPECT_EQ(WinMain(fake::Instance(), nullptr, commandLine, SW_HIDE), 0);
    // The show command is not applied: the window is shown as always.
    EXPECT_EQ(fake::Recorded().showWindow, std::vector<int>{SW_SHOW});
    EXPECT_EQ(CountCalls("SwapBuffers"), 2u);
}

} // namespace
