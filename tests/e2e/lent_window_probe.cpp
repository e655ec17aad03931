// A stand-in for the display mode on the Win32 subset alone: draws the watch's background into
// the window it is lent (--window-id ID, the daemon's, or the root) every 30 ms and ends with
// status 0 on WM_CLOSE (SIGTERM) or WM_DESTROY (the window gone).
#include <GL/gl.h>
#include <cstdlib>
#include <cstring>

#include "platform/win32.h"

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE || message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const char* id = std::strstr(commandLine, "--window-id ");
    const char* lent = id != nullptr ? id + 12 : std::getenv("XSCREENSAVER_WINDOW");
    HWND parent = lent != nullptr ? reinterpret_cast<HWND>(std::strtoul(lent, nullptr, 0))
                                  : GetDesktopWindow();
    WNDCLASSA windowClass{0, ProbeProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "P"};
    RECT size{};
    if (!RegisterClassA(&windowClass) || !GetClientRect(parent, &size))
        return 1;
    HWND window = CreateWindowExA(0, "P", "", WS_CHILD | WS_VISIBLE, 0, 0, size.right, size.bottom,
                                  parent, nullptr, nullptr, nullptr);
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR request{};
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    HGLRC context = nullptr;
    if (!SetPixelFormat(dc, ChoosePixelFormat(dc, &request), &request) ||
        (context = wglCreateContext(dc)) == nullptr || !wglMakeCurrent(dc, context))
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
    return IsWindow(window) && (!ReleaseDC(window, dc) || !DestroyWindow(window)) ? 1 : 0;
}
