// The saver against the fake platform and the recorded scene: its two command lines, what it
// does with each, its exit rules, its pacing, and its start-up and teardown in order.
#include <gtest/gtest.h>

#include "saver/saver.h"
#include "shell/shell.h"
#include "tests/support/fake_platform.h"

namespace {

using fake::Only;
constexpr SaverMode FullScreen = SaverMode::FullScreen, InWindow = SaverMode::InWindow,
                    Settings = SaverMode::Settings, Usage = SaverMode::Usage,
                    Bad = SaverMode::BadArguments;

uintptr_t Number(HWND window) {
    return reinterpret_cast<uintptr_t>(window);
}

struct SaverTest : testing::Test {
    void SetUp() override {
        fake::Reset();
        ElapsedMs = 0, DragMode = DragSway;
        WindowHandle = nullptr, DeviceContext = nullptr, RenderContext = nullptr;
    }
};

// Handles are decimal, as the system writes them, nonzero and at most 32 bits wide.
TEST_F(SaverTest, ReadsTheWindowsScreensaverCommandLine) {
    const std::tuple<const char*, SaverMode, uintptr_t> cases[] = {
        {"", Settings, 0},
        {" \t", Settings, 0},
        {"/s", FullScreen, 0},
        {"/S", FullScreen, 0},
        {" -s ", FullScreen, 0},
        {"/p 1234", InWindow, 1234},
        {"-P:1234", InWindow, 1234},
        {"/p  4294967295", InWindow, 0xFFFFFFFF},
        {"/c", Settings, 0},
        {"/c:4321", Settings, 4321},
        {"/C 4321", Settings, 4321},
        {"/p", Usage, 0},
        {"/p:", Usage, 0},
        {"/p 12ab", Usage, 0},
        {"/p 0x10", Usage, 0},
        {"/p 0", Usage, 0},
        {"/p 4294967296", Usage, 0},
        {"/p 99999999999999999999999", Usage, 0},
        {"/s 5", Usage, 0},
        {"/sx", Usage, 0},
        {"s", Usage, 0},
        {"/", Usage, 0},
        {"/a", Usage, 0},
        {"//s", Usage, 0},
    };
    for (const auto& [line, mode, window] : cases) {
        const SaverRequest request = ReadScreensaverCommandLine(line);
        EXPECT_EQ(std::make_tuple(request.mode, Number(request.window), request.frameMs),
                  std::make_tuple(mode, window, DWORD{33}))
            << '"' << line << '"';
    }
}

// The window from --root, XSCREENSAVER_WINDOW or --window-id; 30 ms a frame unless --delay.
TEST_F(SaverTest, ReadsXscreensaverArgumentsAndSaysWhatIsWrong) {
    const std::tuple<const char*, const char*, SaverMode, uintptr_t, DWORD, bool, const char*>
        cases[] = {
            {"--root", nullptr, InWindow, Number(fake::Desktop), 30, false, ""},
            {"-root", "0x2A", InWindow, 42, 30, false, ""},
            {"--root", "42", InWindow, 42, 30, false, ""},
            {"--window-id 0x10 --delay 20000 --fps", nullptr, InWindow, 16, 20, true, ""},
            {"-window-id 16 -delay 0 -fps", nullptr, InWindow, 16, 0, true, ""},
            {"--window-id=0x1f --delay=33499", nullptr, InWindow, 31, 33, false, ""},
            {"--root", "junk", Bad, 0, 0, false, "XSCREENSAVER_WINDOW is not a window id: 'junk'"},
            {"", nullptr, Bad, 0, 0, false, "no window to draw in"},
            {"--fps", nullptr, Bad, 0, 0, false, "no window to draw in"},
            {"--window-id", nullptr, Bad, 0, 0, false, "'--window-id' needs a value"},
            {"--window-id 0x", nullptr, Bad, 0, 0, false, "'0x' is not a window id"},
            {"--window-id 0", nullptr, Bad, 0, 0, false, "'0' is not a window id"},
            {"--window-id 4294967296", nullptr, Bad, 0, 0, false, "is not a window id"},
            {"--root --delay -5", nullptr, Bad, 0, 0, false, "'-5' is not a delay"},
            {"--root --delay 10000001", nullptr, Bad, 0, 0, false, "is not a delay"},
            {"--root --bogus", nullptr, Bad, 0, 0, false, "unknown option '--bogus'"},
            {"--fps=1 --root", nullptr, Bad, 0, 0, false, "unknown option '--fps=1'"},
        };
    for (const auto& [line, root, mode, window, frameMs, showRate, why] : cases) {
        const SaverRequest request = ReadDisplayModeArguments(line, root);
        EXPECT_EQ(request.mode, mode) << line;
        if (mode == Bad)
            EXPECT_NE(request.why.find(why), std::string::npos) << line << ": " << request.why;
        else
            EXPECT_EQ(std::make_tuple(Number(request.window), request.frameMs, request.showRate),
                      std::make_tuple(window, frameMs, showRate))
                << line;
    }
}

// Settings and a line not understood get a box and end; bad arguments on Linux get a line
// on standard error, no box, and status 2.
TEST_F(SaverTest, AnswersSettingsUsageAndBadArgumentsWithoutAWindow) {
    const std::tuple<SaverRequest, int, uintptr_t, UINT, const char*> cases[] = {
        {ReadScreensaverCommandLine("/c:4321"), 0, 4321, MB_ICONINFORMATION, "no settings"},
        {ReadScreensaverCommandLine("/c"), 0, 0, MB_ICONINFORMATION, "no settings"},
        {ReadScreensaverCommandLine("/x"), 1, 0, MB_ICONERROR, "/s\t"},
    };
    for (const auto& [request, status, owner, icon, text] : cases) {
        SetUp();
        EXPECT_EQ(RunSaver(request), status);
        ASSERT_EQ(fake::MessageBoxes().size(), 1u);
        const fake::MessageBoxRecord& box = fake::MessageBoxes()[0];
        EXPECT_EQ(std::make_tuple(Number(box.owner), box.caption, box.type),
                  std::make_tuple(owner, "Orlentic", UINT{MB_OK | icon}));
        EXPECT_NE(box.text.find(text), std::string::npos) << box.text;
        EXPECT_EQ(Only({"CreateWindowExA"}), "");
    }
    SetUp();
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunSaver(ReadDisplayModeArguments("--window-id", nullptr)), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "orlentic-saver: '--window-id' needs a value\nusage: orlentic-saver (--root | "
              "--window-id ID) [--delay MICROSECONDS] [--fps]\n");
    EXPECT_EQ(Only({"MessageBoxA", "CreateWindowExA"}), "");
}

// Full screen: a key (system keys too), a button, the mouse more than a few pixels from where
// it was first seen, or losing activation ends it. In a given window nothing but that window
// going away (or a close) does. Each case starts a fresh window.
TEST_F(SaverTest, EndsOnTheFirstSignOfAUserOnlyWhenFullScreen) {
    auto at = [](int x, int y) { return LPARAM(uint16_t(y)) << 16 | LPARAM(uint16_t(x)); };
    const std::tuple<SaverMode, std::vector<std::tuple<UINT, WPARAM, LPARAM>>, bool> cases[] = {
        {FullScreen, {{WM_MOUSEMOVE, 0, at(100, 100)}, {WM_MOUSEMOVE, 0, at(104, 96)}}, false},
        {FullScreen, {{WM_MOUSEMOVE, 0, at(100, 100)}, {WM_MOUSEMOVE, 0, at(100, 105)}}, true},
        {FullScreen, {{WM_MOUSEMOVE, 0, at(100, 100)}, {WM_MOUSEMOVE, 0, at(95, 100)}}, true},
        {FullScreen, {{WM_MOUSEMOVE, 0, at(2, 2)}, {WM_MOUSEMOVE, 0, at(-1, 0)}}, false},
        {FullScreen, {{WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5)}}, true},
        {FullScreen, {{WM_RBUTTONDOWN, MK_RBUTTON, at(5, 5)}}, true},
        {FullScreen, {{WM_MBUTTONDOWN, MK_MBUTTON, at(5, 5)}}, true},
        {FullScreen, {{WM_KEYDOWN, 'A', 0}}, true},
        {FullScreen, {{WM_SYSKEYDOWN, 0x12, 0}}, true}, // Alt
        {FullScreen, {{WM_ACTIVATEAPP, TRUE, 0}}, false},
        {FullScreen, {{WM_ACTIVATEAPP, FALSE, 0}}, true},
        {FullScreen, {{WM_CLOSE, 0, 0}}, true},
        {InWindow,
         {{WM_MOUSEMOVE, 0, at(0, 0)},
          {WM_MOUSEMOVE, 0, at(300, 300)},
          {WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5)},
          {WM_KEYDOWN, 'A', 0},
          {WM_ACTIVATEAPP, FALSE, 0}},
         false},
        {InWindow, {{WM_DESTROY, 0, 0}}, true},
        {InWindow, {{WM_CLOSE, 0, 0}}, true}, // SIGTERM and SIGINT on Linux
    };
    for (const auto& [mode, messages, ends] : cases) {
        SetUp();
        SaverRequest request;
        request.mode = mode;
        request.window = fake::Desktop;
        ASSERT_TRUE(CreateSaverWindow(request));
        for (const auto& [message, wParam, lParam] : messages)
            SaverWindowProc(WindowHandle, message, wParam, lParam);
        EXPECT_EQ(Only({"PostQuit"}), ends ? "PostQuitMessage; " : "") << testing::PrintToString(
            std::make_tuple(mode == FullScreen, std::get<0>(messages.back())));
        EXPECT_EQ(DragMode, DragSway); // nothing ends the sway
    }
}

// One top-most popup over the virtual screen, the display mode as it was, the cursor hidden,
// the view at the client size. Each frame starts 33 ms after the one before, the rest of that
// time slept, or at once after a slow frame; the first key ends it quietly with status 0.
TEST_F(SaverTest, FullScreenCoversTheVirtualScreenAndPacesItsFrames) {
    fake::Recorded.afterSwap = [](int swap) {
        fake::Recorded.tick += swap == 2 ? 40 : 5; // the second frame is slow
        if (swap == 3)
            fake::Post(WM_KEYDOWN, 'A');
    };
    EXPECT_EQ(RunSaver(ReadScreensaverCommandLine("/s")), 0);
    EXPECT_EQ(Only(), "GetModuleHandleA; LoadCursorA; RegisterClassA; GetSystemMetrics 76; "
                      "GetSystemMetrics 77; GetSystemMetrics 78; GetSystemMetrics 79; "
                      "CreateWindowExA Orlentic 2944x1280; GetDC; ChoosePixelFormat 16; "
                      "SetPixelFormat; wglCreateContext; wglMakeCurrent on; ShowCursor 0; "
                      "SetForegroundWindow; SetFocus; GetClientRect; ResizeScene 792 573; "
                      "InitScene; GetTickCount; "
                      "PeekMessageA; GetTickCount; DrawScene 0; SwapBuffers; GetTickCount; "
                      "Sleep 28; PeekMessageA; GetTickCount; DrawScene 16; SwapBuffers; "
                      "GetTickCount; Sleep 0; PeekMessageA; GetTickCount; DrawScene 44; "
                      "SwapBuffers; GetTickCount; Sleep 28; PeekMessageA; TranslateMessage; "
                      "DispatchMessageA; PostQuitMessage; PeekMessageA; "
                      "wglMakeCurrent off; wglDeleteContext; IsWindow; ReleaseDC; "
                      "DestroyWindow; GetModuleHandleA; UnregisterClassA; ");
    const auto& created = fake::Recorded.created;
    EXPECT_EQ(std::make_tuple(created.exStyle, created.style, created.x, created.y, created.parent),
              std::make_tuple(DWORD{WS_EX_TOPMOST}, DWORD{WS_POPUP | WS_VISIBLE}, -1024, -200,
                              HWND{nullptr}));
    EXPECT_TRUE(fake::MessageBoxes().empty());
}

// A child filling the given window's client area, no cursor or focus taken; when the parent
// goes, the child has gone with it, and the teardown leaves it alone.
TEST_F(SaverTest, InAWindowDrawsInAChildUntilThatWindowGoes) {
    fake::Recorded.afterSwap = [](int) {
        fake::Post(WM_DESTROY, 0);
        fake::FailCall("IsWindow");
    };
    EXPECT_EQ(RunSaver(ReadScreensaverCommandLine("/p 4321")), 0);
    EXPECT_EQ(Only({"GetClientRect", "CreateWindowExA", "ShowCursor", "SetFocus", "Resize", "Sleep",
                    "PostQuit", "IsWindow", "ReleaseDC", "DestroyWindow"}),
              "GetClientRect; CreateWindowExA Orlentic 792x573; GetClientRect; "
              "ResizeScene 792 573; Sleep 33; PostQuitMessage; IsWindow; ");
    const auto& created = fake::Recorded.created;
    EXPECT_EQ(std::make_tuple(created.style, created.x, created.y, Number(created.parent)),
              std::make_tuple(DWORD{WS_CHILD | WS_VISIBLE}, 0, 0, uintptr_t{4321}));
}

// The window is torn down before the box; no scene is set up, and the status is not 0.
TEST_F(SaverTest, AStartUpFailureTearsDownThenSaysWhy) {
    const std::pair<const char*, const char*> cases[] = {
        {"RegisterClassA", "MessageBoxA Failed to register the window class!; "},
        {"CreateWindowExA", "UnregisterClassA; MessageBoxA Unable to create window!; "},
        {"wglCreateContext", "DestroyWindow; UnregisterClassA; "
                             "MessageBoxA Unable to create an OpenGL rendering context; "},
    };
    for (const auto& [failing, calls] : cases) {
        SetUp();
        fake::FailCall(failing);
        EXPECT_EQ(RunSaver(ReadScreensaverCommandLine("/s")), 1) << failing;
        EXPECT_EQ(Only({"DestroyWindow", "UnregisterClassA", "MessageBoxA", "InitScene"}), calls);
        for (const fake::MessageBoxRecord& box : fake::MessageBoxes())
            EXPECT_EQ(std::tie(box.caption, box.type),
                      std::make_tuple("Error", UINT{MB_OK | MB_ICONERROR}));
    }
}

} // namespace
