// The kernel32 part of the Win32 subset the program uses: base types, the tick count, the
// local time, sleeping, the module handle and the resource functions. No window-system type
// lives here, so code that must never see a window (the scene) can include it.
//
// On Windows this is the real API. Elsewhere the declarations below are written from the
// published API and implemented by platform/ (or by a test's fake).
#pragma once

#ifdef _WIN32

// windef.h and winbase.h carry the kernel services without winuser.h and wingdi.h.
#include <windef.h>
#include <winbase.h>

#else

#include <cstdint>

typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef uintptr_t UINT_PTR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;

#define TRUE 1
#define FALSE 0
// GL's headers may have defined these already; on Linux they are all empty.
#ifndef WINAPI
#define WINAPI
#endif
#ifndef CALLBACK
#define CALLBACK
#endif
#ifndef APIENTRY
#define APIENTRY
#endif

struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
struct HRSRC__;
typedef HRSRC__* HRSRC;
typedef void* HGLOBAL;

// A small integer standing where a name is expected, as Win32's MAKEINTRESOURCE makes it.
#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<WORD>(i))))
// True for such a small integer (or NULL): its high bits are zero, and it must never be read
// as a string.
#define IS_INTRESOURCE(r) ((reinterpret_cast<uintptr_t>(r) >> 16) == 0)

#define LOWORD(l) (static_cast<WORD>(static_cast<uintptr_t>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<uintptr_t>(l) >> 16) & 0xffff))

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME, *LPSYSTEMTIME;

// Milliseconds since an arbitrary start, wrapping modulo 2^32.
DWORD GetTickCount();
void GetLocalTime(LPSYSTEMTIME time);
// Gives up the processor for at least that many milliseconds.
void Sleep(DWORD milliseconds);

// NULL names the program itself.
HMODULE GetModuleHandleA(LPCSTR moduleName);

// Resource names and types are matched without regard to letter case.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);

#endif
