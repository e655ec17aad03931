// The saver against the fake platform and the recorded scene.
#include <gtest/gtest.h>

#include "platform/opengl.h"
#include "saver/saver.h"
#include "saver/settings_dialog.h"
#include "scene/scene.h"
#include "shell/shell.h"
#include "shell/shell_state.h"
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
    std::fill(std::begin(KeyDown), std::end(KeyDown), 0);
    ElapsedMs = 0, DragMode = DragSway;
    WindowHandle = nullptr, DeviceContext = nullptr, RenderContext = nullptr;
}

// s, p, c, ? or h, the window's number, then (Linux) the ms a frame and "fps"; or ! and why.
std::string Describe(const SaverRequest& r, bool timing) {
    if (r.mode == Bad)
        return "!" + r.why;
    std::string text(1, "spc?!h"[static_cast<int>(r.mode)]);
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
        {"--root --no-case=1", nullptr, "!unknown option '--no-case=1'"},
        {"-window-id 7 --delay 100000 --help --bogus", nullptr, "h7 100"},
        {"--bogus --help", nullptr, "!unknown option '--bogus'"},
    };
    for (const auto& [line, root, expected] : cases)
        EXPECT_EQ(Describe(ReadDisplayModeArguments(line, root), true), expected) << line;
}

// Neither makes a window: a Windows command line not understood gets a box naming those that
// are, bad arguments on Linux a usage line and no box.
TEST(Saver, AnswersUsageAndBadArgumentsWithoutAWindow) {
    Reset();
    EXPECT_EQ(RunScreensaver("/x"), 1);
    ASSERT_EQ(fake::Recorded.boxes.size(), 1u);
    const fake::MessageBoxRecord& box = fake::Recorded.boxes[0];
    EXPECT_EQ(std::make_tuple(Number(box.owner), box.caption, box.type, Only({"Create"})),
              std::make_tuple(uintptr_t{0}, "Orlentic", UINT{MB_OK | MB_ICONERROR}, ""));
    EXPECT_NE(box.text.find("/s\t"), std::string::npos) << box.text;
    Reset();
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunSaver(ReadDisplayModeArguments("--window-id", nullptr)), 2);
    const std::string usage = "Usage: orlentic-saver (--root | --window-id ID) [--delay "
                              "MICROSECONDS] [--fps] [--wireframe] [--no-glass] [--no-dial] "
                              "[--no-case]\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "orlentic-saver: '--window-id' needs a value\n" + usage);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunSaver(ReadDisplayModeArguments("-help", nullptr)), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout().substr(0, usage.size()), usage);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Only({"MessageBoxA", "CreateWindowExA"}), "");
}

// Each part's option hides or shows it after the scene is set up, as its key would.
TEST(Saver, ThePartsChosenOnTheCommandLineReachTheScene) {
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"--wireframe", " W"}, {"--no-glass", " L"}, {"-no-dial", " F"},
        {"--no-case", " C"}, {"--no-case --wireframe -no-glass --no-dial", " WLFC"}};
    // clang-format on
    for (const auto& [options, keys] : cases) {
        Reset();
        const std::string line = std::string("--window-id 4321 ") + options;
        ASSERT_TRUE(CreateSaverWindow(ReadDisplayModeArguments(line.c_str(), nullptr)));
        EXPECT_EQ(Only({"InitScene", "Apply"}),
                  "InitScene; ApplyKeyToggles" + std::string(keys) + "; ")
            << options;
    }
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

// A 30 ms pause after every frame, quick or slow. The two monitors show the same moment, and
// the frame is swapped once. Keys reach only the window with the keyboard focus, which nobody
// hands to a new window: it is taken before the first frame, or a key would not end the saver.
TEST(Saver, FullScreenCoversTheVirtualScreenAndPacesItsFrames) {
    Reset();
    fake::Recorded.afterSwap = [](int swap) {
        fake::Recorded.tick += swap == 2 ? 40 : 5; // the second frame is slow
        if (swap == 3)
            fake::Post(WM_KEYDOWN, 'A');
    };
    EXPECT_EQ(RunSaver(ReadScreensaverCommandLine("/s")), 0);
    EXPECT_EQ(Only({"CreateWindowExA", "ChoosePixelFormat", "ShowCursor", "SetF", "Draw", "Swap",
                    "Sleep", "PostQuit", "DestroyWindow"}),
              "CreateWindowExA Orlentic 2944x1280; ChoosePixelFormat 16; ShowCursor 0; "
              "SetForegroundWindow; SetFocus; DrawScene 0; DrawScene 0; SwapBuffers; Sleep 30; "
              "DrawScene 17; DrawScene 17; "
              "SwapBuffers; Sleep 30; DrawScene 61; DrawScene 61; SwapBuffers; Sleep 30; "
              "PostQuitMessage; DestroyWindow; ");
    const auto& made = fake::Recorded.created;
    EXPECT_EQ(std::make_tuple(made.exStyle, made.style, made.x, made.y, made.parent),
              std::make_tuple(DWORD{WS_EX_TOPMOST}, DWORD{WS_POPUP | WS_VISIBLE}, -1024, -200,
                              HWND{nullptr}));
}

// Each monitor gets its own view, centred on it with its aspect, in the one window over the
// virtual screen (the test above). GL counts a viewport from the client area's bottom-left.
TEST(Saver, FullScreenGivesEachMonitorAViewOfItsOwn) {
    auto view = [](int left, int bottom, int width, int height) {
        const std::string size = std::to_string(width) + " " + std::to_string(height);
        const std::string place = std::to_string(left) + " " + std::to_string(bottom) + " " + size;
        return "ResizeScene " + size + "; glViewport " + place + "; glScissor " + place +
               "; DrawScene 0; ";
    };
    std::vector<RECT> row; // more monitors in a row than the saver keeps
    std::string rowViews;  // the first 16 of them
    for (LONG i = 0; i < 17; ++i) {
        row.push_back(RECT{100 * i, 0, 100 * i + 100, 100});
        rowViews += i < MaxSaverViews ? view(100 * i, 0, 100, 100) : "";
    }
    const std::pair<std::vector<RECT>, std::string> cases[] = {
        {{{0, 0, 1600, 900}}, view(0, 0, 1600, 900)},
        // A second, smaller one left of and above the primary: the window's corner is its.
        {{{0, 0, 1920, 1080}, {-1024, -200, 0, 568}},
         view(1024, 0, 1920, 1080) + view(0, 512, 1024, 768)},
        // A portrait one right of and below the primary, a third left of and above it.
        {{{0, 0, 1920, 1080}, {1920, 300, 3000, 2220}, {-1280, -1024, 0, 0}},
         view(1280, 1140, 1920, 1080) + view(3200, 0, 1080, 1920) + view(0, 2220, 1280, 1024)},
        {row, rowViews},
    };
    for (const auto& [monitors, views] : cases) {
        Reset();
        fake::Recorded.monitors = monitors;
        SaverRequest request;
        request.mode = Full;
        ASSERT_TRUE(CreateSaverWindow(request));
        fake::Recorded.calls.clear();
        DrawSaverViews();
        EXPECT_EQ(Only(), "glEnable " + std::to_string(GL_SCISSOR_TEST) + "; " + views);
    }
}

// When the parent goes, the child has gone with it: the teardown leaves it alone. The pause is
// --delay's.
TEST(Saver, InAWindowDrawsInAChildUntilThatWindowGoes) {
    Reset();
    fake::Recorded.afterSwap = [](int) {
        fake::Post(WM_DESTROY, 0);
        fake::Recorded.failing.insert("IsWindow");
    };
    EXPECT_EQ(RunSaver(ReadDisplayModeArguments("--window-id 4321 --delay 7000", nullptr)), 0);
    EXPECT_EQ(Only({"GetClientRect", "CreateWindowExA", "ShowCursor", "SetFocus", "Resize", "Sleep",
                    "PostQuit", "IsWindow", "ReleaseDC", "DestroyWindow"}),
              "GetClientRect; CreateWindowExA Orlentic 792x573; GetClientRect; "
              "ResizeScene 792 573; Sleep 7; PostQuitMessage; IsWindow; ");
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

// The registry keeps only REG_DWORDs of four bytes in range that the saver could have written.
TEST(Saver, TrustsAStoredValueOnlyAsADwordInRange) {
    const std::tuple<DWORD, DWORD, DWORD, DWORD, DWORD> cases[] = {
        // type, size, value, largest, what is used (the fallback is 9)
        {REG_DWORD, 4, 0, 1, 0},       {REG_DWORD, 4, 1, 1, 1},      {REG_DWORD, 4, 7, 1, 9},
        {REG_DWORD, 4, 100, 100, 100}, {REG_DWORD, 4, 5000, 100, 9}, {REG_DWORD, 2, 1, 1, 9},
        {REG_SZ, 2, '1', 1, 9},        {REG_BINARY, 2, 0, 1, 9},     {REG_BINARY, 4, 1, 1, 9}};
    for (const auto& [type, size, value, largest, used] : cases)
        EXPECT_EQ(TrustStoredValue(type, size, value, largest, 9), used)
            << type << " " << size << " " << value;
}

std::string Dword(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof(value));
}

// What /s starts with: W, L, F and C as the key table holds them, and the pause after a frame.
std::string StartFullScreen() {
    fake::Recorded.afterSwap = [](int) { fake::Post(WM_KEYDOWN, 'A'); };
    EXPECT_EQ(RunScreensaver("/s"), 0);
    return Only({"ApplyKeyToggles", "Sleep"});
}

// A stored value that is missing, of another type, too long, or out of range, is the default.
TEST(Saver, StartsWithTheStoredSettingsEachUntrustedOneAtItsDefault) {
    Reset();
    EXPECT_EQ(StartFullScreen(), "ApplyKeyToggles; Sleep 30; ");
    Reset();
    fake::Recorded.keyExists = true;
    fake::Recorded.registry = {{"Wireframe", {REG_DWORD, Dword(7)}},
                               {"Glass", {REG_SZ, std::string("0\0", 2)}},
                               {"Dial", {REG_BINARY, std::string(2, '\0')}},
                               {"Case", {REG_SZ, "000000000"}},
                               {"PauseMs", {REG_DWORD, Dword(5000)}}};
    EXPECT_EQ(StartFullScreen(), "ApplyKeyToggles; Sleep 30; ");
}

// The user's hands in the dialog: the check boxes and the pause set as given, then a button.
void Choose(std::map<int, UINT> controls, WPARAM button) {
    fake::Recorded.inDialog = [controls, button] {
        for (const auto& [id, value] : controls)
            fake::Recorded.controls[id] = value;
        fake::Recorded.dialogProc(fake::Dialog, WM_COMMAND, button, 0);
    };
}

// /c shows what is stored; OK stores what the dialog shows, and /s then starts with it.
TEST(Saver, SettingsDialogStoresItsChoicesOnOk) {
    Reset();
    Choose({{IDC_WIREFRAME, 1}, {IDC_DIAL, 0}, {IDC_CASE, 0}, {IDC_PAUSE, 55}}, IDOK);
    EXPECT_EQ(RunScreensaver("/c:4321"), 0);
    EXPECT_EQ(Only({"DialogBoxParamA", "EndDialog", "MessageBoxA"}),
              "DialogBoxParamA 4321; EndDialog 1; ");
    fake::Recorded.calls.clear();
    Choose({}, IDOK);
    EXPECT_EQ(RunScreensaver("/c"), 0);
    const std::map<int, UINT> shown = {
        {IDC_WIREFRAME, 1}, {IDC_GLASS, 1}, {IDC_DIAL, 0}, {IDC_CASE, 0}, {IDC_PAUSE, 55}};
    EXPECT_EQ(fake::Recorded.controls, shown);
    for (const auto& [name, value] : {std::pair<const char*, DWORD>{"Wireframe", 1},
                                      {"Glass", 1},
                                      {"Dial", 0},
                                      {"Case", 0},
                                      {"PauseMs", 55}})
        EXPECT_EQ(fake::Recorded.registry[name], std::pair(DWORD{REG_DWORD}, Dword(value))) << name;
    EXPECT_EQ(StartFullScreen(), "ApplyKeyToggles WFC; Sleep 55; ");
}

// Cancel (Esc and the close box too) stores nothing, and a pause that is no number from 0 to
// 100 is said so while the dialog stays; the status is 0 either way. An owner that is gone
// leaves the dialog standing alone.
TEST(Saver, SettingsDialogStoresNothingOnCancelOrABadPause) {
    const std::tuple<UINT, WPARAM, const char*, size_t> cases[] = {{0, IDCANCEL, "", 0},
                                                                   {101, IDOK, "", 1},
                                                                   {5, IDOK, "GetDlgItemInt", 1},
                                                                   {5, IDOK, "RegCreateKeyExA", 1}};
    for (const auto& [pause, button, failing, boxes] : cases) {
        Reset();
        fake::Recorded.failing = {failing, "IsWindow"};
        Choose({{IDC_DIAL, 0}, {IDC_PAUSE, pause}}, button);
        EXPECT_EQ(RunScreensaver("/c:4321"), 0);
        EXPECT_EQ(Only({"DialogBoxParamA", "RegSetValueExA"}), "DialogBoxParamA 0; ") << pause;
        EXPECT_EQ(fake::Recorded.boxes.size(), boxes) << failing;
    }
}

// In a lent window nobody can answer a box: a start-up failure is one line of debug output and
// status 1, or 0 when the window has gone (not when the display is missing).
TEST(Saver, InALentWindowAFailureIsOneLineAndTheWindowGoingIsNone) {
    const std::string gl = "Unable to create an OpenGL rendering context";
    const std::tuple<const char*, int, std::string> cases[] = {
        {"", 1, gl},
        {"IsWindow", 0, gl},
        {"GetDesktop", 1, gl},
        {"RegisterClassA", 1, "Failed to register the window class!"}};
    for (const auto& [failing, status, why] : cases) {
        Reset();
        fake::Recorded.failing = {failing, "wglCreateContext"};
        if (failing[0] == 'G') // no display: no window is there either
            fake::Recorded.failing.insert({"GetDesktopWindow", "IsWindow"});
        EXPECT_EQ(RunSaver(ReadDisplayModeArguments("--window-id 16", nullptr)), status) << failing;
        EXPECT_EQ(Only({"MessageBoxA", "OutputDebugStringA"}),
                  "OutputDebugStringA Orlentic: " + why + "; ");
    }
}

} // namespace
