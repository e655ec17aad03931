// The smoothed clock, and the frame loop run against the fake platform and the scene
// stand-in: what each pass does, in which order, and how the loop ends.
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "shell/shell.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/fake_platform.h"

namespace {

TEST(SmoothElapsedMs, HalvesThePreviousPlusRawAndTruncates) {
    int32_t elapsed = 0;
    std::vector<int32_t> seen;
    for (uint32_t raw : {0u, 16u, 32u, 48u, 64u})
        seen.push_back(elapsed = SmoothElapsedMs(elapsed, raw));
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 8, 20, 34, 49}));
    EXPECT_EQ(SmoothElapsedMs(3, 4), 3);
}

TEST(SmoothElapsedMs, NeverFallsWhileRawAdvancesBelowTwoTo31) {
    int32_t elapsed = 0;
    // Steps of about 1.4 days reach the top of the signed range in ~17 frames.
    for (uint32_t raw = 0; raw < 0x80000000u; raw += 123456789u) {
        const int32_t next = SmoothElapsedMs(elapsed, raw);
        EXPECT_GE(next, elapsed) << "raw " << raw;
        elapsed = next;
    }
    EXPECT_GT(elapsed, 0x40000000);
}

TEST(SmoothElapsedMs, StaysDefinedPastTwoTo31) {
    // Each of these would overflow a 32-bit sum; the sanitizers watch the arithmetic.
    const struct {
        int32_t previous;
        uint32_t raw;
        int32_t expected;
    } cases[] = {
        {INT32_MAX, 0x7fffffffu, INT32_MAX},  // the last meaningful step
        {INT32_MAX, 0x80000000u, 0},          // raw reads as -2^31: sum -1 truncates to 0
        {INT32_MAX, 0xffffffffu, 0x3fffffff}, // raw reads as -1
        {INT32_MIN, 0x7fffffffu, INT32_MAX},  // previous reads as 2^31: sum 2^32 - 1
        {-1, 0x7fffffffu, -0x40000001},       // (2^32 - 1 + 2^31 - 1) / 2, low 32 bits
        {0, 0x80000000u, -0x40000000},        // sum -2^31 halves exactly
        {0, 0x80000001u, -0x3fffffff},        // sum -(2^31 - 1) truncates toward zero
    };
    for (const auto& c : cases)
        EXPECT_EQ(SmoothElapsedMs(c.previous, c.raw), c.expected)
            << "previous " << c.previous << " raw " << c.raw;
}

class FrameLoopTest : public testing::Test {
  protected:
    void SetUp() override { ResetShellForTest(); }
};

// The loop's passes, each from its PeekMessageA on: the loop's own calls and the scene's.
std::vector<std::string> Passes() {
    std::vector<std::string> passes;
    for (const std::string& call :
         KeepCalls({"PeekMessageA", "TranslateMessage", "DispatchMessageA", "DrawScene",
                    "SwapBuffers", "ApplyKeyToggles", "PostQuitMessage"}))
        if (call == "PeekMessageA")
            passes.push_back(call);
        else
            passes.back() += " " + call;
    return passes;
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
    // The result is the wParam of WM_QUIT, the code the close posted.
    EXPECT_EQ(RunMainLoop(nullptr, nullptr, nullptr, 0), 0);

    const std::string message = "PeekMessageA TranslateMessage DispatchMessageA";
    EXPECT_EQ(Passes(),
              (std::vector<std::string>{message, message, // W down, mouse move
                                        "PeekMessageA DrawScene SwapBuffers ApplyKeyToggles",
                                        message, message + " PostQuitMessage", // W up, close
                                        message,           // C down, still before quit
                                        "PeekMessageA"})); // WM_QUIT: no further frame
    EXPECT_EQ(KeyDown['C'], 1);
    EXPECT_EQ(FrameCount, 1);
}

TEST_F(FrameLoopTest, EscIsSeenOnlyAfterTheNextFrameIsShown) {
    fake::SetSwapHook([](int swap) {
        if (swap == 2)
            fake::PostMessageToWindow(WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(RunMainLoop(nullptr, nullptr, nullptr, 0), VK_ESCAPE); // the last wParam taken
    const std::string frame = "PeekMessageA DrawScene SwapBuffers ApplyKeyToggles";
    // The frame after the Esc message is shown, then no toggles and no further pass.
    EXPECT_EQ(Passes(), (std::vector<std::string>{frame, frame,
                                                  "PeekMessageA TranslateMessage "
                                                  "DispatchMessageA",
                                                  "PeekMessageA DrawScene SwapBuffers"}));
    EXPECT_EQ(fake::Recorded().swappedDcs, std::vector<HDC>(3, fake::Dc()));
    EXPECT_EQ(KeepCalls({"DestroyWindow"}).size(), 1u);
}

TEST_F(FrameLoopTest, ClockStartsAfterTheSceneIsReadyAndWrapsWithTheTickCount) {
    for (DWORD startTick : {DWORD{5000}, DWORD{0xfffffff8u}}) {
        SCOPED_TRACE(startTick);
        SetUp();
        // Loading the scene takes time that must not count.
        fake::SetTickCount(100);
        InitHook = [startTick] { fake::SetTickCount(startTick); };
        fake::SetSwapHook([startTick](int swap) {
            fake::SetTickCount(startTick + 16u * static_cast<DWORD>(swap));
            if (swap == 5)
                fake::PostMessageToWindow(WM_CLOSE, 0, 0);
        });
        RunMainLoop(nullptr, nullptr, nullptr, 0);
        EXPECT_EQ(DrawnElapsedMs, (std::vector<int32_t>{0, 8, 20, 34, 49}));
    }
}

TEST_F(FrameLoopTest, AnEightHundredBySixHundredWindowAtThirtyTwoBitsThenOneWindowedTeardown) {
    fake::SetSwapHook([](int) { fake::PostMessageToWindow(WM_CLOSE, 0, 0); });
    RunMainLoop(nullptr, nullptr, nullptr, 0);
    const fake::CreateWindowRecord& window = fake::Recorded().window;
    EXPECT_EQ(std::make_tuple(window.width, window.height, window.style),
              std::make_tuple(800, 600, 0x06CF0000u));
    EXPECT_EQ(fake::Recorded().chosenFormat.cColorBits, 32);
    EXPECT_TRUE(fake::Recorded().displayFlags.empty());
    EXPECT_TRUE(fake::Recorded().showCursor.empty());
    EXPECT_TRUE(fake::MessageBoxes().empty());
    EXPECT_EQ(KeepCalls({"DestroyWindow"}).size(), 1u);
    EXPECT_EQ(fake::CallLog().back(), "UnregisterClassA");
}

TEST_F(FrameLoopTest, WinMainEndsWithZeroWhetherTheWindowIsMadeOrNot) {
    fake::SetSwapHook([](int) { fake::PostMessageToWindow(WM_KEYDOWN, VK_ESCAPE, 0); });
    char commandLine[] = "--full-screen --size 10x10";
    EXPECT_EQ(WinMain(fake::Instance(), nullptr, commandLine, SW_HIDE), 0);
    // Neither the command line nor the show command is applied.
    EXPECT_EQ(fake::Recorded().showWindow, std::vector<int>{SW_SHOW});
    EXPECT_EQ(fake::Recorded().window.width, 800);
    EXPECT_EQ(KeepCalls({"SwapBuffers"}).size(), 2u);

    ResetShellForTest();
    fake::FailCall("CreateWindowExA");
    EXPECT_EQ(WinMain(fake::Instance(), nullptr, commandLine, SW_HIDE), 0);
    EXPECT_TRUE(KeepCalls({"PeekMessageA", "DrawScene"}).empty());
    EXPECT_EQ(ShownTexts().back(), "Unable to create window!");
}

} // namespace
