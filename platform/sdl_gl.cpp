// The device context, pixel format and WGL rendering context on SDL's GL calls. A window
// has exactly one GL configuration, chosen when SDL made it, and it is pixel format 1.
#ifdef _WIN32
#error "platform/ is the SDL stand-in for Win32; Windows builds use the real API."
#endif

#include <algorithm>

#include "platform/sdl_internal.h"

namespace {

const int OnlyPixelFormat = 1;

HWND FindDcWindow(HDC dc) {
    for (HWND window : Windows.Live) {
        if (&window->Dc == dc)
            return window;
    }
    return nullptr;
}

HGLRC FindLiveContext(HGLRC context) {
    auto found = std::find(Windows.Contexts.begin(), Windows.Contexts.end(), context);
    return found != Windows.Contexts.end() ? *found : nullptr;
}

// A window whose format is set and that SDL really made, so GL can draw into it.
HWND FindDrawableWindow(HDC dc) {
    HWND window = FindDcWindow(dc);
    if (window == nullptr || window->Dc.PixelFormat != OnlyPixelFormat || window->Window == nullptr)
        return nullptr;
    return window;
}

// WGL ignores the device context when unbinding; with nothing bound there is nothing to do.
BOOL ReleaseCurrentContext() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || SDL_GL_GetCurrentContext() == nullptr)
        return TRUE;
    if (SDL_GL_MakeCurrent(nullptr, nullptr) == 0)
        return TRUE;
    ReportSdlFailure("to unbind the rendering context");
    return FALSE;
}

} // namespace

// Every window's device context is its own (CS_OWNDC) and lives as long as the window.
HDC GetDC(HWND window) {
    HWND live = FindLiveWindow(window);
    return live != nullptr ? &live->Dc : nullptr;
}

int ReleaseDC(HWND window, HDC dc) {
    HWND owner = FindDcWindow(dc);
    return owner != nullptr && owner == window ? 1 : 0;
}

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    if (FindDcWindow(dc) == nullptr || request == nullptr)
        return 0;
    if (request->iPixelType != PFD_TYPE_RGBA || (request->dwFlags & needed) != needed)
        return 0;
    return OnlyPixelFormat;
}

// As in Win32, a window's pixel format is set once for its whole life.
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    HWND owner = FindDcWindow(dc);
    if (owner == nullptr || format != OnlyPixelFormat || owner->Dc.PixelFormat != 0)
        return FALSE;
    owner->Dc.PixelFormat = format;
    return TRUE;
}

BOOL SwapBuffers(HDC dc) {
    HWND owner = FindDrawableWindow(dc);
    if (owner == nullptr)
        return FALSE;
    SDL_GL_SwapWindow(owner->Window);
    return TRUE;
}

// SDL makes a new context current; WGL does not, so whatever was bound before is bound
// again and the caller's wglMakeCurrent decides. Both read the window.
HGLRC wglCreateContext(HDC dc) {
    HWND owner = FindDrawableWindow(dc);
    if (owner == nullptr)
        return nullptr;
    SDL_GLContext context = nullptr;
    RunWithWindowKept(owner, [owner, &context] {
        SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
        SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
        context = SDL_GL_CreateContext(owner->Window);
        if (context != nullptr)
            SDL_GL_MakeCurrent(previousWindow, previousContext);
        return context != nullptr;
    });
    if (context == nullptr) {
        ReportSdlFailure("the rendering context");
        return nullptr;
    }
    HGLRC handle = new HGLRC__{context};
    Windows.Contexts.push_back(handle);
    return handle;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
    if (context == nullptr)
        return ReleaseCurrentContext();
    HWND owner = FindDrawableWindow(dc);
    HGLRC live = FindLiveContext(context);
    if (owner == nullptr || live == nullptr)
        return FALSE;
    if (RunWithWindowKept(
            owner, [owner, live] { return SDL_GL_MakeCurrent(owner->Window, live->Context) == 0; }))
        return TRUE;
    ReportSdlFailure("to make the rendering context current");
    return FALSE;
}

// SDL unbinds a current context before deleting it, as WGL does.
BOOL wglDeleteContext(HGLRC context) {
    HGLRC live = FindLiveContext(context);
    if (live == nullptr)
        return FALSE;
    SDL_GL_DeleteContext(live->Context);
    Windows.Contexts.erase(std::find(Windows.Contexts.begin(), Windows.Contexts.end(), live));
    delete live;
    return TRUE;
}
