// The shell against the recording fake of the platform and a stand-in for the scene that
// logs into the same record: start-up and teardown with their boxes, the frame loop, and the
// window procedure, whose drags are checked against the described rates.
#include <cstring>
#include <gtest/gtest.h>

#include "scene/scene.h"
#include "shell/shell.h"
#include "tests/support/fake_platform.h"

namespace {

DWORD ReadyTick; // the tick count once the scene is ready: loading takes time

// The calls that start with one of the prefixes, in order, each followed by "; ".
std::string Only(std::initializer_list<std::string> prefixes = {""}) {
    std::string kept;
    for (const std::string& call : fake::Recorded.calls)
        for (const std::string& prefix : prefixes)
            if (call.compare(0, prefix.size(), prefix) == 0)
                kept += call + "; ";
    return kept;
}

// A fresh start, with the view where the scene set-up puts it.
struct ShellTest : testing::Test {
    void SetUp() override {
        fake::Reset();
        ReadyTick = 0;
        ElapsedMs = FrameCount = 0;
        std::memset(KeyDown, 0, sizeof KeyDown);
        DragMode = DragSway;
        TiltX = -5.0f, SpinY = 0.0f, ViewX = 0.0f, ViewY = -2.5f, ViewZ = -34.0f;
        WindowHandle = nullptr, DeviceContext = nullptr, RenderContext = nullptr;
    }
    void TearDown() override {
        for (const fake::MessageBoxRecord& box : fake::MessageBoxes())
            EXPECT_EQ(std::tie(box.owner, box.caption, box.type),
                      std::make_tuple(nullptr, "Error", UINT{MB_OK | MB_ICONERROR}));
    }
};

} // namespace

void ResizeScene(int32_t width, int32_t height) {
    fake::Recorded.calls.push_back("ResizeScene " + std::to_string(width) + " " +
                                   std::to_string(height));
}
void InitScene() {
    fake::Recorded.calls.push_back("InitScene");
    fake::Recorded.tick = ReadyTick;
}
void DrawScene() {
    fake::Recorded.calls.push_back("DrawScene " + std::to_string(ElapsedMs));
}
void ApplyKeyToggles() {
    fake::Recorded.calls.push_back("ApplyKeyToggles");
}

namespace {

TEST_F(ShellTest, StartUpAndTeardownMakeTheirCallsInOrder) {
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    DestroyRenderWindow(false);
    // The outer size is asked for; the viewport then covers the 792 by 573 client area.
    EXPECT_EQ(Only(), "GetModuleHandleA; LoadCursorA #32512; RegisterClassA 23 OpenGL arrow; "
                      "CreateWindowExA 40100 6cf0000 OpenGL Orlentic 0 0 800 600; "
                      "ResizeScene 792 573; GetDC; ChoosePixelFormat 40 1 25 0 32 16 0; "
                      "SetPixelFormat 7; wglCreateContext; wglMakeCurrent context; "
                      "SetTimer 1 500 message; ShowWindow 5; SetForegroundWindow; SetFocus; "
                      "GetClientRect; ResizeScene 792 573; InitScene; wglMakeCurrent NULL; "
                      "wglDeleteContext; ReleaseDC; DestroyWindow; GetModuleHandleA; "
                      "UnregisterClassA OpenGL; ");
}

TEST_F(ShellTest, EachStartUpFailureTearsDownThenSaysWhy) {
    const std::string mode = "ChangeDisplaySettingsA 156 800 600 32 1c0000 4; ",
                      back = "ChangeDisplaySettingsA NULL 0; ShowCursor 1; ",
                      // No context was made, yet both context steps run and the fault is told.
        context = "wglMakeCurrent NULL; wglDeleteContext; "
                  "MessageBoxA Release of rendering context failed!; ",
                      window = "ReleaseDC; DestroyWindow; UnregisterClassA OpenGL; MessageBoxA ";
    const struct {
        const char* failing;
        bool fullScreen, started;
        std::string teardown; // with the boxes
    } cases[] = {
        {"RegisterClassA", false, false, "MessageBoxA Failed to register the window class!; "},
        {"ChangeDisplaySettingsA", true, true, // goes on in a window, the cursor shown
         mode + "MessageBoxA Unable to switch to fullscreen!; wglMakeCurrent context; "},
        {"CreateWindowExA", true, false,
         mode + "ShowCursor 0; " + back + context +
             "UnregisterClassA OpenGL; MessageBoxA Unable to create window!; "},
        {"GetDC", false, false,
         context + "DestroyWindow; UnregisterClassA OpenGL; "
                   "MessageBoxA Unable to get a device context!; "},
        {"ChoosePixelFormat", false, false,
         context + window + "Unable to find a suitable pixel format; "},
        {"SetPixelFormat", false, false, context + window + "Unable to set the pixel format; "},
        {"wglCreateContext", false, false,
         context + window + "Unable to create an OpenGL rendering context; "},
        {"wglMakeCurrent", false, false, // refusing the unbinding too
         "wglMakeCurrent context; wglMakeCurrent NULL; MessageBoxA Release of DC and RC failed!; "
         "wglDeleteContext; " +
             window + "Unable to activate OpenGL rendering context; "},
    };
    for (const auto& c : cases) {
        SetUp();
        fake::FailCall(c.failing);
        EXPECT_EQ(CreateRenderWindow(800, 600, c.fullScreen, 32), c.started);
        EXPECT_EQ(
            Only({"ChangeDisplaySettingsA", "ShowCursor", "wglMakeCurrent", "wglDeleteContext",
                  "ReleaseDC", "DestroyWindow", "UnregisterClassA", "MessageBoxA"}),
            c.teardown);
        EXPECT_EQ(Only({"InitScene"}), c.started ? "InitScene; " : "");
    }
}

TEST_F(ShellTest, EachFailingTeardownStepIsToldInPlaceAndTheRestStillRun) {
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    fake::Recorded.calls.clear();
    for (const char* step :
         {"wglMakeCurrent", "wglDeleteContext", "ReleaseDC", "DestroyWindow", "UnregisterClassA"})
        fake::FailCall(step);
    DestroyRenderWindow(false);
    EXPECT_EQ(Only({"wgl", "Release", "Destroy", "Unregister", "MessageBoxA"}),
              "wglMakeCurrent NULL; MessageBoxA Release of DC and RC failed!; "
              "wglDeleteContext; MessageBoxA Release of rendering context failed!; "
              "ReleaseDC; MessageBoxA Release of device context failed!; "
              "DestroyWindow; MessageBoxA Unable to destroy window!; "
              "UnregisterClassA OpenGL; MessageBoxA Unable to unregister window class!; ");
}

TEST_F(ShellTest, OneMessagePerPassAFrameOnlyOnAnEmptyQueueAndNoneAfterQuit) {
    fake::Post(WM_KEYDOWN, 'W');
    fake::Post(WM_MOUSEMOVE, 0);
    fake::Recorded.afterSwap = [](int) {
        fake::Post(WM_CLOSE, 0);
        fake::Post(WM_KEYDOWN, 'C'); // still taken before the quit
    };
    RunMainLoop(nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(Only({"Peek", "Dispatch", "Draw", "Swap", "Apply", "PostQuit", "DestroyWindow"}),
              "PeekMessageA; DispatchMessageA; PeekMessageA; DispatchMessageA; "
              "PeekMessageA; DrawScene 0; SwapBuffers; ApplyKeyToggles; "
              "PeekMessageA; DispatchMessageA; PostQuitMessage 0; PeekMessageA; DispatchMessageA; "
              "PeekMessageA; DestroyWindow; ");
    EXPECT_EQ(FrameCount, 1);
}

TEST_F(ShellTest, EscEndsTheProgramWithZeroAfterTheNextFrameIsShown) {
    fake::Recorded.afterSwap = [](int swap) {
        if (swap == 2)
            fake::Post(WM_KEYDOWN, VK_ESCAPE);
    };
    char commandLine[] = "--fullscreen"; // means nothing to the program
    EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, 0), 0);
    EXPECT_EQ(Only({"Peek", "Dispatch", "Draw", "Swap", "Apply", "CreateWindowExA", "ShowWindow",
                    "DestroyWindow"}),
              "CreateWindowExA 40100 6cf0000 OpenGL Orlentic 0 0 800 600; ShowWindow 5; "
              "PeekMessageA; DrawScene 0; SwapBuffers; ApplyKeyToggles; "
              "PeekMessageA; DrawScene 0; SwapBuffers; ApplyKeyToggles; PeekMessageA; "
              "DispatchMessageA; PeekMessageA; DrawScene 0; SwapBuffers; DestroyWindow; ");
}

TEST_F(ShellTest, TheClockStartsOnceTheSceneIsReadyAndIsSmoothed) {
    for (DWORD start : {DWORD{5000}, DWORD{0xfffffff8u}}) { // the second wraps
        SetUp();
        fake::Recorded.tick = 100;
        ReadyTick = start;
        fake::Recorded.afterSwap = [start](int swap) {
            fake::Recorded.tick = start + 16u * static_cast<DWORD>(swap);
            if (swap == 5)
                fake::Post(WM_CLOSE, 0);
        };
        RunMainLoop(nullptr, nullptr, nullptr, 0);
        EXPECT_EQ(Only({"DrawScene"}), "DrawScene 0; DrawScene 8; DrawScene 20; DrawScene 34; "
                                       "DrawScene 49; ")
            << start;
    }
    EXPECT_EQ(SmoothElapsedMs(3, 4), 3); // an odd sum is truncated
}

LRESULT Send(UINT message, WPARAM wParam = 0, int x = 0, int y = 0) {
    const LPARAM at =
        static_cast<LPARAM>(static_cast<uint16_t>(y)) << 16 | static_cast<uint16_t>(x);
    return WatchWindowProc(fake::Window, message, wParam, at);
}

TEST_F(ShellTest, MessagesReachTheStateAndTheCallsTheyStandFor) {
    const UINT Paint = 0x000F; // declared here: the program never handles it
    const std::string passedOn = "DefWindowProcA; ";
    FrameCount = 9;
    const struct {
        UINT message;
        WPARAM wParam;
        int x, y;
        std::string calls;
    } cases[] = {
        {WM_KEYDOWN, 'L', 0, 0, ""},
        {WM_KEYDOWN, 'W', 0, 0, ""},
        {WM_KEYDOWN, 'L', 0, 0, ""},
        {WM_KEYUP, 'W', 0, 0, ""},
        {WM_KEYDOWN, 255, 0, 0, ""},
        {WM_KEYDOWN, 256, 0, 0, ""}, // beyond the table
        {WM_KEYUP, 256 + 'L', 0, 0, ""},
        {WM_SYSKEYDOWN, 'F', 0, 0, passedOn},
        {Paint, 0, 0, 0, passedOn},
        {WM_CREATE, 0, 0, 0, ""},
        {WM_SIZE, SIZE_MINIMIZED, 0, 0, "ResizeScene 0 0; "},
        {WM_TIMER, 2, 0, 0, ""},
        {WM_TIMER, 1, 0, 0, "SetWindowTextA Orlentic; "},
        {WM_SIZE, SIZE_RESTORED, 40000, 33000, "ResizeScene 40000 33000; "}, // unsigned
        {WM_CLOSE, 0, 0, 0, "PostQuitMessage 0; "}, // the window stays until the teardown
    };
    for (const auto& c : cases) {
        fake::Recorded.calls.clear();
        EXPECT_EQ(Send(c.message, c.wParam, c.x, c.y),
                  c.calls == passedOn ? fake::DefWindowResult : 0);
        EXPECT_EQ(Only(), c.calls) << c.message << " " << c.wParam;
    }
    uint8_t expected[256] = {};
    expected['L'] = expected[255] = 1;
    EXPECT_EQ(std::memcmp(KeyDown, expected, sizeof expected), 0);
    EXPECT_EQ(std::make_tuple(FrameCount, DragMode), std::make_tuple(0, int32_t{DragSway}));
}

TEST_F(ShellTest, DragsMoveTheViewAtTheDescribedRates) {
    const struct {
        UINT press;
        std::vector<std::pair<int, int>> path; // the press, then the moves
        std::vector<float> view;               // TiltX, SpinY, ViewX, ViewY, ViewZ
    } cases[] = {
        {WM_LBUTTONDOWN, {{100, 100}, {110, 104}}, {-3.0f, 5.0f, 0.0f, -2.5f, -34.0f}},
        {WM_LBUTTONDOWN, {{5, 5}, {-5, 1}, {-300, -200}}, {-107.5f, -152.5f, 0, -2.5f, -34.0f}},
        {WM_RBUTTONDOWN, {{50, 50}, {50, 75}}, {-5.0f, 0.0f, 0.0f, -2.5f, -36.5f}},
        {WM_RBUTTONDOWN, {{9, 300}, {30, 118}}, {-5.0f, 0.0f, 0.0f, -2.5f, -15.8f}},
        {WM_MBUTTONDOWN, {{0, 0}, {24, 48}}, {-5.0f, 0.0f, 1.0f, -4.5f, -34.0f}},
        {WM_MBUTTONDOWN, {{3, 3}, {-21, -45}}, {-5.0f, 0.0f, -1.0f, -0.5f, -34.0f}},
        {WM_MBUTTONDOWN, {{0, 0}, {0, 191}}, {-5.0f, 0.0f, 0.0f, -10.458333f, -34.0f}},
    };
    for (const auto& c : cases) {
        SetUp();
        Send(c.press, 0, c.path[0].first, c.path[0].second);
        for (auto [x, y] : c.path)
            Send(WM_MOUSEMOVE, 0, x, y);
        EXPECT_EQ(std::vector<float>({TiltX, SpinY, ViewX, ViewY, ViewZ}), c.view)
            << c.press << " to " << c.path.back().first << "," << c.path.back().second;
    }
}

// Each step: a message with x (or the window now holding the capture), then the drag mode,
// the capture and SpinY. Moves go 10 pixels right of the last at a time.
TEST_F(ShellTest, ButtonsCaptureAndEndDragsAndSoDoesALostCapture) {
    const HWND us = fake::Window, other = reinterpret_cast<HWND>(0x777);
    const struct {
        UINT message;
        LPARAM lParam;
        int32_t dragMode;
        HWND capture;
        float spinY;
    } steps[] = {
        {WM_MOUSEMOVE, 50, DragSway, nullptr, 0.0f},     // swaying: moves do nothing
        {WM_CAPTURECHANGED, 0, DragSway, nullptr, 0.0f}, // nor does a lost capture
        {WM_MBUTTONUP, 0, DragNone, nullptr, 0.0f},      // a release alone ends the sway
        {WM_MOUSEMOVE, 90, DragNone, nullptr, 0.0f},
        {WM_LBUTTONDOWN, 10, DragRotate, us, 0.0f},
        {WM_MOUSEMOVE, 20, DragRotate, us, 5.0f},
        {WM_RBUTTONDOWN, 20, DragZoom, us, 5.0f},    // a new drag replaces it
        {WM_RBUTTONUP, 20, DragNone, nullptr, 5.0f}, // and any release ends all
        {WM_MOUSEMOVE, 40, DragNone, nullptr, 5.0f},
        {WM_LBUTTONDOWN, 40, DragRotate, us, 5.0f},
        {WM_CAPTURECHANGED, LPARAM(us), DragRotate, us, 5.0f},
        {WM_CAPTURECHANGED, LPARAM(other), DragNone, us, 5.0f}, // Alt-Tab
        {WM_MOUSEMOVE, 80, DragNone, us, 5.0f},
        {WM_MBUTTONDOWN, 80, DragPan, us, 5.0f},
        {WM_CAPTURECHANGED, 0, DragNone, us, 5.0f}, // focus lost
    };
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32)); // a live window to capture
    for (const auto& s : steps) {
        EXPECT_EQ(WatchWindowProc(us, s.message, 0, s.lParam), 0);
        EXPECT_EQ(std::tie(DragMode, fake::Recorded.capture, SpinY),
                  std::make_tuple(s.dragMode, s.capture, s.spinY))
            << "step " << &s - steps;
    }
}

} // namespace
