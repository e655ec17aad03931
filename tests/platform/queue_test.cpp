// The queue as the frame loop sees it: one message per PeekMessageA, input before WM_QUIT,
// WM_QUIT before timers, timers only when nothing else waits and never more than one due.
#include <string>
#include <tuple>

#include "platform_test_support.h"

namespace {

using QueueTest = DummyVideoTest;

std::string Named(UINT message, WPARAM wParam) {
    return std::to_string(message) + ":" + std::to_string(wParam);
}

// Up to limit messages, one per PeekMessageA, named; the last one taken is left in last.
std::vector<std::string> Take(int limit = 10, MSG* last = nullptr) {
    std::vector<std::string> taken;
    MSG message;
    while (static_cast<int>(taken.size()) < limit &&
           PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        taken.push_back(Named(message.message, message.wParam));
        if (last != nullptr)
            *last = message;
    }
    return taken;
}

TEST_F(QueueTest, OneMessagePerCallInTheOrderTheEventsCameThenQuitOnce) {
    HWND window = MakeWindow();
    PushKey(window, SDLK_w);
    PostQuitMessage(3);
    PostQuitMessage(3);
    PushKey(window, SDLK_w, SDL_KEYUP);
    PushKey(window, SDLK_ESCAPE);
    MSG first;
    ASSERT_TRUE(PeekMessageA(&first, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(std::make_tuple(first.hwnd, first.message, first.wParam),
              std::make_tuple(window, UINT(WM_KEYDOWN), WPARAM('W')));
    MSG last;
    EXPECT_EQ(Take(10, &last),
              (std::vector<std::string>{Named(WM_KEYUP, 'W'), Named(WM_KEYDOWN, VK_ESCAPE),
                                        Named(WM_QUIT, 3)}));
    EXPECT_EQ(last.hwnd, nullptr);
    EXPECT_TRUE(ReceivedMessages().empty()) << "peeking must not dispatch";
}

TEST_F(QueueTest, EventsForUnknownWindowsAreDropped) {
    HWND window = MakeWindow();
    SDL_Event stray{};
    stray.type = SDL_KEYDOWN;
    stray.key.windowID = window->SdlId + 100;
    stray.key.keysym.sym = SDLK_c;
    ASSERT_EQ(SDL_PushEvent(&stray), 1);
    EXPECT_TRUE(Take().empty());
}

TEST_F(QueueTest, ADueTimerWaitsForInputAndQuit) {
    HWND window = MakeWindow();
    ASSERT_EQ(SetTimer(window, 1, 10, nullptr), UINT_PTR(1));
    SDL_Delay(30); // the period has passed before anything is taken
    PushKey(window, SDLK_f);
    PushKey(window, SDLK_f, SDL_KEYUP);
    PostQuitMessage(0);
    MSG last;
    EXPECT_EQ(Take(4, &last),
              (std::vector<std::string>{Named(WM_KEYDOWN, 'F'), Named(WM_KEYUP, 'F'),
                                        Named(WM_QUIT, 0), Named(WM_TIMER, 1)}));
    EXPECT_EQ(last.hwnd, window);
}

TEST_F(QueueTest, ALateTimerGivesOneMessageAndRestartsItsPeriod) {
    HWND window = MakeWindow();
    DWORD before = GetTickCount();
    ASSERT_NE(SetTimer(window, 1, 500, nullptr), 0u);
    DWORD set = GetTickCount();
    MSG message;
    EXPECT_FALSE(TakeDueTimer(before + 499, &message));
    ASSERT_TRUE(TakeDueTimer(set + 5000, &message)); // ten periods late
    EXPECT_EQ(std::make_pair(message.message, message.wParam),
              std::make_pair(UINT(WM_TIMER), WPARAM(1)));
    EXPECT_FALSE(TakeDueTimer(set + 5000, &message));
    EXPECT_FALSE(TakeDueTimer(set + 5499, &message));
    EXPECT_TRUE(TakeDueTimer(set + 5500, &message));
}

TEST_F(QueueTest, TimersAreKeptPerWindowAndIdAndResetBySettingAgain) {
    HWND first = MakeWindow();
    HWND second = MakeWindow();
    DWORD now = GetTickCount();
    SetTimer(first, 1, 500, nullptr);
    SetTimer(first, 1, 2000, nullptr); // the same timer, a new period
    SetTimer(second, 1, 500, nullptr);
    SetTimer(second, 7, 500, nullptr);
    std::vector<std::pair<HWND, WPARAM>> due;
    MSG message;
    for (int index = 0; index < 5 && TakeDueTimer(now + 1000, &message); ++index)
        due.emplace_back(message.hwnd, message.wParam);
    EXPECT_EQ(due, (std::vector<std::pair<HWND, WPARAM>>{{second, 1}, {second, 7}}));
}

TEST_F(QueueTest, DispatchCallsTheWindowProcedureAndReturnsItsResult) {
    HWND window = MakeWindow();
    MSG message{window, WM_MOUSEMOVE, MK_LBUTTON, 0x00140010, 0, {0, 0}};
    EXPECT_EQ(DispatchMessageA(&message), 0x51);
    EXPECT_FALSE(TranslateMessage(&message));
    message.hwnd = nullptr;
    EXPECT_EQ(DispatchMessageA(&message), 0);
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
    ASSERT_EQ(ReceivedMessages().size(), 1u);
    const ReceivedMessage& received = ReceivedMessages()[0];
    EXPECT_EQ(std::make_tuple(received.window, received.message, received.wParam, received.lParam),
              std::make_tuple(window, UINT(WM_MOUSEMOVE), WPARAM(MK_LBUTTON), LPARAM(0x00140010)));
}

TEST_F(QueueTest, ADestroyedWindowLeavesNoMessagesOrTimersBehind) {
    HWND doomed = MakeWindow();
    HWND kept = MakeWindow();
    SetTimer(doomed, 1, 10, nullptr);
    PushKey(doomed, SDLK_c);
    PushKey(kept, SDLK_w);
    PushKey(doomed, SDLK_c, SDL_KEYUP);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)); // the rest now queued
    ASSERT_EQ(message.hwnd, doomed);
    ASSERT_TRUE(DestroyWindow(doomed));
    SDL_Delay(20);
    MSG last;
    EXPECT_EQ(Take(10, &last), std::vector<std::string>{Named(WM_KEYDOWN, 'W')});
    EXPECT_EQ(last.hwnd, kept);
}

} // namespace
