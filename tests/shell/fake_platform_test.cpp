// The fake platform itself, where other areas' tests lean on it: resources and the queue.
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"

namespace {

class FakePlatformTest : public testing::Test {
  protected:
    void SetUp() override { fake::Reset(); }
};

std::string ReadResource(const char* name, const char* type) {
    const HRSRC found = FindResourceA(GetModuleHandleA(nullptr), name, type);
    if (found == nullptr)
        return "<none>";
    const HGLOBAL loaded = LoadResource(nullptr, found);
    const char* bytes = static_cast<const char*>(LockResource(loaded));
    return std::string(bytes, SizeofResource(nullptr, found));
}

TEST_F(FakePlatformTest, ResourcesAreFoundWithoutRegardToCase) {
    EXPECT_EQ(ReadResource("watchFace", "bmp").substr(0, 2), "BM");
    EXPECT_EQ(ReadResource("REFLECTION", "BMP").substr(0, 2), "BM");
    EXPECT_EQ(ReadResource("watchFace", "RCDATA"), "<none>");
    EXPECT_EQ(ReadResource("missing", "BMP"), "<none>");
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(1), "BMP"), nullptr);
}

TEST_F(FakePlatformTest, AddedResourcesComeFirstAndRemovedOnesAreGone) {
    fake::AddResource("WatchFace", "Bmp", {'o', 'l', 'd'});
    fake::AddResource("WATCHFACE", "BMP", {'n', 'e', 'w'});
    EXPECT_EQ(ReadResource("watchface", "bmp"), "new");
    fake::AddResource("EMPTY", "BMP", {});
    const HRSRC empty = FindResourceA(nullptr, "empty", "BMP");
    EXPECT_NE(LockResource(LoadResource(nullptr, empty)), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, empty), 0u);

    fake::RemoveResource("watchface");
    EXPECT_EQ(ReadResource("WATCHFACE", "BMP"), "<none>");
    fake::RemoveResource("Reflection");
    EXPECT_EQ(ReadResource("REFLECTION", "BMP"), "<none>");
    fake::Reset();
    EXPECT_EQ(ReadResource("REFLECTION", "BMP").substr(0, 2), "BM");
}

TEST_F(FakePlatformTest, ScriptedFailuresAndTheLog) {
    fake::FailCall("LockResource");
    EXPECT_EQ(LockResource(LoadResource(nullptr, FindResourceA(nullptr, "WATCHFACE", "BMP"))),
              nullptr);
    GetTickCount();
    SYSTEMTIME time;
    fake::SetLocalTime(9, 41, 7);
    GetLocalTime(&time);
    EXPECT_EQ(time.wHour, 9);
    EXPECT_EQ(time.wMinute, 41);
    EXPECT_EQ(time.wSecond, 7);
    EXPECT_EQ(fake::CallLog(), (std::vector<std::string>{"FindResourceA", "LoadResource",
                                                         "LockResource", "GetLocalTime"}));
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_OK), 1);
}

TEST_F(FakePlatformTest, QuitComesOnlyOnceThePostedMessagesAreGone) {
    fake::PostMessageToWindow(WM_KEYDOWN, 'W', 0);
    PostQuitMessage(3);
    fake::PostMessageToWindow(WM_KEYUP, 'W', 0);
    std::vector<UINT> taken;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        taken.push_back(msg.message);
    EXPECT_EQ(taken, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_QUIT}));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(FakePlatformTest, ARunawayLoopFailsInsteadOfHanging) {
    fake::SetPeekLimit(2);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_THROW(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), std::runtime_error);
}

} // namespace
