// The shell against the fake platform and the recorded scene, logging to the same record.
#include <cstring>
#include <gtest/gtest.h>

#include "scene/scene.h"
#include "shell/shell.h"
#include "tests/support/fake_platform.h"

namespace {

using fake::Only;

struct ShellTest : testing::Test {
    void SetUp() override {
        fake::Reset();
        ElapsedMs = FrameCount = 0;
        std::memset(KeyDown, 0, sizeof KeyDown);
        DragMode = DragSway;
        WindowHandle = nullptr, DeviceContext = nullptr, RenderContext = nullptr;
        TiltX = -5.0f, SpinY = 0.0f, ViewX = 0.0f, ViewY = -2.5f, ViewZ = -34.0f; // the start view
    }
    void TearDown() override {
        for (const fake::MessageBoxRecord& box : fake::Recorded.boxes)
            EXPECT_EQ(std::tie(box.owner, box.caption, box.type),
                      std::make_tuple(nullptr, "Error", UINT{MB_OK | MB_ICONERROR}));
    }
};

// Only a context that was made is deleted and reported on. The process ends with status 1.
TEST_F(ShellTest, EachStartUpFailureTearsDownThenSaysWhy) {
    const std::tuple<const char*, bool, std::string> cases[] = {
        {"RegisterClassA", false, "MessageBoxA Failed to register the window class!; "},
        {"ChangeDisplaySettingsA", true, // goes on in a window, the cursor shown
         "MessageBoxA Unable to switch to fullscreen!; InitScene; "},
        {"CreateWindowExA", true,
         "ShowCursor 0; ShowCursor 1; MessageBoxA Unable to create window!; "},
        {"ChoosePixelFormat", false,
         "DestroyWindow; MessageBoxA Unable to find a suitable pixel format; "},
        {"wglMakeCurrent", false, // refusing the unbinding too
         "MessageBoxA Release of DC and RC failed!; wglDeleteContext; DestroyWindow; "
         "MessageBoxA Unable to activate OpenGL rendering context; "},
    };
    for (const auto& [failing, fullScreen, teardown] : cases) {
        SetUp();
        fake::Recorded.failing.insert(failing);
        CreateRenderWindow(800, 600, fullScreen, 32);
        EXPECT_EQ(Only({"ShowCursor", "wglDelete", "DestroyWindow", "MessageBoxA", "InitScene"}),
                  teardown);
    }
    SetUp();
    fake::Recorded.failing.insert("GetDC");
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 1);
    EXPECT_EQ(Only({"PeekMessageA", "MessageBoxA"}),
              "MessageBoxA Unable to get a device context!; ");
}

TEST_F(ShellTest, OneMessagePerPassAFrameOnlyOnAnEmptyQueueAndNoneAfterQuit) {
    fake::Post(WM_KEYDOWN, 'W');
    fake::Post(WM_MOUSEMOVE, 0);
    fake::Recorded.afterSwap = [](int) { fake::Post(WM_CLOSE, 0); };
    RunMainLoop(nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(Only({"Peek", "Dispatch", "Draw", "PostQuit", "DestroyWindow"}),
              "PeekMessageA; DispatchMessageA; PeekMessageA; DispatchMessageA; "
              "PeekMessageA; DrawScene 0; PeekMessageA; DispatchMessageA; PostQuitMessage; "
              "PeekMessageA; DestroyWindow; ");
}

// Frame time runs from the end of loading. A failing teardown step is told in place.
TEST_F(ShellTest, StartsShowsFramesUntilEscAndEndsWithZero) {
    fake::Recorded.tick = 100;
    fake::Recorded.afterSwap = [](int swap) {
        fake::Recorded.tick = 5000 + 17u * static_cast<DWORD>(swap);
        if (swap == 2)
            fake::Post(WM_KEYDOWN, VK_ESCAPE);
    };
    for (const char* step : {"ReleaseDC", "DestroyWindow", "UnregisterClassA"})
        fake::Recorded.failing.insert(step);
    char commandLine[] = "--fullscreen"; // means nothing to the program
    EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, 0), 0);
    EXPECT_EQ(
        Only({"CreateWindowExA", "Choose", "SetTimer", "ResizeScene", "InitScene", "Draw", "Apply",
              "Dispatch", "ReleaseDC", "DestroyWindow", "Unregister", "MessageBoxA"}),
        "CreateWindowExA Orlentic 800x600; ChoosePixelFormat 16; SetTimer 500; "
        "ResizeScene 792 573; InitScene; DrawScene 0; ApplyKeyToggles; DrawScene 8; "
        "ApplyKeyToggles; DispatchMessageA; DrawScene 21; ReleaseDC; "
        "MessageBoxA Release of device context failed!; DestroyWindow; "
        "MessageBoxA Unable to destroy window!; UnregisterClassA; "
        "MessageBoxA Unable to unregister window class!; ");
}

// The mean stays the mean once the two together pass 2^31 (about 12 days on).
TEST_F(ShellTest, FrameTimeIsTheMeanOfTheLastOneAndTheRawTime) {
    for (const auto& [previous, raw, smoothed] : {std::tuple{3, 4u, 3},
                                                  {1500000000, 1500000016u, 1500000008},
                                                  {2147483000, 2147483600u, 2147483300}})
        EXPECT_EQ(SmoothElapsedMs(previous, raw), smoothed) << previous << " " << raw;
}

TEST_F(ShellTest, MessagesReachTheStateAndTheCallsTheyStandFor) {
    FrameCount = 9;
    const std::tuple<UINT, WPARAM, LPARAM, std::string> cases[] = {
        {WM_KEYDOWN, 'L', 0, ""},
        {WM_KEYDOWN, 'W', 0, ""},
        {WM_KEYUP, 'W', 0, ""},
        {WM_KEYDOWN, 256 + 'W', 0, ""},              // beyond the table
        {WM_SYSKEYDOWN, 'F', 0, "DefWindowProcA; "}, // Alt+F4 and the menu keys
        {WM_SIZE, SIZE_MINIMIZED, 0, "ResizeScene 0 0; "},
        {WM_SIZE, SIZE_RESTORED, 33000 << 16 | 40000, "ResizeScene 40000 33000; "}, // unsigned
        {WM_CLOSE, 0, 0, "PostQuitMessage; "}, // the window stays until the teardown
    };
    for (const auto& [message, wParam, lParam, calls] : cases) {
        fake::Recorded.calls.clear();
        WatchWindowProc(fake::Window, message, wParam, lParam);
        EXPECT_EQ(Only(), calls) << message << " " << wParam;
    }
    EXPECT_EQ(std::make_tuple(KeyDown['L'], KeyDown['W'], FrameCount), std::make_tuple(1, 0, 9));
    WatchWindowProc(fake::Window, WM_TIMER, 1, 0); // the rate tick
    EXPECT_EQ(FrameCount, 0);
}

// Half a degree a pixel, ten pixels of zoom and 24 of pan a unit; the capture lets a drag go
// on above and left of the window. Any release ends it, and gives the capture back.
TEST_F(ShellTest, DragsMoveTheViewAtTheDescribedRatesUntilTheyEnd) {
    // The button, the move from (4, 6), then TiltX, SpinY, ViewX, ViewY, ViewZ.
    const std::tuple<UINT, int, int, std::vector<float>> cases[] = {
        {WM_LBUTTONDOWN, -10, -8, {-9.0f, -5.0f, 0.0f, -2.5f, -34.0f}},
        {WM_RBUTTONDOWN, 0, -25, {-5.0f, 0.0f, 0.0f, -2.5f, -31.5f}},
        {WM_MBUTTONDOWN, -24, -48, {-5.0f, 0.0f, -1.0f, -0.5f, -34.0f}},
    };
    auto send = [](UINT message, int x, int y) {
        WatchWindowProc(fake::Window, message, 0, LPARAM(DWORD(WORD(y)) << 16 | WORD(x)));
    };
    for (const auto& [press, x, y, view] : cases)
        for (UINT end : {WM_CAPTURECHANGED, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP}) {
            SetUp();
            WindowHandle = fake::Window;
            send(WM_MOUSEMOVE, 50, 50); // the sway ignores the mouse
            send(press, 4, 6);
            send(WM_MOUSEMOVE, 4 + x, 6 + y);
            EXPECT_EQ(fake::Recorded.capture, fake::Window);
            WatchWindowProc(fake::Window, end, 0, 0x777); // for WM_CAPTURECHANGED, its new owner
            send(WM_MOUSEMOVE, 200, 300);
            EXPECT_EQ(std::vector<float>({TiltX, SpinY, ViewX, ViewY, ViewZ}), view) << press;
            EXPECT_EQ(DragMode, DragNone);
            EXPECT_TRUE(end == WM_CAPTURECHANGED || fake::Recorded.capture == nullptr) << end;
        }
}

} // namespace
