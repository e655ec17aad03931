// The saver against the fake platform and the recorded scene.
#include <gtest/gtest.h>

#include "saver/saver.h"
#include "shell/shell.h"
#include "tests/support/fake_platform.h"

namespace {

using fake::Only;
constexpr SaverMode Full = SaverMode::FullScreen, InWindow = SaverMode::InWindow,
                    Bad = SaverMode::BadArguments;

uintptr_t Number(HWND window) {
    return reinterpret_cast<uintptr_t>(window);
}

void Reset() {
    fake::Reset();
    ElapsedMs = 0, DragMode = DragSway;
    WindowHandle = nullptr, DeviceContext = nullptr, RenderContext = nullptr;
}

// s, p, c or ?, the window's number, then (Linux) the ms a frame and "fps"; or ! and why.
std::string Describe(const SaverRequest& r, bool timing) {
    if (r.mode == Bad)
        return "!" + r.why;
    std::string text(1, "spc?"[static_cast<int>(r.mode)]);
    text += r.window ? std::to_string(Number(r.window)) : "";
    text += timing ? " " + std::to_string(r.settings.pauseMs) + (r.showRate ? " fps" : "") : "";
    return text;
}

// Handles are decimal, as the system writes them, nonzero and at most 32 bits wide.
TEST(Saver, ReadsTheWindowsScreensaverCommandLine) {
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"", "c"}, {"/s", "s"}, {" -S ", "s"}, {"/p 1234", "p1234"}, {"-P:1234", "p1234"},
        {"/p  4294967295", "p4294967295"}, {"/c", "c"}, {"/c:4321", "c4321"}, {"/C 4321", "c4321"},
        {"/p", "?"}, {"/p 0x10", "?"}, {"/p 0", "?"}, {"/p 4294967296", "?"}, {"/s 5", "?"},
        {"/p 99999999999999999999999", "?"}, {"/sx", "?"}, {"s", "?"}, {"/a", "?"}};
    // clang-format on
    for (const auto& [line, expected] : cases) {
        const SaverRequest request = ReadScreensaverCommandLine(line);
        EXPECT_EQ(Describe(request, false), expected) << '"' << line << '"';
        EXPECT_EQ(request.settings.pauseMs, 30u);
    }
}

// The window from --root, XSCREENSAVER_WINDOW or --window-id; a 30 ms pause unless --delay.
TEST(Saver, ReadsXscreensaverArgumentsAndSaysWhatIsWrong) {
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"--root", nullptr, "p" + std::to_string(Number(fake::Desktop)) + " 30"},
        {"-root", "0x2A", "p42 30"},
        {"--window-id 0x10 --delay 20000 --fps", nullptr, "p16 20 fps"},
        {"-window-id 16 -delay 0 -fps", nullptr, "p16 0 fps"},
        {"--window-id=0x1f --delay=33499", nullptr, "p31 33"},
        {"--root", "junk", "!XSCREENSAVER_WINDOW is not a window id: 'junk'"},
        {"--fps", nullptr, "!no window to draw in: give --root or --window-id"},
        {"--window-id 0x", nullptr, "!'0x' is not a window id (decimal or 0x hex, not 0)"},
        {"--root --delay -5", nullptr, "!'-5' is not a delay from 0 to 10000000 microseconds"},
        {"--root --bogus", nullptr, "!unknown option '--bogus'"},
        {"--fps=1 --root", nullptr, "!unknown option '--fps=1'"},
    };
    for (const auto& [line, root, expected] : cases)
        EXPECT_EQ(Describe(ReadDisplayModeArguments(line, root), true), expected) << line;
}

// None of these makes a window; bad arguments on Linux get no box either.
TEST(Saver, AnswersSettingsUsageAndBadArgumentsWithoutAWindow) {
    const std::tuple<const char*, int, uintptr_t, UINT, const char*> cases[] = {
        {"/c:4321", 0, 4321, MB_ICONINFORMATION, "no settings"},
        {"/x", 1, 0, MB_ICONERROR, "/s\t"},
    };
    for (const auto& [line, status, owner, icon, text] : cases) {
        Reset();
        EXPECT_EQ(RunSaver(ReadScreensaverCommandLine(line)), status);
        ASSERT_EQ(fake::Recorded.boxes.size(), 1u);
        const fake::MessageBoxRecord& box = fake::Recorded.boxes[0];
        EXPECT_EQ(std::make_tuple(Number(box.owner), box.caption, box.type, Only({"Create"})),
                  std::make_tuple(owner, "Orlentic", UINT{MB_OK | icon}, ""));
        EXPECT_NE(box.text.find(text), std::string::npos) << box.text;
    }
    Reset();
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunSaver(ReadDisplayModeArguments("--window-id", nullptr)), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "orlentic-saver: '--window-id' needs a value\nusage: orlentic-saver (--root | "
              "--window-id ID) [--delay MICROSECONDS] [--fps]\n");
    EXPECT_EQ(Only({"MessageBoxA", "CreateWindowExA"}), "");
}

// Only full screen does a user's sign end it: the mouse more than a few pixels from where it
// was first seen, not a jitter. Nothing ends the sway.
TEST(Saver, EndsOnTheFirstSignOfAUserOnlyWhenFullScreen) {
    auto at = [](int x, int y) { return LPARAM(uint16_t(y)) << 16 | LPARAM(uint16_t(x)); };
    const LPARAM rest = at(100, 100);
    const std::tuple<SaverMode, std::vector<std::tuple<UINT, WPARAM, LPARAM>>, bool> cases[] = {
        // clang-format off
        {Full, {{WM_MOUSEMOVE, 0, rest}, {WM_MOUSEMOVE, 0, at(104, 96)}}, false},
        {Full, {{WM_MOUSEMOVE, 0, rest}, {WM_MOUSEMOVE, 0, at(100, 105)}}, true},
        {Full, {{WM_MOUSEMOVE, 0, at(2, 2)}, {WM_MOUSEMOVE, 0, at(-1, 0)}}, false},
        {Full, {{WM_LBUTTONDOWN, MK_LBUTTON, rest}}, true}, {Full, {{WM_KEYDOWN, 'A', 0}}, true},
        {Full, {{WM_RBUTTONDOWN, MK_RBUTTON, rest}}, true}, {Full, {{WM_CLOSE, 0, 0}}, true},
        {Full, {{WM_SYSKEYDOWN, 0x12 /* Alt */, 0}}, true}, {InWindow, {{WM_DESTROY, 0, 0}}, true},
        {Full, {{WM_ACTIVATEAPP, TRUE, 0}}, false}, {Full, {{WM_ACTIVATEAPP, FALSE, 0}}, true},
        {InWindow, {{WM_MOUSEMOVE, 0, at(0, 0)}, {WM_MOUSEMOVE, 0, at(300, 300)},
                    {WM_LBUTTONDOWN, MK_LBUTTON, rest}, {WM_KEYDOWN, 'A', 0},
                    {WM_ACTIVATEAPP, FALSE, 0}}, false},
        // clang-format on
    };
    for (const auto& [mode, messages, ends] : cases) {
        Reset();
        SaverRequest request;
        request.mode = mode, request.window = fake::Desktop;
        ASSERT_TRUE(CreateSaverWindow(request));
        for (const auto& [message, wParam, lParam] : messages)
            SaverWindowProc(WindowHandle, message, wParam, lParam);
        EXPECT_EQ(std::make_tuple(Only({"PostQuit"}), DragMode),
                  std::make_tuple(ends ? "PostQuitMessage; " : "", DragSway))
            << (mode == Full) << " " << std::get<0>(messages.back());
    }
}

// A 30 ms pause after every frame, quick or slow.
TEST(Saver, FullScreenCoversTheVirtualScreenAndPacesItsFrames) {
    Reset();
    fake::Recorded.afterSwap = [](int swap) {
        fake::Recorded.tick += swap == 2 ? 40 : 5; // the second frame is slow
        if (swap == 3)
            fake::Post(WM_KEYDOWN, 'A');
    };
    EXPECT_EQ(RunSaver(ReadScreensaverCommandLine("/s")), 0);
    EXPECT_EQ(Only({"CreateWindowExA", "ChoosePixelFormat", "ShowCursor", "ResizeScene", "Draw",
                    "Sleep", "PostQuit", "DestroyWindow"}),
              "CreateWindowExA Orlentic 2944x1280; ChoosePixelFormat 16; ShowCursor 0; "
              "ResizeScene 792 573; DrawScene 0; Sleep 30; DrawScene 17; Sleep 30; DrawScene 61; "
              "Sleep 30; PostQuitMessage; DestroyWindow; ");
    const auto& made = fake::Recorded.created;
    EXPECT_EQ(std::make_tuple(made.exStyle, made.style, made.x, made.y, made.parent),
              std::make_tuple(DWORD{WS_EX_TOPMOST}, DWORD{WS_POPUP | WS_VISIBLE}, -1024, -200,
                              HWND{nullptr}));
}

// When the parent goes, the child has gone with it: the teardown leaves it alone.
TEST(Saver, InAWindowDrawsInAChildUntilThatWindowGoes) {
    Reset();
    fake::Recorded.afterSwap = [](int) {
        fake::Post(WM_DESTROY, 0);
        fake::Recorded.failing.insert("IsWindow");
    };
    EXPECT_EQ(RunSaver(ReadScreensaverCommandLine("/p 4321")), 0);
    EXPECT_EQ(Only({"GetClientRect", "CreateWindowExA", "ShowCursor", "SetFocus", "Resize", "Sleep",
                    "PostQuit", "IsWindow", "ReleaseDC", "DestroyWindow"}),
              "GetClientRect; CreateWindowExA Orlentic 792x573; GetClientRect; "
              "ResizeScene 792 573; Sleep 30; PostQuitMessage; IsWindow; ");
    const auto& made = fake::Recorded.created;
    EXPECT_EQ(std::make_tuple(made.style, made.x, made.y, Number(made.parent)),
              std::make_tuple(DWORD{WS_CHILD | WS_VISIBLE}, 0, 0, uintptr_t{4321}));
}

TEST(Saver, AStartUpFailureTearsDownThenSaysWhy) {
    Reset();
    fake::Recorded.failing.insert("wglCreateContext");
    EXPECT_EQ(RunSaver(ReadScreensaverCommandLine("/s")), 1);
    EXPECT_EQ(Only({"DestroyWindow", "UnregisterClassA", "MessageBoxA", "InitScene"}),
              "DestroyWindow; UnregisterClassA; "
              "MessageBoxA Unable to create an OpenGL rendering context; ");
    EXPECT_EQ(std::tie(fake::Recorded.boxes[0].caption, fake::Recorded.boxes[0].type),
              std::make_tuple("Error", UINT{MB_OK | MB_ICONERROR}));
}

// In a lent window nobody can answer a box: a start-up failure is one line of debug output and
// status 1, or 0 when the window has gone (not when the display is missing). The pause is
// --delay's.
TEST(Saver, InALentWindowAFailureIsOneLineAndTheWindowGoingIsNone) {
    for (const auto& [failing, status] : {std::pair{"", 1}, {"IsWindow", 0}, {"GetDesktop", 1}}) {
        Reset();
        fake::Recorded.failing = {failing, "wglCreateContext"};
        if (failing[0] == 'G') // no display: no window is there either
            fake::Recorded.failing.insert({"GetDesktopWindow", "IsWindow"});
        EXPECT_EQ(RunSaver(ReadDisplayModeArguments("--window-id 16", nullptr)), status) << failing;
        EXPECT_EQ(Only({"MessageBoxA", "OutputDebugStringA"}),
                  "OutputDebugStringA Orlentic: Unable to create an OpenGL rendering context; ");
    }
    Reset();
    fake::Recorded.failing.insert("RegisterClassA");
    EXPECT_EQ(RunSaver(ReadScreensaverCommandLine("/p 4321")), 1);
    EXPECT_EQ(Only({"MessageBoxA", "OutputDebugStringA"}),
              "OutputDebugStringA Orlentic: Failed to register the window class!; ");
    Reset();
    fake::Recorded.afterSwap = [](int) { fake::Post(WM_DESTROY, 0); };
    EXPECT_EQ(RunSaver(ReadDisplayModeArguments("--window-id 16 --delay 7000", nullptr)), 0);
    EXPECT_EQ(Only({"Sleep"}), "Sleep 7; ");
}

} // namespace
