#include "platform_test_support.h"

const char TestClassName[] = "PlatformTest";

std::vector<ReceivedMessage>& ReceivedMessages() {
    static std::vector<ReceivedMessage> received;
    return received;
}

namespace {

LRESULT CALLBACK RecordMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ReceivedMessages().push_back(ReceivedMessage{window, message, wParam, lParam});
    return 0x51; // a result DispatchMessageA must hand back
}

} // namespace

void DummyVideoTest::SetUp() {
    ASSERT_TRUE(EnsureVideo()) << SDL_GetError();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RecordMessage;
    windowClass.lpszClassName = TestClassName;
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    ReceivedMessages().clear();
}

void DummyVideoTest::TearDown() {
    while (!LiveWindows.empty())
        DestroyWindow(LiveWindows.back());
    UnregisterClassA(TestClassName, nullptr);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    SDL_Quit();
}

HWND DummyVideoTest::MakeWindow() {
    SDL_Window* sdlWindow = SDL_CreateWindow("test", 0, 0, 640, 480, SDL_WINDOW_HIDDEN);
    EXPECT_NE(sdlWindow, nullptr) << SDL_GetError();
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    return AttachWindow(sdlWindow, TestClassName);
}

void DummyVideoTest::PushKey(HWND window, SDL_Keycode sym, Uint32 type) {
    SDL_Event event{};
    event.type = type;
    event.key.windowID = window->SdlId;
    event.key.keysym.sym = sym;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}
