// Inside the SDL-backed Win32 subset: what the handles stand for, and the few procedures
// that the window, GL and message files share. Only platform/ and its tests include this.
#pragma once

#ifdef _WIN32
#error "platform/ is the SDL stand-in for Win32; Windows builds use the real API."
#endif

#include <SDL.h>
#include <string>
#include <vector>

#include "platform/win32.h"

// A window's own device context (every window behaves as CS_OWNDC): it lives and dies with
// the window.
struct HDC__ {
    HWND Window;
    int PixelFormat; // 0 until SetPixelFormat, then 1, the only format there is
};

struct HWND__ {
    SDL_Window* Window; // null only for records that tests make without a display
    Uint32 SdlId;       // the windowID that SDL events carry
    WNDPROC Procedure;
    std::string ClassName;
    HDC__ Dc;
    RECT Outer;        // the frame's place and size as CreateWindowExA was asked for them
    bool FramePending; // the client area still has to shrink by the frame, once it is known
    int ClientWidth, ClientHeight; // client size as last told to the procedure by WM_SIZE
    bool Minimized;
    WPARAM HeldButtons; // MK_ flags of the mouse buttons down, as the events told them
    bool Destroying;    // WM_DESTROY is being sent; a second DestroyWindow must not free it
};

struct HGLRC__ {
    SDL_GLContext Context;
};

// Windows alive, oldest first; each record is owned here and freed by DestroyWindow.
extern std::vector<HWND> LiveWindows;

HWND FindLiveWindow(HWND window);
HWND FindWindowBySdlId(Uint32 sdlId);

// Makes the record for an SDL window of a registered class (NULL for an unknown class).
// CreateWindowExA uses it; tests use it for windows made on SDL's dummy driver.
HWND AttachWindow(SDL_Window* sdlWindow, LPCSTR className);

// Calls the window procedure directly, as Win32's SendMessage does on the window's thread.
LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Turns one SDL event for window into the one Win32 message it stands for; false when the
// program gets no message for it. Keeps window's client size and held buttons up to date.
bool TranslateEvent(const SDL_Event& event, HWND window, MSG* message);

// Takes the first timer whose period has passed at tick now as a WM_TIMER message and
// restarts its period from now, so a late timer yields one message, not a backlog.
bool TakeDueTimer(DWORD now, MSG* message);

// Drops the timers and the queued messages of a window being destroyed.
void ForgetWindowMessages(HWND window);

// Starts SDL's video subsystem the first time a call needs it; false when there is no
// display to talk to.
bool EnsureVideo();

// True when name is a small integer (MAKEINTRESOURCE) or NULL rather than a string.
inline bool IsIntegerName(LPCSTR name) {
    return IS_INTRESOURCE(name);
}
