// The screensaver: the watch swaying in a window the system names (Windows' /p, a window of
// xscreensaver) or one that covers every monitor (/s), at a calm frame rate, ending on the
// first sign of the user or when its window goes away.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"
#include "saver/settings.h"

enum class SaverMode {
    FullScreen,   // /s: a top-most window over the virtual screen, ended by any input
    InWindow,     // /p HWND, --root, --window-id: a child filling a given window, no input
    Settings,     // /c, /c:HWND or nothing: the settings dialog (EditSettings)
    Usage,        // any other Windows command line: a box naming what is understood
    BadArguments, // any other Linux command line: why, and the usage, on standard error
    Help,         // --help on Linux: the usage and the options, on standard output
};

struct SaverRequest {
    SaverMode mode = SaverMode::Usage;
    HWND window = nullptr;  // InWindow: the window drawn in; Settings: the dialog's owner
    SaverSettings settings; // the parts shown and the pause after each frame
    bool showRate = false;  // print the frames drawn each second on standard error
    std::string why;        // BadArguments: what was wrong, in one line
};

// Windows' screensaver command line: case-insensitive, '-' for '/', a decimal window handle
// after a space or a colon.
SaverRequest ReadScreensaverCommandLine(const char* commandLine);
// xscreensaver's display-mode arguments, joined by spaces; rootWindow is the value of
// XSCREENSAVER_WINDOW, or nullptr when it is not set.
SaverRequest ReadDisplayModeArguments(const char* commandLine, const char* rootWindow);
// Help and BadArguments: prints what they ask for; returns the exit status, 0 and 2.
int AnswerDisplayModeArguments(const SaverRequest& request);

// Does what the request asks, but for Settings; returns the exit status.
int RunSaver(const SaverRequest& request);
// Windows' start (stored_settings.cpp): /c opens the settings dialog, the rest run with the
// settings stored for the user.
int RunScreensaver(const char* commandLine);

// The window of the full-screen and in-window modes; lives in the shell's WindowHandle.
bool CreateSaverWindow(const SaverRequest& request);
void DestroySaverWindow();
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Draws frames until the window procedure posts WM_QUIT; returns its exit code.
int RunSaverLoop(DWORD pauseMs, bool showRate);

// One monitor's part of the full-screen window, where GL places it: pixels from the client
// area's bottom-left corner.
struct SaverView {
    int32_t left, bottom, width, height;
};
constexpr int32_t MaxSaverViews = 16; // monitors beyond this many are left dark

// Full screen: one view per monitor, from where the window stands over the virtual screen.
// Any other mode: none, and the one view is the client area, as WM_SIZE sets it.
void PlaceSaverViews(SaverMode mode);
// The scene once into each view, all at the same moment of the sway.
void DrawSaverViews();

extern SaverMode RunningMode; // what the window procedure is serving
extern bool MouseSeen;        // true once the full-screen window has had a mouse position
extern POINT FirstMouse;      // client pixels: that first position

extern SaverView SaverViews[MaxSaverViews]; // filled once at the start, never per frame
extern int32_t SaverViewCount;              // how many of SaverViews are in use
