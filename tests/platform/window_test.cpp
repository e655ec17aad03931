// Classes, windows, device contexts, pixel formats, the cursor counter, display modes and
// message boxes, as far as they go without a display.
#include <cstdlib>

#include "platform_test_support.h"

namespace {

using WindowTest = DummyVideoTest;

LRESULT CALLBACK NeverCalled(HWND, UINT message, WPARAM, LPARAM) {
    ADD_FAILURE() << "the window procedure ran with message " << message;
    return 0;
}

TEST_F(WindowTest, ClassesAreNamedWithoutRegardToCaseAndGoOnlyWithoutWindows) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = NeverCalled;
    windowClass.lpszClassName = "platformtest";
    EXPECT_EQ(RegisterClassA(&windowClass), 0) << "already registered under another case";
    windowClass.lpszClassName = MAKEINTRESOURCEA(5);
    EXPECT_EQ(RegisterClassA(&windowClass), 0);
    EXPECT_EQ(RegisterClassA(nullptr), 0);
    // The dummy driver has no GL, so SDL refuses the window as it does without a display;
    // nothing is sent to the procedure.
    EXPECT_EQ(CreateWindowExA(0, TestClassName, "Orlentic", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                              nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(CreateWindowExA(0, "Unregistered", "Orlentic", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                              nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_TRUE(ReceivedMessages().empty());

    HWND window = MakeWindow();
    EXPECT_FALSE(UnregisterClassA(TestClassName, nullptr)) << "a window of the class is alive";
    EXPECT_FALSE(UnregisterClassA("NoSuchClass", nullptr));
    EXPECT_FALSE(UnregisterClassA(MAKEINTRESOURCEA(5), nullptr));
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_TRUE(UnregisterClassA("PLATFORMTEST", nullptr));
    EXPECT_FALSE(UnregisterClassA(TestClassName, nullptr));
}

TEST_F(WindowTest, DestroyWindowSendsWmDestroyOnceAndRefusesUnknownHandles) {
    HWND window = MakeWindow();
    ASSERT_TRUE(DestroyWindow(window));
    ASSERT_EQ(ReceivedMessages().size(), 1u);
    EXPECT_EQ(ReceivedMessages()[0].message, UINT(WM_DESTROY));
    EXPECT_EQ(ReceivedMessages()[0].window, window);
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_FALSE(DestroyWindow(nullptr));
    EXPECT_EQ(ReceivedMessages().size(), 1u);
}

TEST_F(WindowTest, PixelFormatOneIsTheOnlyOneAndIsSetOnce) {
    HWND window = MakeWindow();
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDC(window), dc) << "a window keeps its own device context";

    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    request.cDepthBits = 16;
    // Drawing to a window, OpenGL and double buffering are all needed.
    const DWORD all = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    for (DWORD flags : {PFD_DRAW_TO_WINDOW, PFD_SUPPORT_OPENGL, PFD_DOUBLEBUFFER}) {
        request.dwFlags = all & ~flags;
        EXPECT_EQ(ChoosePixelFormat(dc, &request), 0) << "flags " << request.dwFlags;
    }
    request.dwFlags = all;
    EXPECT_EQ(ChoosePixelFormat(dc, &request), 1);
    request.iPixelType = 1; // colour-index
    EXPECT_EQ(ChoosePixelFormat(dc, &request), 0);
    EXPECT_EQ(ChoosePixelFormat(dc, nullptr), 0);
    EXPECT_EQ(ChoosePixelFormat(nullptr, &request), 0);

    EXPECT_EQ(wglCreateContext(dc), nullptr) << "no context before a pixel format";
    EXPECT_FALSE(SetPixelFormat(dc, 2, &request));
    EXPECT_TRUE(SetPixelFormat(dc, 1, &request));
    EXPECT_FALSE(SetPixelFormat(dc, 1, &request));
}

TEST_F(WindowTest, ReleasingWhatWasNeverMadeFailsAsWin32Does) {
    HWND window = MakeWindow();
    HDC dc = GetDC(window);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(ReleaseDC(window, nullptr), 0);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr)) << "unbinding with nothing bound";
    EXPECT_TRUE(wglMakeCurrent(dc, nullptr));
    EXPECT_FALSE(wglMakeCurrent(dc, reinterpret_cast<HGLRC>(&dc)));
    EXPECT_FALSE(wglDeleteContext(nullptr));
    EXPECT_FALSE(wglDeleteContext(reinterpret_cast<HGLRC>(&dc)));
    EXPECT_FALSE(SwapBuffers(dc)) << "no pixel format, nothing to swap";

    DestroyWindow(window);
    EXPECT_EQ(ReleaseDC(window, dc), 0) << "the device context went with its window";
}

TEST_F(WindowTest, FullScreenModesMustExist) {
    // The dummy driver offers one mode, 1024 by 768 at 32 bits; only a temporary change is made.
    const struct {
        DWORD width, height, bits, flags;
        LONG result;
    } cases[] = {{1024, 768, 32, CDS_FULLSCREEN, DISP_CHANGE_SUCCESSFUL},
                 {1024, 768, 24, CDS_FULLSCREEN, DISP_CHANGE_SUCCESSFUL},
                 {800, 600, 32, CDS_FULLSCREEN, DISP_CHANGE_FAILED},
                 {1024, 768, 16, CDS_FULLSCREEN, DISP_CHANGE_FAILED},
                 {1024, 768, 32, 0, DISP_CHANGE_FAILED}};
    for (const auto& c : cases) {
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        mode.dmPelsWidth = c.width;
        mode.dmPelsHeight = c.height;
        mode.dmBitsPerPel = c.bits;
        EXPECT_EQ(ChangeDisplaySettingsA(&mode, c.flags), c.result)
            << c.width << "x" << c.height << "x" << c.bits << " flags " << c.flags;
    }
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
}

TEST_F(WindowTest, TheCursorHidesBelowZeroAndShowsAgainAtZero) {
    const struct {
        BOOL show;
        int count, sdlState;
    } steps[] = {
        {FALSE, -1, SDL_DISABLE}, {FALSE, -2, SDL_DISABLE}, {TRUE, -1, SDL_DISABLE},
        {TRUE, 0, SDL_ENABLE},    {TRUE, 1, SDL_ENABLE},    {FALSE, 0, SDL_ENABLE},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(ShowCursor(step.show), step.count);
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), step.sdlState) << "count " << step.count;
    }
}

TEST(CursorBeforeVideo, AHiddenCursorStaysHiddenWhenVideoStarts) {
    SDL_Quit();
    EXPECT_EQ(ShowCursor(FALSE), -1);
    ASSERT_TRUE(EnsureVideo());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    SDL_Quit();
}

// SDL would otherwise fall back to its offscreen driver and the program would run unseen.
TEST(NoDisplay, NoWindowIsMadeAndTheProcedureNeverRuns) {
    SDL_Quit();
    unsetenv("SDL_VIDEODRIVER");
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = NeverCalled;
    windowClass.lpszClassName = "OpenGL";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    EXPECT_EQ(CreateWindowExA(0, "OpenGL", "Orlentic", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                              nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_TRUE(UnregisterClassA("OpenGL", nullptr));
    SDL_Quit();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

TEST(MessageBox, WithoutADisplayItStillTellsStandardErrorAndAnswersOk) {
    const struct {
        LPCSTR text, caption;
        UINT type;
        const char* printed;
    } cases[] = {{"Unable to create window!", "Error", MB_OK | MB_ICONERROR,
                  "Error: Unable to create window!\n"},
                 {"File Not Found", "BMP Texture", MB_OK, "BMP Texture: File Not Found\n"},
                 {nullptr, nullptr, MB_OK, "Error: \n"}};
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(MessageBoxA(nullptr, c.text, c.caption, c.type), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.printed);
    }
}

} // namespace
