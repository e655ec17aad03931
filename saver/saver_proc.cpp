// The saver's window procedure: the exit rules. The full-screen saver ends on the first sign
// of a user; inside a given window it leaves input to that window's owner and ends when the
// window goes away.
#include <cstdint>
#include <cstdlib>

#include "saver/saver.h"
#include "scene/scene.h"

SaverMode RunningMode = SaverMode::FullScreen;
bool MouseSeen = false;
POINT FirstMouse = {0, 0};

namespace {

// A mouse resting on a desk may still report a pixel or two of jitter; a hand on it moves it
// farther than this from where it was first seen.
constexpr LONG MouseSlackPixels = 4;

// Windows sends a mouse position as soon as the window appears under the pointer, moved or
// not: that first one is where the mouse rests.
bool HasMouseMovedAway(LPARAM lParam) {
    // Signed 16-bit client coordinates.
    const POINT now = {static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
    if (!MouseSeen) {
        MouseSeen = true;
        FirstMouse = now;
        return false;
    }
    return std::labs(now.x - FirstMouse.x) > MouseSlackPixels ||
           std::labs(now.y - FirstMouse.y) > MouseSlackPixels;
}

// A key (system keys too), a button, the mouse moved away, or another program taking over.
bool IsSignOfUser(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE)
        return HasMouseMovedAway(lParam);
    if (message == WM_ACTIVATEAPP)
        return wParam == FALSE;
    return true;
}

} // namespace

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: ResizeScene(LOWORD(lParam), HIWORD(lParam)); return 0;
    // Closed by the system, SIGTERM or SIGINT on Linux, or gone with the window it was in.
    case WM_CLOSE:
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_ACTIVATEAPP:
        if (RunningMode != SaverMode::FullScreen)
            break;
        if (IsSignOfUser(message, wParam, lParam))
            PostQuitMessage(0);
        return 0;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
