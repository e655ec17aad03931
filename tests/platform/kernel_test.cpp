// The module handle, the embedded resources and the local time.
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>

#include "platform/win32_kernel.h"

namespace {

TEST(Resources, NamesAndTypesMatchWithoutRegardToCase) {
    const struct {
        LPCSTR name, type;
        DWORD size; // 0: not found
    } cases[] = {
        {"WATCHFACE", "BMP", 196662},
        {"watchFace", "bmp", 196662},
        {"Reflection", "Bmp", 49206},
        {"watchFace.bmp", "BMP", 0}, // the loader strips the extension, not the platform
        {"", "BMP", 0},
        {"WATCHFACE", "BITMAP", 0},
        {"WATCHFAC", "BMP", 0},
        {MAKEINTRESOURCEA(1), "BMP", 0},
        {"WATCHFACE", MAKEINTRESOURCEA(2), 0}, // RT_BITMAP
        {nullptr, "BMP", 0},
    };
    for (const auto& c : cases) {
        for (HMODULE module : {GetModuleHandleA(nullptr), HMODULE(nullptr)}) {
            SCOPED_TRACE(testing::Message() << "case " << (&c - cases) << " module " << module);
            HRSRC found = FindResourceA(module, c.name, c.type);
            if (c.size == 0) {
                EXPECT_EQ(found, nullptr);
                continue;
            }
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(SizeofResource(module, found), c.size);
            const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
            ASSERT_NE(bytes, nullptr);
            EXPECT_EQ(std::memcmp(bytes, "BM", 2), 0) << "a whole BMP file, header first";
        }
    }
}

TEST(Resources, StrayHandlesAndOtherModulesFindNothing) {
    HMODULE program = GetModuleHandleA(nullptr);
    EXPECT_EQ(GetModuleHandleA("user32.dll"), nullptr);
    HRSRC found = FindResourceA(program, "REFLECTION", "BMP");
    ASSERT_NE(found, nullptr);
    int somewhere = 0;
    HMODULE other = reinterpret_cast<HMODULE>(&somewhere);
    EXPECT_EQ(FindResourceA(other, "REFLECTION", "BMP"), nullptr);
    EXPECT_EQ(LoadResource(other, found), nullptr);
    EXPECT_EQ(SizeofResource(other, found), 0u);
    for (HRSRC stray : {HRSRC(nullptr), reinterpret_cast<HRSRC>(&somewhere)}) {
        EXPECT_EQ(LoadResource(program, stray), nullptr);
        EXPECT_EQ(SizeofResource(program, stray), 0u);
    }
    EXPECT_EQ(LockResource(nullptr), nullptr);
}

TEST(LocalTime, EveryFieldIsTheLocalWallTime) {
    time_t before = time(nullptr);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    time_t after = time(nullptr);

    tm local{};
    local.tm_year = now.wYear - 1900;
    local.tm_mon = now.wMonth - 1;
    local.tm_mday = now.wDay;
    local.tm_hour = now.wHour;
    local.tm_min = now.wMinute;
    local.tm_sec = now.wSecond;
    local.tm_isdst = -1;
    time_t read = mktime(&local);
    EXPECT_GE(read, before - 1);
    EXPECT_LE(read, after);
    EXPECT_EQ(now.wDayOfWeek, local.tm_wday);
    EXPECT_LT(now.wMilliseconds, 1000);
    GetLocalTime(nullptr); // nothing to fill, nothing written
}

} // namespace
