// The embedded resources, the tick count and the local time.
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/win32_kernel.h"

namespace {

TEST(Resources, NamesAndTypesMatchWithoutRegardToCase) {
    const struct {
        LPCSTR name, type;
        DWORD size; // 0: not found
    } cases[] = {
        {"watchFace", "bmp", 196662}, {"Reflection", "Bmp", 49206},
        {"WATCHFACE", "BITMAP", 0},   {"watchFace.bmp", "BMP", 0}, // the loader strips it
        {"WATCHFAC", "BMP", 0},       {MAKEINTRESOURCEA(1), "BMP", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        HRSRC found = FindResourceA(nullptr, c.name, c.type); // as the texture loader asks
        ASSERT_EQ(found != nullptr, c.size != 0);
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
        EXPECT_EQ(SizeofResource(nullptr, found), c.size);
        EXPECT_TRUE(c.size == 0 || std::memcmp(bytes, "BM", 2) == 0) << "a whole BMP, header first";
    }
}

TEST(Clock, TicksAreMillisecondsAndTheTimeIsLocal) {
    const DWORD firstTick = GetTickCount();
    usleep(200000);
    const DWORD passedMs = GetTickCount() - firstTick;
    EXPECT_GE(passedMs, 200u);
    EXPECT_LT(passedMs, 2000u) << "even on a busy machine";

    setenv("TZ", "IST-5:30", 1); // ctest gives each test a process of its own
    tzset();
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const time_t utc = time(nullptr);
    tm local{};
    localtime_r(&utc, &local);
    // A minute apart at most, across midnight too.
    EXPECT_LE((now.wHour * 60 + now.wMinute - local.tm_hour * 60 - local.tm_min + 1441) % 1440, 2);
}

} // namespace
