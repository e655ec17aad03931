// Window classes and windows on SDL, with the messages Win32 sends from inside its calls,
// plus the display mode and the message box.
#ifdef _WIN32
#error "platform/ is the SDL stand-in for Win32; Windows builds use the real API."
#endif

#include <algorithm>
#include <cstdio>

#include "platform/sdl_internal.h"

// The one cursor the program asks for; only its address is used.
struct HICON__ {
    int Unused;
};

WindowRegistry Windows;

namespace {

HICON__ ArrowCursor;

const int IdOk = 1;           // MessageBoxA's result for the OK button
const UINT IconMask = 0x00F0; // MB_ICON* values share these bits

// Win32 class names ignore letter case.
WindowClass* FindClass(LPCSTR name) {
    if (IsIntegerName(name))
        return nullptr;
    for (WindowClass& windowClass : Windows.Classes) {
        if (SDL_strcasecmp(windowClass.Name.c_str(), name) == 0)
            return &windowClass;
    }
    return nullptr;
}

bool HasWindowOfClass(const std::string& name) {
    return std::any_of(Windows.Live.begin(), Windows.Live.end(), [&name](HWND window) {
        return SDL_strcasecmp(window->ClassName.c_str(), name.c_str()) == 0;
    });
}

LPARAM PackSize(int width, int height) {
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(width)) |
                               (static_cast<DWORD>(static_cast<WORD>(height)) << 16));
}

// Win32 sends WM_SIZE whenever the client size changes, from inside the call that changed it.
void SendSizeIfChanged(HWND window) {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window->Window, &width, &height);
    if (width == window->ClientWidth && height == window->ClientHeight)
        return;
    window->ClientWidth = width;
    window->ClientHeight = height;
    SendToWindow(window, WM_SIZE, SIZE_RESTORED, PackSize(width, height));
}

// SDL on X11 picks the visual when it makes the window, so the GL format is fixed here,
// before SetPixelFormat asks for it: RGB 8/8/8, double buffered, a 16-bit depth buffer.
void SetGlAttributes() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
}

// A WS_POPUP window has no frame, and fills the screen in the mode ChangeDisplaySettingsA
// chose; any other window has a frame and can be resized, as WS_OVERLAPPEDWINDOW can.
SDL_Window* CreateSdlWindow(LPCSTR title, DWORD style, int x, int y, int width, int height) {
    SetGlAttributes();
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    bool fullScreen = (style & WS_POPUP) != 0 && Windows.HasFullScreenMode;
    if (fullScreen)
        flags |= SDL_WINDOW_FULLSCREEN;
    else if (style & WS_POPUP)
        flags |= SDL_WINDOW_BORDERLESS;
    else
        flags |= SDL_WINDOW_RESIZABLE;
    SDL_Window* window =
        SDL_CreateWindow(title != nullptr ? title : "", x, y, width, height, flags);
    if (window != nullptr && fullScreen)
        SDL_SetWindowDisplayMode(window, &Windows.FullScreenMode);
    return window;
}

// Win32 places and sizes the whole window, frame included; SDL the client area. Once the
// window manager has framed the shown window its borders are known, and the client area
// shrinks and moves by them so that the frame stands where, and is as large as, asked.
// Without a window manager there is no frame and nothing changes.
void FitFrame(HWND window) {
    if (!window->FramePending)
        return;
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window->Window, &top, &left, &bottom, &right) != 0)
        return;
    if (top == 0 && left == 0 && bottom == 0 && right == 0)
        return;
    window->FramePending = false;
    const RECT& outer = window->Outer;
    SDL_SetWindowSize(window->Window, std::max<int>(1, outer.right - outer.left - left - right),
                      std::max<int>(1, outer.bottom - outer.top - top - bottom));
    SDL_SetWindowPosition(window->Window, outer.left + left, outer.top + top);
}

bool FindDisplayMode(const DEVMODEA& request, SDL_DisplayMode* found) {
    int count = SDL_GetNumDisplayModes(0);
    for (int index = 0; index < count; ++index) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, index, &mode) != 0)
            continue;
        // SDL counts the 24 bits of a 32-bit pixel; Win32 counts all 32.
        DWORD bits = SDL_BYTESPERPIXEL(mode.format) * 8;
        if ((request.dmFields & DM_PELSWIDTH) && request.dmPelsWidth != DWORD(mode.w))
            continue;
        if ((request.dmFields & DM_PELSHEIGHT) && request.dmPelsHeight != DWORD(mode.h))
            continue;
        if ((request.dmFields & DM_BITSPERPEL) && request.dmBitsPerPel != bits &&
            request.dmBitsPerPel != SDL_BITSPERPIXEL(mode.format))
            continue;
        *found = mode;
        return true;
    }
    return false;
}

// Win32 returns to the stored mode at once; SDL does it when its window leaves full screen.
void RestoreDisplayMode() {
    Windows.HasFullScreenMode = false;
    for (HWND window : Windows.Live) {
        if (window->Window != nullptr &&
            (SDL_GetWindowFlags(window->Window) & SDL_WINDOW_FULLSCREEN) != 0)
            SDL_SetWindowFullscreen(window->Window, 0);
    }
}

} // namespace

void ResetWindows() {
    for (HWND window : Windows.Live) {
        if (window->Window != nullptr)
            SDL_DestroyWindow(window->Window);
        delete window;
    }
    for (HGLRC context : Windows.Contexts) {
        SDL_GL_DeleteContext(context->Context);
        delete context;
    }
    Windows = WindowRegistry{};
}

std::string SdlRefusal;

void ReportSdlFailure(const char* what) {
    SdlRefusal = std::string("SDL refused ") + what + ": " + SDL_GetError();
}

bool EnsureVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    // The close button asks the program (WM_CLOSE); SDL must not decide to quit by itself.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // SDL's own handlers would leave a signal waiting until the start-up is over.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    AnswerQuitSignals();
    // Only drivers that put a window on a screen: without a display SDL would fall back to
    // drawing offscreen, and the program would run unseen instead of saying it cannot start.
    // SDL_VIDEODRIVER in the environment still wins.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11,wayland", SDL_HINT_DEFAULT);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        ReportSdlFailure("the video system");
        return false;
    }
    // SDL shows the cursor when its video starts; a ShowCursor(FALSE) made before holds.
    ApplyCursorVisibility();
    return true;
}

HWND FindLiveWindow(HWND window) {
    if (window == nullptr)
        return nullptr;
    auto found = std::find(Windows.Live.begin(), Windows.Live.end(), window);
    return found != Windows.Live.end() ? *found : nullptr;
}

HWND FindOwnWindow(HWND window) {
    HWND live = FindLiveWindow(window);
    return live != nullptr && live->Window != nullptr && live->ForeignId == 0 ? live : nullptr;
}

HWND FindWindowBySdlId(Uint32 sdlId) {
    if (sdlId == 0)
        return nullptr;
    for (HWND window : Windows.Live) {
        if (window->SdlId == sdlId)
            return window;
    }
    return nullptr;
}

HWND AttachWindow(SDL_Window* sdlWindow, LPCSTR className) {
    const WindowClass* windowClass = FindClass(className);
    if (windowClass == nullptr)
        return nullptr;
    HWND window = new HWND__{};
    window->Window = sdlWindow;
    window->Procedure = windowClass->Procedure;
    window->ClassName = windowClass->Name;
    window->Dc.Window = window;
    if (sdlWindow != nullptr) {
        window->SdlId = SDL_GetWindowID(sdlWindow);
        SDL_GetWindowSize(sdlWindow, &window->ClientWidth, &window->ClientHeight);
    }
    Windows.Live.push_back(window);
    return window;
}

LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return window->Procedure(window, message, wParam, lParam);
}

WORD RegisterClassA(const WNDCLASSA* windowClass) {
    if (windowClass == nullptr || windowClass->lpfnWndProc == nullptr ||
        IsIntegerName(windowClass->lpszClassName) ||
        FindClass(windowClass->lpszClassName) != nullptr)
        return 0;
    Windows.Classes.push_back(WindowClass{windowClass->lpszClassName, windowClass->lpfnWndProc});
    return ++Windows.LastAtom;
}

// As in Win32, a class cannot go while a window of it is alive.
BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
    WindowClass* windowClass = FindClass(className);
    if (windowClass == nullptr || HasWindowOfClass(windowClass->Name))
        return FALSE;
    Windows.Classes.erase(Windows.Classes.begin() + (windowClass - Windows.Classes.data()));
    return TRUE;
}

// Win32 sends WM_CREATE and then WM_SIZE from inside CreateWindowEx; the shell resizes there.
// The window stays hidden until ShowWindow. A child of a window that is not ours draws
// straight into that X window, which fills it.
HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU, HINSTANCE, LPVOID) {
    if (FindClass(className) == nullptr || !EnsureVideo())
        return nullptr;
    bool lent = (style & WS_CHILD) != 0 && parent != nullptr && FindLiveWindow(parent) == nullptr;
    SDL_Window* sdlWindow =
        lent ? AdoptForeignWindow(parent) : CreateSdlWindow(windowName, style, x, y, width, height);
    if (sdlWindow == nullptr) {
        // On X11 this is also where a missing GL visual, the pixel format, is refused.
        ReportSdlFailure(lent ? "the window to draw in" : "the window and its pixel format");
        return nullptr;
    }
    HWND window = AttachWindow(sdlWindow, className);
    window->ForeignId = lent ? reinterpret_cast<uintptr_t>(parent) : 0;
    window->Outer = RECT{x, y, x + width, y + height};
    window->FramePending = (style & (WS_POPUP | WS_CHILD)) == 0;
    SendToWindow(window, WM_CREATE, 0, 0);
    if (FindLiveWindow(window) == nullptr)
        return nullptr; // the window procedure destroyed it
    SendToWindow(window, WM_SIZE, SIZE_RESTORED,
                 PackSize(window->ClientWidth, window->ClientHeight));
    return FindLiveWindow(window);
}

// WM_DESTROY reaches the procedure while the window still exists, as in Win32.
BOOL DestroyWindow(HWND window) {
    HWND live = FindLiveWindow(window);
    if (live == nullptr || live->Destroying)
        return FALSE;
    live->Destroying = true;
    SendToWindow(live, WM_DESTROY, 0, 0);
    ForgetWindowMessages(live);
    Windows.Live.erase(std::find(Windows.Live.begin(), Windows.Live.end(), live));
    if (live->ForeignId != 0)
        ReleaseForeignWindow(live);
    else if (live->Window != nullptr)
        SDL_DestroyWindow(live->Window);
    delete live;
    return TRUE;
}

// Returns whether the window was visible before, as Win32 does. The program only ever shows
// its window, so every command shows it. A lent window is its owner's to show.
BOOL ShowWindow(HWND window, int) {
    HWND live = FindLiveWindow(window);
    if (live != nullptr && live->ForeignId != 0)
        return TRUE;
    live = FindOwnWindow(window);
    if (live == nullptr)
        return FALSE;
    BOOL wasVisible = (SDL_GetWindowFlags(live->Window) & SDL_WINDOW_SHOWN) != 0;
    SDL_ShowWindow(live->Window);
    FitFrame(live);
    SendSizeIfChanged(live);
    return wasVisible;
}

BOOL SetForegroundWindow(HWND window) {
    HWND live = FindOwnWindow(window);
    if (live == nullptr)
        return FALSE;
    SDL_RaiseWindow(live->Window);
    return TRUE;
}

// Returns the window that had the keyboard focus before.
HWND SetFocus(HWND window) {
    SDL_Window* focus = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetKeyboardFocus() : nullptr;
    HWND previous = focus != nullptr ? FindWindowBySdlId(SDL_GetWindowID(focus)) : nullptr;
    HWND live = FindOwnWindow(window);
    if (live != nullptr)
        SDL_RaiseWindow(live->Window);
    return previous;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    HWND live = FindOwnWindow(window);
    if (live == nullptr)
        return FALSE;
    SDL_SetWindowTitle(live->Window, text != nullptr ? text : "");
    return TRUE;
}

// A minimised window has no client area in Win32. Another program's window is as large as
// the X server says.
BOOL GetClientRect(HWND window, LPRECT rect) {
    if (rect == nullptr)
        return FALSE;
    int width = 0;
    int height = 0;
    HWND live = FindLiveWindow(window);
    if (live == nullptr || live->Window == nullptr) {
        if (live != nullptr || !GetForeignClientSize(window, &width, &height))
            return FALSE;
    } else if (!live->Minimized) {
        SDL_GetWindowSize(live->Window, &width, &height);
    }
    *rect = RECT{0, 0, width, height};
    return TRUE;
}

BOOL IsWindow(HWND window) {
    return FindLiveWindow(window) != nullptr || IsForeignWindow(window);
}

// The rectangle around every display, as Win32's virtual screen.
int GetSystemMetrics(int index) {
    if (index < SM_XVIRTUALSCREEN || index > SM_CYVIRTUALSCREEN || !EnsureVideo())
        return 0;
    SDL_Rect all{};
    for (int display = 0; display < SDL_GetNumVideoDisplays(); ++display) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(display, &bounds) == 0)
            SDL_UnionRect(&all, &bounds, &all);
    }
    switch (index) {
    case SM_XVIRTUALSCREEN: return all.x;
    case SM_YVIRTUALSCREEN: return all.y;
    case SM_CXVIRTUALSCREEN: return all.w;
    default: return all.h;
    }
}

// Each display's rectangle in the same space as the virtual screen above. Only the form the
// saver uses, with no DC and no clip, is understood. The handle is the display's index plus
// one, never 0, and nothing reads through it.
BOOL EnumDisplayMonitors(HDC dc, LPCRECT clip, MONITORENUMPROC callback, LPARAM data) {
    if (dc != nullptr || clip != nullptr || callback == nullptr || !EnsureVideo())
        return FALSE;
    for (int display = 0; display < SDL_GetNumVideoDisplays(); ++display) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(display, &bounds) != 0)
            continue;
        RECT monitor{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
        const auto handle = reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(display) + 1);
        if (!callback(handle, nullptr, &monitor, data))
            break;
    }
    return TRUE;
}

// Only the system's arrow is asked for; SDL shows it in every window by default.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    return instance == nullptr && cursorName == IDC_ARROW ? &ArrowCursor : nullptr;
}

// A mode is only remembered here; the next WS_POPUP window takes the display into it.
LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (mode == nullptr) {
        RestoreDisplayMode();
        return DISP_CHANGE_SUCCESSFUL;
    }
    SDL_DisplayMode found;
    if (flags != CDS_FULLSCREEN || !EnsureVideo() || !FindDisplayMode(*mode, &found))
        return DISP_CHANGE_FAILED;
    Windows.FullScreenMode = found;
    Windows.HasFullScreenMode = true;
    return DISP_CHANGE_SUCCESSFUL;
}

namespace {

// One line, with SDL's reason for the failure it tells of, when SDL gave one.
void WriteErrorLine(const std::string& text) {
    if (SdlRefusal.empty())
        std::fprintf(stderr, "%s\n", text.c_str());
    else
        std::fprintf(stderr, "%s (%s)\n", text.c_str(), SdlRefusal.c_str());
    std::fflush(stderr);
    SdlRefusal.clear();
}

} // namespace

// Nobody reads a debugger's output on Linux; standard error is where a program's own remarks go.
void OutputDebugStringA(LPCSTR text) {
    WriteErrorLine(text != nullptr ? text : "");
}

// The box also goes to standard error, so that a run without a display says why it ended.
// It has one button, so its answer is always OK.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const char* shownText = text != nullptr ? text : "";
    const char* shownCaption = caption != nullptr ? caption : "Error"; // Win32's default
    WriteErrorLine(std::string(shownCaption) + ": " + shownText);
    Uint32 flags = (type & IconMask) == MB_ICONERROR ? SDL_MESSAGEBOX_ERROR : 0;
    HWND live = FindLiveWindow(owner);
    SDL_ShowSimpleMessageBox(flags, shownCaption, shownText,
                             live != nullptr ? live->Window : nullptr);
    return IdOk;
}
