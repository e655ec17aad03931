// A recording stand-in for platform/, linked instead of it by the tests: every call is
// logged by name, results can be scripted to fail, message boxes are kept as text, and the
// clock, the local time and the resources are what the test says.
//
// It behaves as Win32 does where the shell relies on it: CreateWindowExA sends WM_CREATE
// and a WM_SIZE of the client size to the class's window procedure before it returns,
// DestroyWindow sends WM_DESTROY, DispatchMessageA calls the window procedure, and
// PeekMessageA hands out one queued message per call, WM_QUIT once the queue is empty after
// PostQuitMessage; past 100000 calls since Reset it throws, so a runaway loop fails the test
// instead of hanging it. Releasing what does not exist fails as Win32 reports it (for example
// wglDeleteContext(NULL), or UnregisterClassA of a class never registered).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace fake {

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// Back to a clean slate: empty log and queue, no boxes, every call succeeding, the real
// embedded resources, tick count 0, local time 12:00:00.
void Reset();

// Names of the platform calls made since Reset, in order ("GetTickCount" is not logged:
// the frame loop reads it every frame).
std::vector<std::string>& CallLog();
std::vector<MessageBoxRecord>& MessageBoxes();

// The named call fails from now on, as Win32 reports failure for it (NULL, 0 or FALSE;
// -1 for ChangeDisplaySettingsA).
void FailCall(const std::string& name);

// Clock and local time.
void SetTickCount(DWORD ms);
void SetLocalTime(WORD hour, WORD minute, WORD second);

// Resources: Add replaces or adds one (matched without regard to case), Remove hides one,
// the embedded table included.
void AddResource(const std::string& name, const std::string& type,
                 const std::vector<uint8_t>& bytes);
void RemoveResource(const std::string& name);

// The handles the fake gives out: GetModuleHandleA(NULL), CreateWindowExA, GetDC and
// wglCreateContext. All are non-null and fixed. GetClientRect and the WM_SIZE sent on
// creation give 792 by 573, an 800 by 600 window's client area with caption and frame.
HINSTANCE Instance();
HWND Window();
HDC Dc();
HGLRC Context();

// Queues a message for the window (hwnd is the fake window) at the back of the queue.
void PostMessageToWindow(UINT message, WPARAM wParam, LPARAM lParam);

// Runs after every SwapBuffers with the number of swaps since Reset (1 for the first), so
// a test can post messages between frames.
void SetSwapHook(std::function<void(int swapCount)> hook);

// What DefWindowProcA returns.
constexpr LRESULT DefWindowProcResult = 0xDEF;

// The arguments of the last call of each kind, as the fake received them.
struct CreateWindowRecord {
    DWORD exStyle;
    std::string className;
    std::string windowName;
    DWORD style;
    int x, y, width, height;
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
    LPVOID param;
};
struct TimerRecord {
    HWND window;
    UINT_PTR id;
    UINT elapseMs;
    TIMERPROC callback;
};
struct Records {
    WNDCLASSA windowClass;               // the last record given to RegisterClassA
    std::string className;               // its class name, copied
    std::string unregisteredClass;       // the class name given to UnregisterClassA
    HINSTANCE unregisterInstance;        // and its instance
    DEVMODEA displayMode;                // the last mode given to ChangeDisplaySettingsA
    std::vector<bool> displayModeIsNull; // per ChangeDisplaySettingsA call: was mode NULL
    std::vector<DWORD> displayFlags;     // per ChangeDisplaySettingsA call: its flags
    CreateWindowRecord window;
    PIXELFORMATDESCRIPTOR chosenFormat; // the request given to ChoosePixelFormat
    PIXELFORMATDESCRIPTOR setFormat;    // the request given to SetPixelFormat
    int setFormatIndex;                 // the format index given to SetPixelFormat
    std::vector<BOOL> showCursor;       // per ShowCursor call: its argument
    TimerRecord timer;
    std::vector<int> showWindow;            // per ShowWindow call: its show command
    std::vector<std::string> captions;      // per SetWindowTextA call: the text
    std::vector<HDC> makeCurrentDcs;        // per wglMakeCurrent call: the device context
    std::vector<HGLRC> makeCurrentContexts; // per wglMakeCurrent call: the context
    std::vector<HGLRC> deletedContexts;     // per wglDeleteContext call: the context
    std::vector<HDC> swappedDcs;            // per SwapBuffers call: the device context
};
Records& Recorded();

// The window that has the mouse capture, or NULL.
HWND CapturedWindow();

} // namespace fake
