// The clock and the message box, for a program that has no window: the hands read
// GetLocalTime exactly as in the viewer, only the answer may be fixed. The resources come
// from the platform's own lookup over the embedded table.
#ifdef _WIN32
#error "The offscreen renderer's platform is for non-Windows hosts only."
#endif

#include "tools/render/render_platform.h"

#include <cstdio>
#include <ctime>

#include "platform/win32.h"

namespace {

bool LocalTimeFixed = false;
WORD FixedHour = 0, FixedMinute = 0, FixedSecond = 0;

} // namespace

void FixLocalTime(uint16_t hour, uint16_t minute, uint16_t second) {
    LocalTimeFixed = true;
    FixedHour = hour;
    FixedMinute = minute;
    FixedSecond = second;
}

DWORD GetTickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Win32's count wraps modulo 2^32 milliseconds; the unsigned conversion does the same.
    return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                              static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

// A picture shows one moment: the time of day given by FixLocalTime, or else the one at
// which the renderer first asks. The hands read only the time of day.
void GetLocalTime(LPSYSTEMTIME time) {
    if (!LocalTimeFixed) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        // SYSTEMTIME has no 60th second; a leap second reads as the 59th.
        FixLocalTime(static_cast<uint16_t>(local.tm_hour), static_cast<uint16_t>(local.tm_min),
                     static_cast<uint16_t>(local.tm_sec < 59 ? local.tm_sec : 59));
    }
    *time = SYSTEMTIME{};
    time->wHour = FixedHour;
    time->wMinute = FixedMinute;
    time->wSecond = FixedSecond;
}

// No window to own a box and nobody to click it: the message goes to standard error, and
// the answer is the box's only button, OK (IDOK, 1).
int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    std::fprintf(stderr, "orlentic-render: %s: %s\n", caption != nullptr ? caption : "",
                 text != nullptr ? text : "");
    return 1;
}
