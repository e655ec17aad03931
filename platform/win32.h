// The Win32 subset the program uses. The subset grows only when the program needs one more
// call; a test that needs anything else declares it itself.
//
// The contract, as the shell and the scene rely on it:
// - Start-up and teardown (shell): RegisterClassA / UnregisterClassA, CreateWindowExA (sends
//   WM_CREATE and WM_SIZE to the procedure before it returns) / DestroyWindow (sends
//   WM_DESTROY), GetDC / ReleaseDC, ChoosePixelFormat, SetPixelFormat, wglCreateContext,
//   wglMakeCurrent, wglDeleteContext, SetTimer, ShowWindow, SetForegroundWindow, SetFocus,
//   GetClientRect, LoadCursorA, ShowCursor, ChangeDisplaySettingsA, MessageBoxA.
// - Frame loop (shell): PeekMessageA hands out one message per call, input first, then
//   WM_QUIT once PostQuitMessage was called, then WM_TIMER only when nothing else waits;
//   TranslateMessage, DispatchMessageA, SwapBuffers.
// - Window procedure (shell): receives WM_CREATE, WM_SIZE (client size in lParam, 0 by 0 when
//   minimised), WM_CLOSE, WM_KEYDOWN / WM_KEYUP (virtual keys), WM_TIMER, WM_MOUSEMOVE and
//   the button messages (signed 16-bit client coordinates in lParam), and WM_CAPTURECHANGED
//   (lParam the window that now has the capture, NULL when nobody has it) whenever the
//   capture leaves the window, focus loss included; calls PostQuitMessage, SetCapture,
//   ReleaseCapture, SetWindowTextA and DefWindowProcA.
// - Screensaver (saver): the calls above, plus GetSystemMetrics (the virtual screen),
//   EnumDisplayMonitors (with no DC and no clip: each monitor's rectangle in the virtual
//   screen, whose corner may lie left of or above the primary's origin), GetDesktopWindow,
//   IsWindow, OutputDebugStringA (where no box may show), and CreateWindowExA with WS_CHILD
//   into a parent window that is not the program's own (the preview's, or on Linux an X
//   window: the parent's HWND is its X window id). On Linux such a child is drawn straight
//   into that parent, no window of its own is made, no input reaches it, and it gets
//   WM_DESTROY when the parent goes away. SIGTERM and SIGINT arrive as WM_CLOSE to the
//   oldest window once the program has asked for a message; before that they end it at once
//   with exit status 0.
// - The Windows screensaver's settings (saver, Windows only): a modal dialog from a template
//   with check boxes and an edit box with an up-down control, and the registry that keeps
//   them. The SDL platform has none of these, as the Linux saver takes its settings on its
//   command line; they are declared here for the tests' fake.
// - Kernel (shell, scene, loader, saver): see win32_kernel.h.
//
// On Windows this header is <windows.h> and <commctrl.h>. Elsewhere every type, constant
// and call below is written from the published API and implemented by platform/ on SDL2.
#pragma once

#ifdef _WIN32

#include <windows.h>
// The up-down control of the screensaver's settings dialog.
#include <commctrl.h>

#else

#include "platform/win32_kernel.h"

struct HWND__;
typedef HWND__* HWND;
struct HDC__;
typedef HDC__* HDC;
struct HGLRC__;
typedef HGLRC__* HGLRC;
struct HICON__;
typedef HICON__* HICON;
typedef HICON HCURSOR;
struct HBRUSH__;
typedef HBRUSH__* HBRUSH;
struct HMENU__;
typedef HMENU__* HMENU;
struct HMONITOR__;
typedef HMONITOR__* HMONITOR;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef BOOL(CALLBACK* MONITORENUMPROC)(HMONITOR, HDC, LPRECT, LPARAM);

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

typedef struct tagWNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
} WNDCLASSA;

typedef struct tagPIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits;
    BYTE cRedShift;
    BYTE cGreenBits;
    BYTE cGreenShift;
    BYTE cBlueBits;
    BYTE cBlueShift;
    BYTE cAlphaBits;
    BYTE cAlphaShift;
    BYTE cAccumBits;
    BYTE cAccumRedBits;
    BYTE cAccumGreenBits;
    BYTE cAccumBlueBits;
    BYTE cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
} PIXELFORMATDESCRIPTOR;

// The display-mode record, laid out as Win32 has it so that dmSize is 156. The printer and
// position fields the program never sets are kept only for their room.
typedef struct _devicemodeA {
    BYTE dmDeviceName[32];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmPrinterOrPosition[8];
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    BYTE dmFormName[32];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
} DEVMODEA;

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "PIXELFORMATDESCRIPTOR is 40 bytes in Win32");
static_assert(sizeof(DEVMODEA) == 156, "DEVMODEA is 156 bytes in Win32");

// Messages.
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_SIZE 0x0005
#define WM_CLOSE 0x0010
#define WM_ACTIVATEAPP 0x001C
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_TIMER 0x0113
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_CAPTURECHANGED 0x0215

// WM_SIZE types.
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1

// Virtual keys; letters and digits are their ASCII capitals.
#define VK_ESCAPE 0x1B

// Mouse-message wParam flags.
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_MBUTTON 0x0010

#define PM_REMOVE 0x0001

#define SW_SHOW 5

#define MB_OK 0x00000000
#define MB_ICONERROR 0x00000010
#define MB_ICONINFORMATION 0x00000040

// The virtual screen: the rectangle around every monitor.
#define SM_XVIRTUALSCREEN 76
#define SM_YVIRTUALSCREEN 77
#define SM_CXVIRTUALSCREEN 78
#define SM_CYVIRTUALSCREEN 79

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_OWNDC 0x0020

#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define WS_CLIPSIBLINGS 0x04000000u
#define WS_CLIPCHILDREN 0x02000000u
#define WS_OVERLAPPEDWINDOW 0x00CF0000u
#define WS_EX_TOPMOST 0x00000008u
#define WS_EX_WINDOWEDGE 0x00000100u
#define WS_EX_APPWINDOW 0x00040000u

#define IDC_ARROW MAKEINTRESOURCEA(32512)

#define PFD_DOUBLEBUFFER 0x00000001
#define PFD_DRAW_TO_WINDOW 0x00000004
#define PFD_SUPPORT_OPENGL 0x00000020
#define PFD_TYPE_RGBA 0
#define PFD_MAIN_PLANE 0

#define CDS_FULLSCREEN 0x00000004
#define DISP_CHANGE_SUCCESSFUL 0
#define DISP_CHANGE_FAILED (-1)
#define DM_BITSPERPEL 0x00040000
#define DM_PELSWIDTH 0x00080000
#define DM_PELSHEIGHT 0x00100000

// user32: window class and window.
WORD RegisterClassA(const WNDCLASSA* windowClass);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
BOOL DestroyWindow(HWND window);
BOOL ShowWindow(HWND window, int showCommand);
BOOL SetForegroundWindow(HWND window);
HWND SetFocus(HWND window);
BOOL SetWindowTextA(HWND window, LPCSTR text);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL IsWindow(HWND window);
HWND GetDesktopWindow();
int GetSystemMetrics(int index);
BOOL EnumDisplayMonitors(HDC dc, LPCRECT clip, MONITORENUMPROC callback, LPARAM data);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR cursorName);
int ShowCursor(BOOL show);
LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);

// user32: messages, timer, capture.
BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
void PostQuitMessage(int exitCode);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC callback);
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// kernel32: a line for whoever watches the program's debug output (on Linux, standard error).
void OutputDebugStringA(LPCSTR text);

// user32 and gdi32: device context, pixel format, buffer swap.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request);
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request);
BOOL SwapBuffers(HDC dc);

// opengl32: the GL rendering context.
HGLRC wglCreateContext(HDC dc);
BOOL wglMakeCurrent(HDC dc, HGLRC context);
BOOL wglDeleteContext(HGLRC context);

// The Windows screensaver's settings: user32's dialogs, comctl32's up-down control, advapi32's
// registry.
typedef intptr_t INT_PTR;
typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
struct HKEY__;
typedef HKEY__* HKEY;
typedef DWORD REGSAM;
typedef LONG LSTATUS;
typedef struct tagINITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
} INITCOMMONCONTROLSEX;

#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define IDOK 1
#define IDCANCEL 2
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define ICC_UPDOWN_CLASS 0x00000010
#define UDM_SETRANGE32 (0x0400 + 111)

#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define REG_OPTION_NON_VOLATILE 0
#define REG_NONE 0
#define REG_SZ 1
#define REG_BINARY 3
#define REG_DWORD 4
#define ERROR_SUCCESS 0
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_MORE_DATA 234

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure,
                        LPARAM initParam);
BOOL EndDialog(HWND dialog, INT_PTR result);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes);

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result);
LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                        REGSAM access, void* security, HKEY* result, DWORD* disposition);
LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, DWORD* reserved, DWORD* type, BYTE* data,
                         DWORD* size);
LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD size);
LSTATUS RegCloseKey(HKEY key);

// The program's entry point, as Win32 calls it; platform/ supplies main() that calls it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);

#endif
