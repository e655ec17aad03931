// A stand-in for the display mode, on the Win32 subset only: takes the window the daemon lends
// (--root, or --window-id ID), clears it to the watch's background every 30 ms and ends with
// status 0 on WM_CLOSE (SIGTERM) or WM_DESTROY (the window gone). Input reaching it is a fault
// and goes to standard error.
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32.h"

namespace {

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE || message == WM_DESTROY)
        PostQuitMessage(0);
    else if ((message >= WM_KEYDOWN && message <= WM_SYSKEYUP) ||
             (message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP))
        std::fprintf(stderr, "input 0x%x reached the lent window\n", message);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND ParentFrom(const char* commandLine) {
    const char* id = std::strstr(commandLine, "--window-id ");
    if (id != nullptr)
        return reinterpret_cast<HWND>(std::strtoul(id + 12, nullptr, 0));
    const char* lent = std::getenv("XSCREENSAVER_WINDOW");
    return lent != nullptr ? reinterpret_cast<HWND>(std::strtoul(lent, nullptr, 0))
                           : GetDesktopWindow();
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ProbeProc;
    windowClass.lpszClassName = "Probe";
    HWND parent = ParentFrom(commandLine);
    RECT size{};
    if (!RegisterClassA(&windowClass) || !GetClientRect(parent, &size))
        return 1;
    HWND window = CreateWindowExA(0, "Probe", "", WS_CHILD | WS_VISIBLE, 0, 0, size.right,
                                  size.bottom, parent, nullptr, instance, nullptr);
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR request{};
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    if (dc == nullptr || !SetPixelFormat(dc, ChoosePixelFormat(dc, &request), &request))
        return 1;
    HGLRC context = wglCreateContext(dc);
    if (!wglMakeCurrent(dc, context))
        return 1;
    for (MSG message{}; message.message != WM_QUIT; Sleep(30)) {
        while (message.message != WM_QUIT && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        glClearColor(0.2f, 0.2f, 0.4f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        SwapBuffers(dc);
    }
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    if (IsWindow(window) && (!ReleaseDC(window, dc) || !DestroyWindow(window)))
        return 1;
    return 0;
}
