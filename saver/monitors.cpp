// The full-screen saver's views: a watch on each monitor, centred on it and drawn with its
// aspect, rather than one watch standing on the seam between two monitors.
//
// One window over the virtual screen with a viewport per monitor, not a window per monitor:
// it keeps the one GL context and the shell's one WindowHandle and DeviceContext, a frame is
// swapped once whatever the number of monitors, and every key, click and move on any monitor
// reaches the one window procedure that ends the saver, with no activation passing between
// windows of our own to be mistaken for another program taking over.
#include "platform/opengl.h"
#include "saver/saver.h"
#include "scene/scene.h"
#include "shell/shell.h"

SaverView SaverViews[MaxSaverViews];
int32_t SaverViewCount = 0;

namespace {

// Where the window's client area stands: its top-left corner in the virtual screen, and its
// height, from which GL counts upwards.
struct ClientPlace {
    POINT corner;
    LONG height;
};

// Win32 gives a monitor's rectangle in the virtual screen, y downwards from the primary
// monitor's top; GL wants it in the client area, y upwards from the bottom.
BOOL CALLBACK AddMonitorView(HMONITOR, HDC, LPRECT monitor, LPARAM data) {
    if (SaverViewCount == MaxSaverViews)
        return FALSE;
    const ClientPlace& client = *reinterpret_cast<const ClientPlace*>(data);
    SaverView& view = SaverViews[SaverViewCount++];
    view.left = monitor->left - client.corner.x;
    view.bottom = client.height - (monitor->bottom - client.corner.y);
    view.width = monitor->right - monitor->left;
    view.height = monitor->bottom - monitor->top;
    return TRUE;
}

} // namespace

void PlaceSaverViews(SaverMode mode) {
    SaverViewCount = 0;
    if (mode != SaverMode::FullScreen)
        return;
    // The window was made at the virtual screen's corner, which is negative when a monitor
    // stands left of or above the primary one.
    RECT area = {};
    GetClientRect(WindowHandle, &area);
    ClientPlace client = {
        {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)}, area.bottom};
    EnumDisplayMonitors(nullptr, nullptr, AddMonitorView, reinterpret_cast<LPARAM>(&client));
}

void DrawSaverViews() {
    if (SaverViewCount == 0) {
        DrawScene();
        return;
    }
    // The scene clears the whole buffer each time it draws; the scissor keeps that clear
    // to the view being drawn, so the views drawn before it stay.
    glEnable(GL_SCISSOR_TEST);
    for (int32_t index = 0; index < SaverViewCount; ++index) {
        const SaverView& view = SaverViews[index];
        // The projection with this monitor's aspect; ResizeScene puts the viewport at the
        // client area's corner, so it is moved onto the monitor after.
        ResizeScene(view.width, view.height);
        glViewport(view.left, view.bottom, view.width, view.height);
        glScissor(view.left, view.bottom, view.width, view.height);
        DrawScene();
    }
}
