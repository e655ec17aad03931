// The Win32 subset on SDL's dummy video driver (no GL, no display), the resources and the clock.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/sdl_internal.h"
#include "platform/win32_kernel.h"

namespace {

// The queued messages as "message wParam lParam;", in hex.
std::string Take() {
    std::string taken;
    char text[64];
    for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); taken += text)
        std::snprintf(text, sizeof text, "%x %lx %lx;", m.message,
                      static_cast<unsigned long>(m.wParam), static_cast<unsigned long>(m.lParam));
    return taken;
}

struct PlatformTest : testing::Test {
    HWND window = nullptr;
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "PlatformTest";
        ASSERT_TRUE(EnsureVideo() && RegisterClassA(&windowClass)) << "or a class left over";
        window =
            AttachWindow(SDL_CreateWindow("", 0, 0, 640, 480, SDL_WINDOW_HIDDEN), "PlatformTest");
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override {
        ResetPointer();
        ResetWindows();
        ResetMessageQueue();
        ResetForeignWatch();
        SDL_Quit();
    }
    // Key: sym, scancode, modifiers; mouse: x, y, button(s); window: the event, its data.
    void Push(Uint32 type, int a = 0, int b = 0, int c = 0) {
        SDL_Event e{type};
        Uint32 id = window->SdlId;
        if (type == SDL_KEYDOWN || type == SDL_KEYUP)
            e.key = {type, 0, id, 0, 0, 0, 0, {SDL_Scancode(b), a, Uint16(c), 0}};
        else if (type == SDL_MOUSEMOTION)
            e.motion = {type, 0, id, 0, Uint32(c), a, b, 0, 0};
        else if (type == SDL_MOUSEBUTTONDOWN)
            e.button = {type, 0, id, 0, Uint8(c), 0, 1, 0, a, b};
        else if (type == SDL_WINDOWEVENT)
            e.window = {type, 0, id, Uint8(a), 0, 0, 0, b, c};
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }
};

TEST_F(PlatformTest, EachEventBecomesTheOneWin32MessageItStandsFor) {
    const std::tuple<Uint32, int, int, int, const char*> cases[] = {
        {SDL_KEYUP, 'w', SDL_SCANCODE_W, 0, "101 57 c0000001;"},
        {SDL_KEYDOWN, 'c', SDL_SCANCODE_C, KMOD_LALT, "104 43 20000001;"},       // a system key
        {SDL_KEYDOWN, 'q', SDL_SCANCODE_Q, KMOD_LCTRL | KMOD_RALT, "100 51 1;"}, // AltGr typing
        {SDL_MOUSEBUTTONDOWN, -3, 5, SDL_BUTTON_RIGHT, "204 2 5fffd;"},
        {SDL_MOUSEMOTION, 40000, -2, SDL_BUTTON_RMASK, "200 2 fffe9c40;"}, // 16 bits each
        {SDL_WINDOWEVENT, SDL_WINDOWEVENT_SIZE_CHANGED, 800, 573, "5 0 23d0320;"},
        {SDL_WINDOWEVENT, SDL_WINDOWEVENT_MINIMIZED, 0, 0, "5 1 0;"},
        {SDL_WINDOWEVENT, SDL_WINDOWEVENT_SIZE_CHANGED, 300, 200, ""}, // while minimised
        {SDL_WINDOWEVENT, SDL_WINDOWEVENT_RESTORED, 0, 0, "5 0 c8012c;"},
        {SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE, 0, 0, "10 0 0;"},
    };
    for (const auto& [type, a, b, c, messages] : cases) {
        Push(type, a, b, c);
        EXPECT_EQ(Take(), messages) << "event " << type << " " << a << " " << b;
    }
}

TEST_F(PlatformTest, InputGoesBeforeQuitAndATimerOnlyToAnEmptyQueue) {
    ASSERT_EQ(SetTimer(window, 1, 10, nullptr), UINT_PTR{1});
    SDL_Delay(30); // due before anything is taken
    Push(SDL_KEYDOWN, 'f', SDL_SCANCODE_F);
    PostQuitMessage(3);
    Push(SDL_KEYUP, 'f', SDL_SCANCODE_F);
    EXPECT_EQ(Take(), "100 46 1;101 46 c0000001;12 3 0;113 1 0;");
    const DWORD start = Queue.Timers.front().LastTick;
    MSG m{};
    for (auto [laterMs, due] : {std::pair{9u, false}, {10u, true}, {19u, false}, {20u, true}})
        EXPECT_EQ(TakeDueTimer(start + laterMs, &m), due) << laterMs;
}

TEST_F(PlatformTest, TheCaptureEndsWithTheFocusAndTheCursorHidesBelowZero) {
    SetCapture(window);
    Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(Take(), "215 0 0;");
    for (auto [show, count, sdl] :
         {std::tuple{FALSE, -1, SDL_DISABLE}, {TRUE, 0, SDL_ENABLE}, {TRUE, 1, SDL_ENABLE}}) {
        EXPECT_EQ(ShowCursor(show), count);
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), sdl) << count;
    }
}

// A window lent by the screensaver daemon hears of SIGTERM (SDL's quit), and no input: that is
// the daemon's. The virtual screen is the dummy driver's one 1024 by 768 display, its monitor.
TEST_F(PlatformTest, ALentWindowHearsOfSigtermOnlyAndTheVirtualScreenHoldsTheDisplay) {
    window->ForeignId = 0x200001;
    for (Uint32 type : {SDL_KEYDOWN, SDL_MOUSEBUTTONDOWN, SDL_MOUSEMOTION, SDL_QUIT})
        Push(type, 5, 5, SDL_BUTTON_LEFT);
    EXPECT_EQ(Take(), "10 0 0;");
    std::vector<int> metrics;
    for (int index :
         {SM_XVIRTUALSCREEN, SM_YVIRTUALSCREEN, SM_CXVIRTUALSCREEN, SM_CYVIRTUALSCREEN, 0})
        metrics.push_back(GetSystemMetrics(index));
    EXPECT_EQ(metrics, (std::vector<int>{0, 0, 1024, 768, 0}));
    auto addMonitor = [](HMONITOR, HDC, LPRECT r, LPARAM to) -> BOOL {
        auto& found = *reinterpret_cast<std::vector<int>*>(to);
        found.insert(found.end(), {r->left, r->top, r->right, r->bottom});
        return TRUE;
    };
    metrics.clear();
    EXPECT_TRUE(EnumDisplayMonitors(nullptr, nullptr, addMonitor, LPARAM(&metrics)));
    EXPECT_EQ(metrics, (std::vector<int>{0, 0, 1024, 768}));
}

// SIGTERM and SIGINT end a program still starting at once, with status 0, however long its
// start-up would take; a program that takes messages hears of them as a close.
TEST_F(PlatformTest, QuitSignalsEndAStartUpAtOnceAndCloseARunningProgram) {
    for (int number : {SIGTERM, SIGINT}) {
        EXPECT_EXIT((ResetMessageQueue(), raise(number), std::abort()), testing::ExitedWithCode(0),
                    "");
        Take();
        raise(number);
        EXPECT_EQ(Take(), "10 0 0;") << number;
    }
}

// The dummy driver has no GL, so SDL refuses the window: its reason goes on the one line that
// tells of the failure, and only there.
TEST_F(PlatformTest, TellsSdlsReasonForARefusedWindowOnStandardError) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(CreateWindowExA(0, "PlatformTest", "", WS_OVERLAPPEDWINDOW, 0, 0, 80, 60, nullptr,
                              nullptr, nullptr, nullptr),
              nullptr);
    const std::string reason = SDL_GetError();
    OutputDebugStringA("Unable to create window!");
    OutputDebugStringA("again");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Unable to create window! (SDL refused the window and its pixel format: " + reason +
                  ")\nagain\n");
}

// As the texture loader asks, having stripped ".bmp" itself; 0: not found.
TEST(Resources, NamesAndTypesMatchWithoutRegardToCase) {
    const std::tuple<LPCSTR, LPCSTR, DWORD> cases[] = {
        {"watchFace", "bmp", 196662}, {"Reflection", "Bmp", 49206},
        {"WATCHFACE", "BITMAP", 0},   {"watchFace.bmp", "BMP", 0},
        {"WATCHFAC", "BMP", 0},       {MAKEINTRESOURCEA(1), "BMP", 0}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [name, type, size] = cases[i];
        HRSRC found = FindResourceA(nullptr, name, type);
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
        EXPECT_EQ(SizeofResource(nullptr, found), size) << "case " << i;
        EXPECT_TRUE(size == 0 || (bytes && std::memcmp(bytes, "BM", 2) == 0))
            << "a BMP, case " << i;
    }
}

TEST(Clock, TicksAreMillisecondsAndTheTimeIsLocal) {
    const DWORD firstTick = GetTickCount();
    usleep(200000);
    const DWORD passedMs = GetTickCount() - firstTick;
    EXPECT_TRUE(passedMs >= 200 && passedMs < 2000) << passedMs << " ms, even on a busy machine";

    setenv("TZ", "IST-5:30", 1); // ctest gives each test a process of its own
    tzset();
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const time_t utc = time(nullptr);
    tm local{};
    localtime_r(&utc, &local);
    // A minute apart at most, across midnight too.
    EXPECT_LE((now.wHour * 60 + now.wMinute - local.tm_hour * 60 - local.tm_min + 1441) % 1440, 2);
}

} // namespace
