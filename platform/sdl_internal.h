// Inside the SDL-backed Win32 subset: what the handles stand for, and the few procedures
// that the window, GL and message files share. Only platform/ and its tests include this.
#pragma once

#ifdef _WIN32
#error "platform/ is the SDL stand-in for Win32; Windows builds use the real API."
#endif

#include <SDL.h>
#include <deque>
#include <functional>
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
    WPARAM HeldButtons;      // MK_ flags of the mouse buttons down, as the events told them
    bool Destroying;         // WM_DESTROY is being sent; a second DestroyWindow must not free it
    unsigned long ForeignId; // the X window another program lent us to draw in; 0: our own
};

struct HGLRC__ {
    SDL_GLContext Context;
};

// The platform's state, one record per concern, each with a reset that puts it back as at
// start-up (the tests call them so that no test sees another's leftovers).

struct WindowClass {
    std::string Name;
    WNDPROC Procedure;
};

// Windows and classes, with the GL contexts made for them and the display mode asked for.
struct WindowRegistry {
    std::vector<WindowClass> Classes;
    WORD LastAtom = 0xBFFF; // Win32 numbers registered classes from 0xC000 up
    std::vector<HWND> Live; // windows alive, oldest first; each record is owned here
    std::vector<HGLRC> Contexts;
    bool HasFullScreenMode = false;   // ChangeDisplaySettingsA accepted a mode for the next
    SDL_DisplayMode FullScreenMode{}; // WS_POPUP window
};
extern WindowRegistry Windows;
// Frees every window record and context without sending messages, and forgets the classes.
void ResetWindows();

struct Timer {
    HWND Window;
    UINT_PTR Id;
    DWORD PeriodMs;
    DWORD LastTick; // when the period last started: at SetTimer or at the last WM_TIMER
};

// The message queue and the timers.
struct MessageQueue {
    std::deque<MSG> Waiting; // posted and input messages, oldest first
    std::vector<Timer> Timers;
    bool QuitPosted = false; // PostQuitMessage was called and WM_QUIT not yet taken
    int QuitCode = 0;
};
extern MessageQueue Queue;
void ResetMessageQueue();
// Takes over SIGTERM and SIGINT from SDL: they end a program that is still starting at once,
// and reach one that takes messages as SDL's quit.
void AnswerQuitSignals();

// The mouse capture and Win32's cursor display counter (the cursor shows while it is 0 or
// more; a mouse is present, so it starts at 0).
struct PointerState {
    HWND CaptureWindow = nullptr;
    int CursorCount = 0;
};
extern PointerState Pointer;
void ResetPointer();
// Ends the capture without telling its window, for callers that tell it themselves.
void DropCapture();
// Shows or hides SDL's cursor as the counter says, once SDL's video runs.
void ApplyCursorVisibility();

// Windows of other programs, named by their X window id, on an Xlib connection of our own
// (SDL's connection never hears of their going). Opened on first need, never by the viewer.
struct _XDisplay;
struct ForeignWindowWatch {
    _XDisplay* Connection = nullptr;
    // The GLX extension's major opcode: its requests fail when their window is lost.
    int GlxRequestCode = -1;
    bool Lent = false; // a lent window was drawn into: the program changed nothing of the display
};
extern ForeignWindowWatch Foreign;
// Closes our connection; Xlib's error handler stays as it is.
void ResetForeignWatch();

// True for the id of an X window that exists and is not one of ours.
bool IsForeignWindow(HWND window);
bool GetForeignClientSize(HWND window, int* width, int* height);
// An SDL window drawing straight into the X window parent (null, SDL's error set, when it is
// gone); its going is watched from then on.
SDL_Window* AdoptForeignWindow(HWND parent);
// Lets go of a lent window's SDL window, leaving the X window as it is.
void ReleaseForeignWindow(HWND window);
// Destroys, with WM_DESTROY, the records of every lent window that has gone away.
void EndGoneForeignWindows();
// Runs step, a call that has SDL or the GL driver read window, and returns what it gives. For
// a lent window the X server is held grabbed meanwhile, once the window is known to be still
// there, and released before this returns; false, with SDL's error set, when it has gone.
bool RunWithWindowKept(HWND window, const std::function<bool()>& step);

// Keeps why SDL refused what, for the line on standard error that tells of the failure (a
// message box's, or a debug string's).
void ReportSdlFailure(const char* what);
extern std::string SdlRefusal; // "SDL refused what: why", until a line on standard error tells it

HWND FindLiveWindow(HWND window);
// A live window that SDL made for us, not one lent by another program.
HWND FindOwnWindow(HWND window);
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

// Drops the timers and the queued messages of a window being destroyed, and its capture.
void ForgetWindowMessages(HWND window);

// Starts SDL's video subsystem the first time a call needs it; false when there is no
// display to talk to.
bool EnsureVideo();

// True when name is a small integer (MAKEINTRESOURCE) or NULL rather than a string.
inline bool IsIntegerName(LPCSTR name) {
    return IS_INTRESOURCE(name);
}
