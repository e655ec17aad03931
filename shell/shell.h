// The application shell: the rendering window and its GL context, the frame loop and the
// window procedure.
#pragma once

#include "platform/win32.h"
#include "shell/shell_state.h"

extern HWND WindowHandle;   // the program's one window
extern HDC DeviceContext;   // its own device context (CS_OWNDC), kept for the window's life
extern HGLRC RenderContext; // the GL context, current on the main thread while running

// Makes the window, its device context and GL context, starts the rate timer, shows the
// window and initialises the scene. On failure it has already torn down what it made and
// told the user, and returns false.
bool CreateRenderWindow(int32_t width, int32_t height, bool fullScreen, int32_t bits);
// A class of windows with their own device context (CS_OWNDC) and the arrow cursor.
bool RegisterWindowClass(HINSTANCE instance, const char* className, WNDPROC procedure);
// Takes WindowHandle's device context, gives it a double-buffered RGBA format of that many
// colour bits with a depth buffer, and makes a GL context current on it. Returns nullptr, or
// the words telling the user which step failed; what was made so far stays in the variables.
const char* AttachRenderContext(int32_t bits);
// Undoes CreateRenderWindow step by step, telling the user of each step that fails.
void DestroyRenderWindow(bool fullScreen);

// Runs the program: window, frame loop until Esc or close, teardown. Returns the exit
// status: 1 when the window could not be made, else 0.
int32_t RunMainLoop(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                    int showCommand);

// The smoothed clock: half of the previous value plus the raw milliseconds since the start.
int32_t SmoothElapsedMs(int32_t previous, uint32_t raw);

LRESULT CALLBACK WatchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
