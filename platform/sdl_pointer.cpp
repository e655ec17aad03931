// The mouse capture and the cursor. Win32 tells a window that loses the capture with
// WM_CAPTURECHANGED, from inside the call that took it away.
#ifdef _WIN32
#error "platform/ is the SDL stand-in for Win32; Windows builds use the real API."
#endif

#include "platform/sdl_internal.h"

PointerState Pointer;

namespace {

// The window that lost the capture hears who has it now (NULL: nobody).
void TellCaptureLost(HWND lost, HWND now) {
    if (lost != nullptr && lost != now && FindLiveWindow(lost) != nullptr)
        SendToWindow(lost, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(now));
}

} // namespace

void ResetPointer() {
    DropCapture();
    Pointer = PointerState{};
    ApplyCursorVisibility();
}

void DropCapture() {
    HWND live = FindLiveWindow(Pointer.CaptureWindow);
    if (live != nullptr && live->Window != nullptr)
        SDL_CaptureMouse(SDL_FALSE);
    Pointer.CaptureWindow = nullptr;
}

void ApplyCursorVisibility() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(Pointer.CursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

// SDL keeps reporting the mouse to a captured window when it leaves, with coordinates
// outside the client area, as Win32's capture does.
HWND SetCapture(HWND window) {
    HWND previous = Pointer.CaptureWindow;
    HWND live = FindLiveWindow(window);
    if (live == nullptr)
        return previous;
    Pointer.CaptureWindow = live;
    if (live->Window != nullptr)
        SDL_CaptureMouse(SDL_TRUE);
    TellCaptureLost(previous, live);
    return previous;
}

BOOL ReleaseCapture() {
    HWND previous = Pointer.CaptureWindow;
    DropCapture();
    TellCaptureLost(previous, nullptr);
    return TRUE;
}

int ShowCursor(BOOL show) {
    bool wasShown = Pointer.CursorCount >= 0;
    Pointer.CursorCount += show ? 1 : -1;
    if (wasShown != (Pointer.CursorCount >= 0))
        ApplyCursorVisibility();
    return Pointer.CursorCount;
}
