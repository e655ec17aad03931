// Windows lent by other programs: the screensaver daemon gives the saver an X window to draw
// in, by its id. SDL draws into it as into a window of its own; an Xlib connection of ours
// tells whether it still exists, how large it is and when it goes away, which SDL's
// connection never hears of. The errors its going causes are expected and stay silent.
//
// The lender may destroy the window at any moment, the start-up included. SDL's GL set-up
// reads the window's attributes without looking at the error that a lost window gives, and
// follows a pointer out of what it read, so no check made beforehand can protect it: the
// window could go between the check and the read. Instead, each step that has SDL or the GL
// driver read the window runs with the X server grabbed, after a check that the window is
// still there: while the grab holds, no other client can destroy it. The grab is taken on
// SDL's own connection, which the GL driver shares, because a grab makes the server ignore
// every other connection: taken on ours, it would leave SDL waiting for a reply forever.
#ifdef _WIN32
#error "platform/ is the SDL stand-in for Win32; Windows builds use the real API."
#endif

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <vector>

#include "platform/sdl_internal.h"

ForeignWindowWatch Foreign;

namespace {

// X resource ids are 29 bits wide: a larger value (the address of a record of ours) is none.
const uintptr_t LargestXId = 0x1FFFFFFF;

// Xlib has one error handler for the whole process; errors that are not ours to silence go
// on to the one that was there before (SDL's, which ends the program).
XErrorHandler PassOnError = nullptr;

// A window that goes while we draw makes the requests on it fail: its own (BadWindow), the
// GL driver's drawing into it (BadDrawable), and GLX's.
int IgnoreLostWindowError(Display* display, XErrorEvent* error) {
    bool lostWindow = error->error_code == BadWindow || error->error_code == BadDrawable ||
                      error->request_code == Foreign.GlxRequestCode;
    if (lostWindow)
        return 0;
    return PassOnError != nullptr ? PassOnError(display, error) : 0;
}

Display* OpenConnection() {
    if (Foreign.Connection != nullptr)
        return Foreign.Connection;
    Foreign.Connection = XOpenDisplay(nullptr);
    if (Foreign.Connection == nullptr)
        return nullptr;
    int event = 0, error = 0;
    if (!XQueryExtension(Foreign.Connection, "GLX", &Foreign.GlxRequestCode, &event, &error))
        Foreign.GlxRequestCode = -1;
    if (PassOnError == nullptr)
        PassOnError = XSetErrorHandler(IgnoreLostWindowError);
    return Foreign.Connection;
}

Window XId(HWND window) {
    return static_cast<Window>(reinterpret_cast<uintptr_t>(window));
}

bool ReadAttributes(HWND window, XWindowAttributes* attributes) {
    uintptr_t id = reinterpret_cast<uintptr_t>(window);
    if (id == 0 || id > LargestXId)
        return false;
    Display* display = OpenConnection();
    return display != nullptr && XGetWindowAttributes(display, XId(window), attributes) != 0;
}

HWND FindAdoptedWindow(Window id) {
    for (HWND window : Windows.Live) {
        if (window->ForeignId == id)
            return window;
    }
    return nullptr;
}

// Ends watching; the window may be gone already, which the error handler keeps quiet.
void StopWatching(Window id) {
    XSelectInput(Foreign.Connection, id, NoEventMask);
    XSync(Foreign.Connection, False);
}

} // namespace

bool RunWithWindowKept(HWND window, const std::function<bool()>& step) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window->ForeignId == 0 || !SDL_GetWindowWMInfo(window->Window, &info) ||
        info.subsystem != SDL_SYSWM_X11)
        return step();
    Display* display = info.info.x11.display;
    XGrabServer(display);
    // On SDL's connection, behind the grab: the answer holds until the grab ends.
    XWindowAttributes attributes;
    const bool kept = XGetWindowAttributes(display, window->ForeignId, &attributes) != 0;
    const bool done = kept && step();
    XUngrabServer(display);
    XFlush(display);
    if (!kept)
        SDL_SetError("the X window 0x%lx went away", window->ForeignId);
    return done;
}

// The GL driver learns the size of the window it draws into from XGetGeometry before each
// frame, and uses the sizes without looking at whether the call succeeded: once the window has
// gone, it would clear and fill a frame of whatever size its memory happened to hold (seen
// here: seconds spent clearing gigabytes). Xlib's call, wrapped for the whole process, answers
// a window that is not there with the smallest size, 1 by 1, and still reports the failure.
extern "C" Status XGetGeometry(Display* display, Drawable drawable, Window* root, int* x, int* y,
                               unsigned* width, unsigned* height, unsigned* border,
                               unsigned* depth) {
    using Call = Status (*)(Display*, Drawable, Window*, int*, int*, unsigned*, unsigned*,
                            unsigned*, unsigned*);
    static const Call askXlib = reinterpret_cast<Call>(dlsym(RTLD_NEXT, "XGetGeometry"));
    const Status status = askXlib(display, drawable, root, x, y, width, height, border, depth);
    if (status == 0) {
        *root = None;
        *x = *y = 0;
        *width = *height = 1;
        *border = *depth = 0;
    }
    return status;
}

void ResetForeignWatch() {
    if (Foreign.Connection != nullptr)
        XCloseDisplay(Foreign.Connection);
    Foreign = ForeignWindowWatch{};
}

bool IsForeignWindow(HWND window) {
    XWindowAttributes attributes;
    return ReadAttributes(window, &attributes);
}

bool GetForeignClientSize(HWND window, int* width, int* height) {
    XWindowAttributes attributes;
    if (!ReadAttributes(window, &attributes))
        return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

HWND GetDesktopWindow() {
    Display* display = OpenConnection();
    if (display == nullptr)
        return nullptr;
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(DefaultRootWindow(display)));
}

// Its destruction is listened for before the window is looked at again, so that it cannot go
// unnoticed in between. SDL makes the GL context with the window's own visual, which the
// lender chose (xscreensaver picks one with a depth buffer for a mode marked GL:).
SDL_Window* AdoptForeignWindow(HWND parent) {
    if (!IsForeignWindow(parent)) {
        SDL_SetError("no X window 0x%lx to draw in", static_cast<unsigned long>(XId(parent)));
        return nullptr;
    }
    XSelectInput(Foreign.Connection, XId(parent), StructureNotifyMask);
    if (!IsForeignWindow(parent)) {
        SDL_SetError("the X window 0x%lx went away", static_cast<unsigned long>(XId(parent)));
        return nullptr;
    }
    SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
    SDL_Window* window = SDL_CreateWindowFrom(reinterpret_cast<void*>(XId(parent)));
    if (window == nullptr)
        StopWatching(XId(parent));
    Foreign.Lent = Foreign.Lent || window != nullptr;
    return window;
}

// SDL's connection is synchronised before the window record goes, so that the errors its
// last requests cause come while the handler above still answers them.
void ReleaseForeignWindow(HWND window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    bool known = SDL_GetWindowWMInfo(window->Window, &info) && info.subsystem == SDL_SYSWM_X11;
    SDL_DestroyWindow(window->Window);
    if (known)
        XSync(info.info.x11.display, False);
    StopWatching(window->ForeignId);
}

void EndGoneForeignWindows() {
    if (Foreign.Connection == nullptr)
        return;
    std::vector<Window> gone;
    while (XPending(Foreign.Connection) > 0) {
        XEvent event;
        XNextEvent(Foreign.Connection, &event);
        if (event.type == DestroyNotify)
            gone.push_back(event.xdestroywindow.window);
    }
    for (Window id : gone) {
        if (HWND window = FindAdoptedWindow(id))
            DestroyWindow(window);
    }
}
