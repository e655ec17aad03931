// The one call the renderer's platform answers differently from the viewer's: with no window
// to own a box and nobody to click it, a message box writes to standard error. The clock,
// the local time and the resources are the platform's own.
#ifdef _WIN32
#error "The offscreen renderer's platform is for non-Windows hosts only."
#endif

#include <cstdio>

#include "platform/win32.h"

// The answer is the box's only button, OK (IDOK, 1).
int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    std::fprintf(stderr, "orlentic-render: %s: %s\n", caption != nullptr ? caption : "",
                 text != nullptr ? text : "");
    return 1;
}
