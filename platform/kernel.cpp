// The kernel32 clock calls of the subset: the tick count, sleeping and the local time.
#ifdef _WIN32
#error "platform/ is the SDL stand-in for Win32; Windows builds use the real API."
#endif

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "platform/fixed_clock.h"
#include "platform/win32_kernel.h"

namespace {

// The clock's only state: a moment fixed by a program that draws pictures of given times.
struct ClockState {
    bool fixed;
    SYSTEMTIME moment;
};

ClockState Clock{};

} // namespace

void FixLocalTime(const SYSTEMTIME* moment) {
    Clock.fixed = moment != nullptr;
    Clock.moment = moment != nullptr ? *moment : SYSTEMTIME{};
}

// Wraps every 49.7 days, as Win32's count does.
DWORD GetTickCount() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);
}

// Sleeps the whole time even when a signal interrupts it, as Win32's Sleep does.
void Sleep(DWORD milliseconds) {
    timespec left{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

void GetLocalTime(LPSYSTEMTIME time) {
    if (time == nullptr)
        return;
    if (Clock.fixed) {
        *time = Clock.moment;
        return;
    }
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    time_t seconds = now.tv_sec;
    tm local{};
    if (localtime_r(&seconds, &local) == nullptr) {
        *time = SYSTEMTIME{};
        return;
    }
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    // SYSTEMTIME has no 60th second; a leap second reads as the 59th.
    time->wSecond = static_cast<WORD>(std::min(local.tm_sec, 59));
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}
