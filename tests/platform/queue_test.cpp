// The queue as the frame loop sees it: one message per PeekMessageA, input before WM_QUIT,
// WM_QUIT before timers, timers only when nothing else waits and never more than one due.
#include "platform_test_support.h"

namespace {

using QueueTest = DummyVideoTest;

std::vector<UINT> TakeAll() {
    std::vector<UINT> taken;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        taken.push_back(message.message);
    return taken;
}

TEST_F(QueueTest, TakesOneMessagePerCallInTheOrderTheEventsCame) {
    HWND window = MakeWindow();
    PushKey(window, SDLK_w);
    PushKey(window, SDLK_w, SDL_KEYUP);
    PushKey(window, SDLK_ESCAPE);

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_KEYDOWN));
    EXPECT_EQ(message.wParam, WPARAM('W'));
    EXPECT_EQ(message.hwnd, window);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_KEYUP));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.wParam, WPARAM(VK_ESCAPE));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(ReceivedMessages().empty()) << "peeking must not dispatch";
}

TEST_F(QueueTest, EventsForUnknownWindowsAreDropped) {
    HWND window = MakeWindow();
    SDL_Event stray{};
    stray.type = SDL_KEYDOWN;
    stray.key.windowID = window->SdlId + 100;
    stray.key.keysym.sym = SDLK_c;
    ASSERT_EQ(SDL_PushEvent(&stray), 1);
    EXPECT_TRUE(TakeAll().empty());
}

TEST_F(QueueTest, QuitComesAfterEveryWaitingMessageAndOnlyOnce) {
    HWND window = MakeWindow();
    PushKey(window, SDLK_c);
    PostQuitMessage(3);
    PostQuitMessage(3);
    PushKey(window, SDLK_c, SDL_KEYUP);

    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_KEYDOWN));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_KEYUP));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    EXPECT_EQ(message.wParam, WPARAM(3));
    EXPECT_EQ(message.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(QueueTest, ATimerWaitsForAnEmptyQueue) {
    HWND window = MakeWindow();
    ASSERT_EQ(SetTimer(window, 1, 10, nullptr), UINT_PTR(1));
    SDL_Delay(30); // the period has passed before anything is taken
    PushKey(window, SDLK_f);
    PushKey(window, SDLK_f, SDL_KEYUP);

    std::vector<UINT> taken;
    MSG message;
    for (int index = 0; index < 3 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++index)
        taken.push_back(message.message);
    EXPECT_EQ(taken, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_TIMER}));
    EXPECT_EQ(message.wParam, WPARAM(1));
    EXPECT_EQ(message.hwnd, window);
}

TEST_F(QueueTest, QuitComesBeforeADueTimer) {
    HWND window = MakeWindow();
    SetTimer(window, 1, 10, nullptr);
    SDL_Delay(30);
    PostQuitMessage(0);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_TIMER));
}

TEST_F(QueueTest, ALateTimerGivesOneMessageAndRestartsItsPeriod) {
    HWND window = MakeWindow();
    DWORD before = GetTickCount();
    ASSERT_NE(SetTimer(window, 1, 500, nullptr), 0u);
    DWORD set = GetTickCount();

    MSG message;
    EXPECT_FALSE(TakeDueTimer(before + 499, &message));
    ASSERT_TRUE(TakeDueTimer(set + 5000, &message)); // ten periods late
    EXPECT_EQ(message.message, UINT(WM_TIMER));
    EXPECT_EQ(message.wParam, WPARAM(1));
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
    MSG message{};
    message.hwnd = window;
    message.message = WM_MOUSEMOVE;
    message.wParam = MK_LBUTTON;
    message.lParam = 0x00140010;
    EXPECT_EQ(DispatchMessageA(&message), 0x51);
    ASSERT_EQ(ReceivedMessages().size(), 1u);
    EXPECT_EQ(ReceivedMessages()[0].window, window);
    EXPECT_EQ(ReceivedMessages()[0].message, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(ReceivedMessages()[0].wParam, WPARAM(MK_LBUTTON));
    EXPECT_EQ(ReceivedMessages()[0].lParam, 0x00140010);
    EXPECT_FALSE(TranslateMessage(&message));

    message.hwnd = nullptr;
    EXPECT_EQ(DispatchMessageA(&message), 0);
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
    EXPECT_EQ(ReceivedMessages().size(), 1u);
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
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, kept);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

} // namespace
