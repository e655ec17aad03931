// The Win32 subset on SDL's dummy video driver (no GL, no display, so no box waits for a
// click): SDL events become Win32's messages with Win32's values, one per PeekMessageA, and
// the capture and the cursor count as Win32's do. Messages read "message wParam lParam".
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/sdl_internal.h"

namespace {

std::string Received; // what the test class's procedure was sent

std::string Describe(UINT message, WPARAM wParam, LPARAM lParam) {
    char text[64];
    std::snprintf(text, sizeof text, "%x %lx %lx;", message, static_cast<unsigned long>(wParam),
                  static_cast<unsigned long>(lParam));
    return text;
}

LRESULT CALLBACK Record(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    Received += Describe(message, wParam, lParam);
    return 0;
}

std::string Take() {
    std::string taken;
    for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);)
        taken += Describe(m.message, m.wParam, m.lParam);
    return taken;
}

struct PlatformTest : testing::Test {
    HWND window = nullptr;
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Record;
        windowClass.lpszClassName = "PlatformTest";
        ASSERT_TRUE(EnsureVideo() && RegisterClassA(&windowClass)) << "or a class left over";
        window = MakeWindow();
    }
    void TearDown() override {
        ResetPointer();
        ResetWindows();
        ResetMessageQueue();
        SDL_Quit();
        Received.clear();
    }
    HWND MakeWindow() { // 640 by 480
        SDL_Window* sdlWindow = SDL_CreateWindow("", 0, 0, 640, 480, SDL_WINDOW_HIDDEN);
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        return AttachWindow(sdlWindow, "PlatformTest");
    }
    // Key: a sym, b scancode, c modifiers; mouse: a x, b y, c button, held buttons; window:
    // a the event, b and c its data.
    void Push(Uint32 type, int a = 0, int b = 0, int c = 0, Uint32 held = 0) {
        SDL_Event e{type};
        Uint32 id = window->SdlId;
        if (type == SDL_KEYDOWN || type == SDL_KEYUP)
            e.key = {type, 0, id, 0, 0, 0, 0, {SDL_Scancode(b), a, Uint16(c), 0}};
        else if (type == SDL_MOUSEMOTION)
            e.motion = {type, 0, id, 0, held, a, b, 0, 0};
        else if (type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP)
            e.button = {type, 0, id, 0, Uint8(c), 0, 1, 0, a, b};
        else if (type == SDL_WINDOWEVENT)
            e.window = {type, 0, id, Uint8(a), 0, 0, 0, b, c};
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }
};

TEST_F(PlatformTest, EachEventBecomesTheOneWin32MessageItStandsFor) {
    const Uint32 Down = SDL_KEYDOWN, Press = SDL_MOUSEBUTTONDOWN, Release = SDL_MOUSEBUTTONUP;
    const Uint32 Move = SDL_MOUSEMOTION, Window = SDL_WINDOWEVENT;
    const struct {
        Uint32 type;
        int a, b, c;
        Uint32 held;
        const char* messages;
    } cases[] = {
        {Down, 'w', SDL_SCANCODE_W, 0, 0, "100 57 1;"},
        {SDL_KEYUP, 'w', SDL_SCANCODE_W, 0, 0, "101 57 c0000001;"},
        {Down, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 0, 0, "100 1b 1;"},
        {Down, 0x0444, SDL_SCANCODE_A, 0, 0, "100 41 1;"},             // a non-Latin layout
        {Down, 'c', SDL_SCANCODE_C, KMOD_LALT, 0, "104 43 20000001;"}, // a system key
        {Press, 10, 20, SDL_BUTTON_LEFT, 0, "201 1 14000a;"},
        {Press, -3, 5, SDL_BUTTON_RIGHT, 0, "204 3 5fffd;"},       // both held
        {Move, -5, 700, 0, SDL_BUTTON_LMASK, "200 1 2bcfffb;"},    // captured, left of us
        {Move, 40000, -2, 0, SDL_BUTTON_RMASK, "200 2 fffe9c40;"}, // 16 bits each
        {Release, 0, -1, SDL_BUTTON_RIGHT, 0, "205 0 ffff0000;"},
        {Press, 7, 8, SDL_BUTTON_MIDDLE, 0, "207 10 80007;"},
        {Release, 7, 8, SDL_BUTTON_MIDDLE, 0, "208 0 80007;"},
        {Window, SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480, 0, ""}, // the size it has
        {Window, SDL_WINDOWEVENT_SIZE_CHANGED, 800, 573, 0, "5 0 23d0320;"},
        {Window, SDL_WINDOWEVENT_MINIMIZED, 0, 0, 0, "5 1 0;"},
        {Window, SDL_WINDOWEVENT_SIZE_CHANGED, 300, 200, 0, ""}, // while minimised
        {Window, SDL_WINDOWEVENT_RESTORED, 0, 0, 0, "5 0 c8012c;"},
        {Window, SDL_WINDOWEVENT_CLOSE, 0, 0, 0, "10 0 0;"},
        {SDL_QUIT, 0, 0, 0, 0, "10 0 0;"},
        {Window, SDL_WINDOWEVENT_FOCUS_LOST, 0, 0, 0, ""}, // no capture to lose
        {SDL_MOUSEWHEEL, 0, 0, 0, 0, ""},
    };
    for (const auto& c : cases) {
        Push(c.type, c.a, c.b, c.c, c.held);
        EXPECT_EQ(Take(), c.messages) << "event " << c.type << " " << c.a << " " << c.b;
    }
    EXPECT_EQ(Received, "") << "peeking must not dispatch";
}

TEST_F(PlatformTest, InputGoesBeforeQuitAndATimerOnlyToAnEmptyQueue) {
    ASSERT_EQ(SetTimer(window, 1, 10, nullptr), UINT_PTR{1});
    SDL_Delay(30); // due before anything is taken
    Push(SDL_KEYDOWN, 'f', SDL_SCANCODE_F);
    PostQuitMessage(3);
    PostQuitMessage(3);
    Push(SDL_KEYUP, 'f', SDL_SCANCODE_F);
    EXPECT_EQ(Take(), "100 46 1;101 46 c0000001;12 3 0;113 1 0;");
    MSG message{window, WM_MOUSEMOVE, 1, 0x140010, 0, {0, 0}};
    DispatchMessageA(&message);
    EXPECT_EQ(Received, "200 1 140010;");
}

// The window losing the capture hears who has it now; losing the focus loses it too.
TEST_F(PlatformTest, TheCaptureTellsItsLossAndEndsWithTheFocus) {
    HWND second = MakeWindow();
    SetCapture(window);
    SetCapture(second);
    ReleaseCapture();
    EXPECT_EQ(Received, Describe(WM_CAPTURECHANGED, 0, LPARAM(second)) + "215 0 0;");
    SetCapture(window);
    Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(Take(), "215 0 0;");
    EXPECT_EQ(SetCapture(window), nullptr);
}

TEST_F(PlatformTest, TheCursorHidesBelowZeroAndNothingOutlivesTheResets) {
    for (auto [show, count, sdl] : {std::tuple{FALSE, -1, SDL_DISABLE},
                                    {FALSE, -2, SDL_DISABLE},
                                    {TRUE, -1, SDL_DISABLE},
                                    {TRUE, 0, SDL_ENABLE}}) {
        EXPECT_EQ(ShowCursor(show), count);
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), sdl) << count;
    }
    ShowCursor(FALSE);
    SetCapture(window);
    SetTimer(window, 1, 10, nullptr);
    PostQuitMessage(0);
    ResetPointer();
    ResetWindows();
    ResetMessageQueue();
    SDL_Delay(20);
    EXPECT_EQ(Take(), "");
    EXPECT_EQ(std::make_tuple(ShowCursor(TRUE), SetCapture(nullptr)), std::make_tuple(1, nullptr));
}

// The dummy driver has no GL, so SDL refuses the window; its reason goes to standard error.
TEST(SdlRefusal, TellsSdlsReasonOnStandardError) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Record;
    windowClass.lpszClassName = "OpenGL";
    RegisterClassA(&windowClass);
    testing::internal::CaptureStderr();
    EXPECT_EQ(CreateWindowExA(0, "OpenGL", "", WS_OVERLAPPEDWINDOW, 0, 0, 80, 60, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("SDL refused the window and its pixel format: ") + SDL_GetError() + "\n");
    ResetWindows();
    SDL_Quit();
}

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
