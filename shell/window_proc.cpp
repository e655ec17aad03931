// The window procedure: key and mouse messages become the input state that the frame loop
// and the scene read, drags move the view directly, and the rate timer restarts the count.
#include <cstdint>

#include "scene/scene.h"
#include "shell/shell.h"
#include "shell/window_constants.h"

namespace {

// Pixels of mouse movement per unit of each drag: half a degree of turn per pixel, a tenth
// of a unit of zoom per pixel, a 24th of a unit of pan per pixel.
constexpr double RotatePixelsPerDegree = 2.0;
constexpr double ZoomPixelsPerUnit = 10.0;
constexpr double PanPixelsPerUnit = 24.0;

// Mouse positions are signed 16-bit client coordinates, so a captured drag that leaves the
// window to the left or top goes on with negative values.
int32_t ReadMouseX(LPARAM lParam) {
    return static_cast<int16_t>(LOWORD(lParam));
}

int32_t ReadMouseY(LPARAM lParam) {
    return static_cast<int16_t>(HIWORD(lParam));
}

// The difference is exact in double for any two 32-bit values, so it cannot overflow.
double MeasureMove(int32_t now, int32_t last) {
    return static_cast<double>(now) - static_cast<double>(last);
}

// Key codes above 255 would reach past the key table; Win32 never sends them, so they are
// dropped.
void SetKeyState(WPARAM key, uint8_t down) {
    if (key < sizeof(KeyDown))
        KeyDown[key] = down;
}

void TickRate(WPARAM timerId) {
    if (timerId != RateTimerId)
        return;
    SetWindowTextA(WindowHandle, WindowCaption);
    FrameCount = 0;
}

// A new drag replaces whatever was running and ends the automatic sway for good.
void StartDrag(int32_t mode, LPARAM lParam) {
    ReleaseCapture();
    SetCapture(WindowHandle);
    DragMode = mode;
    if (mode == DragZoom) {
        LastZoomY = ReadMouseY(lParam);
    } else {
        LastMouseX = ReadMouseX(lParam);
        LastMouseY = ReadMouseY(lParam);
    }
}

// Any button's release ends any drag, even one begun with another button.
void EndDrag() {
    ReleaseCapture();
    DragMode = DragNone;
}

// Another window took the capture (Alt-Tab, a system dialog): the button's release will go
// there, so the drag ends now instead of following plain mouse movement. The sway, once
// ended by a button, stays ended; before any button there is no drag to end.
void LoseCapture(HWND window, LPARAM newOwner) {
    if (reinterpret_cast<HWND>(newOwner) != window && DragMode != DragSway)
        DragMode = DragNone;
}

// Each quotient is added unrounded; only the stored result is rounded to float.
void UpdateDrag(LPARAM lParam) {
    const int32_t x = ReadMouseX(lParam);
    const int32_t y = ReadMouseY(lParam);
    if (DragMode == DragRotate) {
        TiltX = static_cast<float>(TiltX + MeasureMove(y, LastMouseY) / RotatePixelsPerDegree);
        SpinY = static_cast<float>(SpinY + MeasureMove(x, LastMouseX) / RotatePixelsPerDegree);
        LastMouseX = x;
        LastMouseY = y;
    } else if (DragMode == DragZoom) {
        // Dragging down moves the watch away.
        ViewZ = static_cast<float>(ViewZ - MeasureMove(y, LastZoomY) / ZoomPixelsPerUnit);
        LastZoomY = y;
    } else if (DragMode == DragPan) {
        // The watch follows the mouse; eye-space y grows upward, client y downward.
        ViewX = static_cast<float>(ViewX + MeasureMove(x, LastMouseX) / PanPixelsPerUnit);
        ViewY = static_cast<float>(ViewY - MeasureMove(y, LastMouseY) / PanPixelsPerUnit);
        LastMouseX = x;
        LastMouseY = y;
    }
}

} // namespace

LRESULT CALLBACK WatchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return 0;
    case WM_SIZE: ResizeScene(LOWORD(lParam), HIWORD(lParam)); return 0;
    // The window stays until the teardown after the frame loop.
    case WM_CLOSE: PostQuitMessage(0); return 0;
    case WM_KEYDOWN: SetKeyState(wParam, 1); return 0;
    case WM_KEYUP: SetKeyState(wParam, 0); return 0;
    case WM_TIMER: TickRate(wParam); return 0;
    case WM_MOUSEMOVE: UpdateDrag(lParam); return 0;
    case WM_LBUTTONDOWN: StartDrag(DragRotate, lParam); return 0;
    case WM_RBUTTONDOWN: StartDrag(DragZoom, lParam); return 0;
    case WM_MBUTTONDOWN: StartDrag(DragPan, lParam); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: EndDrag(); return 0;
    case WM_CAPTURECHANGED: LoseCapture(window, lParam); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
