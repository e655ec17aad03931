// The program's one window and the OpenGL rendering context drawn through it: made once at
// start-up, undone once at the end, each failing step told to the user in a message box.
#include "scene/scene.h"
#include "shell/shell.h"
#include "shell/window_constants.h"

HWND WindowHandle = nullptr;
HDC DeviceContext = nullptr;
HGLRC RenderContext = nullptr;

namespace {

constexpr const char* WindowClassName = "OpenGL";

// A 16-bit depth buffer is all the watch needs: it spans only a few dozen units in depth.
constexpr BYTE DepthBits = 16;

void ShowError(const char* text) {
    MessageBoxA(nullptr, text, "Error", MB_OK | MB_ICONERROR);
}

// Undoes what start-up has made so far, then tells the user why it stopped.
bool FailStartup(bool fullScreen, const char* text) {
    DestroyRenderWindow(fullScreen);
    ShowError(text);
    return false;
}

// False when the display refuses the mode.
bool SwitchToFullScreen(int32_t width, int32_t height, int32_t bits) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(bits);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_FAILED;
}

HWND OpenWindow(int32_t width, int32_t height, bool fullScreen, HINSTANCE instance) {
    DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (fullScreen) {
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        ShowCursor(FALSE);
    }
    // Width and height are the outer size, frame and caption included.
    return CreateWindowExA(exStyle, WindowClassName, WindowCaption, style, 0, 0, width, height,
                           nullptr, nullptr, instance, nullptr);
}

// Double-buffered RGBA with a depth buffer.
PIXELFORMATDESCRIPTOR RequestPixelFormat(int32_t bits) {
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = static_cast<BYTE>(bits);
    request.cDepthBits = DepthBits;
    request.iLayerType = PFD_MAIN_PLANE;
    // Every other field stays 0: channel bits and shifts are the driver's choice, and there
    // is no alpha, accumulation, stencil or auxiliary buffer, nor any layer mask.
    return request;
}

// The viewport must cover the client area, which the frame and caption make smaller than
// the outer size the window was asked for.
void ResizeToClientArea(int32_t width, int32_t height) {
    RECT client;
    if (GetClientRect(WindowHandle, &client)) {
        width = client.right - client.left;
        height = client.bottom - client.top;
    }
    ResizeScene(width, height);
}

} // namespace

bool RegisterWindowClass(HINSTANCE instance, const char* className, WNDPROC procedure) {
    WNDCLASSA windowClass = {};
    // CS_OWNDC: the device context taken once stays valid for the window's whole life.
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    return RegisterClassA(&windowClass) != 0;
}

const char* AttachRenderContext(int32_t bits) {
    DeviceContext = GetDC(WindowHandle);
    if (DeviceContext == nullptr)
        return "Unable to get a device context!";
    const PIXELFORMATDESCRIPTOR request = RequestPixelFormat(bits);
    const int format = ChoosePixelFormat(DeviceContext, &request);
    if (format == 0)
        return "Unable to find a suitable pixel format";
    if (!SetPixelFormat(DeviceContext, format, &request))
        return "Unable to set the pixel format";
    RenderContext = wglCreateContext(DeviceContext);
    if (RenderContext == nullptr)
        return "Unable to create an OpenGL rendering context";
    if (!wglMakeCurrent(DeviceContext, RenderContext))
        return "Unable to activate OpenGL rendering context";
    return nullptr;
}

bool CreateRenderWindow(int32_t width, int32_t height, bool fullScreen, int32_t bits) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterWindowClass(instance, WindowClassName, WatchWindowProc)) {
        ShowError("Failed to register the window class!");
        return false;
    }
    if (fullScreen && !SwitchToFullScreen(width, height, bits)) {
        ShowError("Unable to switch to fullscreen!");
        fullScreen = false;
    }

    WindowHandle = OpenWindow(width, height, fullScreen, instance);
    if (WindowHandle == nullptr)
        return FailStartup(fullScreen, "Unable to create window!");
    if (const char* failure = AttachRenderContext(bits))
        return FailStartup(fullScreen, failure);

    // No callback: the ticks arrive as WM_TIMER at the window procedure.
    SetTimer(WindowHandle, RateTimerId, RateTimerPeriodMs, nullptr);
    ShowWindow(WindowHandle, SW_SHOW);
    SetForegroundWindow(WindowHandle);
    SetFocus(WindowHandle);
    ResizeToClientArea(width, height);
    InitScene();
    return true;
}

void DestroyRenderWindow(bool fullScreen) {
    if (fullScreen) {
        ChangeDisplaySettingsA(nullptr, 0); // back to the mode stored for the display
        ShowCursor(TRUE);
    }
    // The unbinding runs even when no context was made: the platform reports what it makes
    // of it, and the user sees it. Only a context that was made is deleted, so a start-up
    // that failed before it tells no false failure of its release.
    if (!wglMakeCurrent(DeviceContext, nullptr))
        ShowError("Release of DC and RC failed!");
    if (RenderContext != nullptr && !wglDeleteContext(RenderContext))
        ShowError("Release of rendering context failed!");
    RenderContext = nullptr;
    if (DeviceContext != nullptr && ReleaseDC(WindowHandle, DeviceContext) == 0)
        ShowError("Release of device context failed!");
    DeviceContext = nullptr;
    // The timer ends with the window.
    if (WindowHandle != nullptr && !DestroyWindow(WindowHandle))
        ShowError("Unable to destroy window!");
    WindowHandle = nullptr;
    if (!UnregisterClassA(WindowClassName, GetModuleHandleA(nullptr)))
        ShowError("Unable to unregister window class!");
}
