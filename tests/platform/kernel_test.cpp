// The embedded resources, the tick count and the local time.
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include "platform/fixed_clock.h"
#include "platform/win32_kernel.h"

namespace {

TEST(Resources, NamesAndTypesMatchWithoutRegardToCase) {
    const struct {
        LPCSTR name, type;
        DWORD size; // 0: not found
    } cases[] = {
        {"WATCHFACE", "BMP", 196662},    {"watchFace", "bmp", 196662},
        {"Reflection", "Bmp", 49206},    {"watchFace.bmp", "BMP", 0}, // the loader strips it
        {"WATCHFACE", "BITMAP", 0},      {"WATCHFAC", "BMP", 0},
        {MAKEINTRESOURCEA(1), "BMP", 0}, {nullptr, "BMP", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        HMODULE module = GetModuleHandleA(nullptr);
        HRSRC found = FindResourceA(module, c.name, c.type);
        ASSERT_EQ(found != nullptr, c.size != 0);
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
        EXPECT_EQ(SizeofResource(module, found), c.size);
        EXPECT_TRUE(c.size == 0 || std::memcmp(bytes, "BM", 2) == 0) << "a whole BMP, header first";
    }
}

// Against the C library's own clocks: a count in microseconds, or a clock read as UTC in a
// zone five and a half hours east of it, shows at once.
TEST(Clock, TicksAreMillisecondsAndTheTimeIsLocal) {
    timespec before{}, after{};
    clock_gettime(CLOCK_MONOTONIC, &before);
    const DWORD firstTick = GetTickCount();
    usleep(200000);
    const DWORD lastTick = GetTickCount();
    clock_gettime(CLOCK_MONOTONIC, &after);
    const double passedMs =
        (after.tv_sec - before.tv_sec) * 1000.0 + (after.tv_nsec - before.tv_nsec) / 1.0e6;
    EXPECT_NEAR(static_cast<double>(lastTick - firstTick), passedMs, 20.0);

    const char* zone = std::getenv("TZ");
    const std::string oldZone = zone != nullptr ? zone : "";
    setenv("TZ", "IST-5:30", 1);
    tzset();
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const time_t utc = time(nullptr);
    tm local{};
    localtime_r(&utc, &local);
    // A minute apart at most, across midnight too.
    EXPECT_LE((now.wHour * 60 + now.wMinute - local.tm_hour * 60 - local.tm_min + 1441) % 1440, 2);

    // A fixed moment holds until it is released.
    const SYSTEMTIME moment = {2026, 12, 1, 7, 23, 59, 58, 999};
    FixLocalTime(&moment);
    GetLocalTime(&now);
    EXPECT_EQ(std::memcmp(&now, &moment, sizeof now), 0);
    FixLocalTime(nullptr);
    zone != nullptr ? setenv("TZ", oldZone.c_str(), 1) : unsetenv("TZ");
    tzset();
}

} // namespace
