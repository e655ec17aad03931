// What the saver does for each request: a box for a command line it does not understand, a
// usage line for bad arguments on Linux, and otherwise its window with a GL context, the frame
// loop and the teardown.
#include <cstdio>
#include <string>

#include "saver/saver.h"
#include "scene/scene.h"
#include "shell/shell.h"
#include "shell/window_constants.h"

namespace {

constexpr const char* SaverClassName = "OrlenticSaver";
constexpr int32_t ColourBits = 32;

constexpr const char* UsageText = "Orlentic understands these command lines:\n"
                                  "/s\truns the screensaver\n"
                                  "/p HWND\tshows it in that window\n"
                                  "/c, /c:HWND or none\topens its settings";

void ShowError(const char* text) {
    MessageBoxA(nullptr, text, "Error", MB_OK | MB_ICONERROR);
}

// A box in a lent window would wait for an answer nobody is there to give: there the failure
// is one line of debug output.
void ReportStartupFailure(const SaverRequest& request, const char* text) {
    if (request.mode == SaverMode::FullScreen)
        ShowError(text);
    else
        OutputDebugStringA((std::string("Orlentic: ") + text).c_str());
}

// Its owner may take a lent window away at any moment, the start-up included: that ends the
// saver as it would later on. Only a display that is there can tell that a window is not.
bool HasLentWindowGone(const SaverRequest& request) {
    return request.mode == SaverMode::InWindow && GetDesktopWindow() != nullptr &&
           !IsWindow(request.window);
}

bool FailStartup(const SaverRequest& request, const char* text) {
    DestroySaverWindow();
    ReportStartupFailure(request, text);
    return false;
}

// The full-screen window covers the virtual screen, every monitor, whose corner may lie left
// of or above the primary monitor's; the display mode stays as it is, and each monitor gets
// a view of its own in it (saver/monitors.cpp says why one window). The other fills the
// client area of the window it is given.
HWND OpenSaverWindow(const SaverRequest& request, HINSTANCE instance) {
    if (request.mode == SaverMode::FullScreen) {
        const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
        const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
        const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
        const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
        return CreateWindowExA(WS_EX_TOPMOST, SaverClassName, WindowCaption, WS_POPUP | WS_VISIBLE,
                               left, top, width, height, nullptr, nullptr, instance, nullptr);
    }
    RECT area = {};
    if (!GetClientRect(request.window, &area))
        return nullptr;
    return CreateWindowExA(0, SaverClassName, WindowCaption, WS_CHILD | WS_VISIBLE, 0, 0,
                           area.right, area.bottom, request.window, nullptr, instance, nullptr);
}

void ResizeToClientArea() {
    RECT client = {};
    GetClientRect(WindowHandle, &client);
    ResizeScene(client.right, client.bottom);
}

} // namespace

bool CreateSaverWindow(const SaverRequest& request) {
    RunningMode = request.mode;
    MouseSeen = false;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterWindowClass(instance, SaverClassName, SaverWindowProc)) {
        ReportStartupFailure(request, "Failed to register the window class!");
        return false;
    }
    WindowHandle = OpenSaverWindow(request, instance);
    if (WindowHandle == nullptr)
        return FailStartup(request, "Unable to create window!");
    if (const char* failure = AttachRenderContext(ColourBits))
        return FailStartup(request, failure);
    if (request.mode == SaverMode::FullScreen) {
        ShowCursor(FALSE);
        // Keys reach the window with the focus, and losing activation ends the saver.
        SetForegroundWindow(WindowHandle);
        SetFocus(WindowHandle);
    }
    ResizeToClientArea();
    PlaceSaverViews(request.mode);
    InitScene();
    ApplySaverSettings(request.settings);
    return true;
}

// Quietly: the saver is ending because it was told to, and nobody is watching.
void DestroySaverWindow() {
    // WGL ignores the device context when unbinding, so this holds when the window is gone.
    wglMakeCurrent(DeviceContext, nullptr);
    if (RenderContext != nullptr)
        wglDeleteContext(RenderContext);
    RenderContext = nullptr;
    // A window inside another dies with it, before the saver sees WM_DESTROY.
    if (WindowHandle != nullptr && IsWindow(WindowHandle)) {
        ReleaseDC(WindowHandle, DeviceContext);
        DestroyWindow(WindowHandle);
    }
    DeviceContext = nullptr;
    WindowHandle = nullptr;
    UnregisterClassA(SaverClassName, GetModuleHandleA(nullptr));
}

int RunSaver(const SaverRequest& request) {
    switch (request.mode) {
    case SaverMode::Usage:
        MessageBoxA(nullptr, UsageText, WindowCaption, MB_OK | MB_ICONERROR);
        return 1;
    case SaverMode::BadArguments:
    case SaverMode::Help: return AnswerDisplayModeArguments(request);
    default: break;
    }
    if (!CreateSaverWindow(request))
        return HasLentWindowGone(request) ? 0 : 1;
    const int status = RunSaverLoop(request.settings.pauseMs, request.showRate);
    DestroySaverWindow();
    return status;
}
