// The window procedure against the fake platform: what each message does to the input and
// view state, which platform calls it makes, and what it returns.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/shell.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/fake_platform.h"

namespace {

class WindowProcTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetShellForTest();
        WindowHandle = fake::Window();
        FrameCount = 7;
        TiltX = -5.0f;
        ViewY = -2.5f;
        ViewZ = -34.0f;
    }
};

LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return WatchWindowProc(fake::Window(), message, wParam, lParam);
}

TEST_F(WindowProcTest, EachMessageMakesItsCallsAndReturnsItsResult) {
    using Calls = std::vector<std::string>;
    const Calls none, passOn{"DefWindowProcA"}, take{"ReleaseCapture", "SetCapture"},
        release{"ReleaseCapture"};
    const LRESULT passed = fake::DefWindowProcResult;
    const LPARAM at = PackPosition(40, 30);
    const struct {
        UINT message;
        WPARAM wParam;
        LRESULT result;
        Calls calls;
        int32_t dragMode;
    } cases[] = {
        {WM_CREATE, 0, 0, none, DragSway},
        {WM_SIZE, SIZE_MAXIMIZED, 0, {"ResizeScene"}, DragSway},
        {WM_CLOSE, 0, 0, {"PostQuitMessage"}, DragSway}, // the window stays until the teardown
        {WM_KEYDOWN, 'W', 0, none, DragSway},
        {WM_KEYUP, 'W', 0, none, DragSway},
        {WM_TIMER, 1, 0, {"SetWindowTextA"}, DragSway},
        {WM_TIMER, 2, 0, none, DragSway},
        {WM_MOUSEMOVE, 0, 0, none, DragSway},
        {WM_LBUTTONDOWN, MK_LBUTTON, 0, take, DragRotate},
        {WM_RBUTTONDOWN, MK_RBUTTON, 0, take, DragZoom},
        {WM_MBUTTONDOWN, MK_MBUTTON, 0, take, DragPan},
        {WM_LBUTTONUP, 0, 0, release, DragNone},
        {WM_RBUTTONUP, 0, 0, release, DragNone},
        {WM_MBUTTONUP, 0, 0, release, DragNone},
        {WM_PAINT, 0, passed, passOn, DragSway},
        {WM_LBUTTONDBLCLK, 0, passed, passOn, DragSway},
        {WM_SYSKEYDOWN, 'W', passed, passOn, DragSway},
        {WM_CHAR, 'w', passed, passOn, DragSway},
        {WM_ACTIVATE, 1, passed, passOn, DragSway},
        {WM_DESTROY, 0, passed, passOn, DragSway},
        {WM_MOUSEWHEEL, 0, passed, passOn, DragSway},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << c.message);
        SetUp();
        EXPECT_EQ(Send(c.message, c.wParam, at), c.result);
        EXPECT_EQ(fake::CallLog(), c.calls);
        EXPECT_EQ(DragMode, c.dragMode);
    }
}

TEST_F(WindowProcTest, OnlyKeyDownAndUpWithinTheTableChangeIt) {
    Send(WM_KEYDOWN, 'L');
    Send(WM_KEYDOWN, 'L'); // auto-repeat
    Send(WM_KEYDOWN, 255);
    Send(WM_KEYUP, 'L');
    Send(WM_SYSKEYDOWN, 'F'); // Alt+F never reaches the table
    uint8_t expected[sizeof(KeyDown)] = {};
    expected[255] = 1;
    EXPECT_EQ(std::memcmp(KeyDown, expected, sizeof(KeyDown)), 0);
    fake::CallLog().clear();
    for (WPARAM key : {WPARAM{256}, WPARAM{0x10000}, ~WPARAM{0}}) {
        EXPECT_EQ(Send(WM_KEYDOWN, key), 0);
        EXPECT_EQ(Send(WM_KEYUP, key), 0);
    }
    EXPECT_EQ(std::memcmp(KeyDown, expected, sizeof(KeyDown)), 0);
    EXPECT_TRUE(fake::CallLog().empty());
}

TEST_F(WindowProcTest, SizeReachesTheSceneUnsignedAndUnchanged) {
    Send(WM_SIZE, SIZE_MINIMIZED, PackPosition(0, 0));
    Send(WM_SIZE, SIZE_RESTORED, PackPosition(40000, 33000));
    EXPECT_EQ(ResizedSizes, (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {40000, 33000}}));
}

TEST_F(WindowProcTest, OnlyTimerOneIsTheRateTick) {
    Send(WM_TIMER, 2);
    Send(WM_TIMER, 0);
    EXPECT_EQ(FrameCount, 7);
    Send(WM_TIMER, 1);
    EXPECT_EQ(FrameCount, 0);
    EXPECT_EQ(fake::Recorded().captions, std::vector<std::string>{"Orlentic"});
}

// A press at `from`, then moves through `path`.
struct DragCase {
    const char* name;
    UINT press;
    int fromX, fromY;
    std::vector<std::pair<int, int>> path;
};

struct View {
    float tiltX, spinY, viewX, viewY, viewZ;
};

// Each quotient in double, added unrounded, the sum rounded to float once per move.
View ExpectView(const DragCase& drag, View view) {
    int lastX = drag.fromX, lastY = drag.fromY;
    for (const auto& [x, y] : drag.path) {
        const double dx = x - lastX, dy = y - lastY;
        if (drag.press == WM_LBUTTONDOWN) {
            view.tiltX = static_cast<float>(view.tiltX + dy / 2);
            view.spinY = static_cast<float>(view.spinY + dx / 2);
        } else if (drag.press == WM_RBUTTONDOWN) {
            view.viewZ = static_cast<float>(view.viewZ - dy / 10);
        } else {
            view.viewX = static_cast<float>(view.viewX + dx / 24);
            view.viewY = static_cast<float>(view.viewY - dy / 24);
        }
        lastX = x;
        lastY = y;
    }
    return view;
}

TEST_F(WindowProcTest, DragsMoveTheViewByTheExactArithmetic) {
    const std::vector<DragCase> cases = {
        {"left out past the top left", WM_LBUTTONDOWN, 5, 5, {{-5, 1}, {-300, -200}}},
        {"middle out past the top left", WM_MBUTTONDOWN, 3, 3, {{-21, -45}}},
        {"right up in small steps", WM_RBUTTONDOWN, 9, 300, {{9, 299}, {9, 298}, {9, 291}}},
        {"left in odd steps", WM_LBUTTONDOWN, 0, 0, {{1, 3}, {2, 4}, {7, -1}}},
        {"middle in single pixels", WM_MBUTTONDOWN, 0, 0, {{1, 1}, {2, 2}, {3, 3}}},
        // Here rounding each quotient to float first would give a different float.
        {"right up 182", WM_RBUTTONDOWN, 9, 300, {{9, 118}}},
        {"middle down 191", WM_MBUTTONDOWN, 0, 0, {{0, 191}}},
    };
    for (const DragCase& drag : cases) {
        SCOPED_TRACE(drag.name);
        SetUp();
        const View start = {TiltX, SpinY, ViewX, ViewY, ViewZ};
        Send(drag.press, 0, PackPosition(drag.fromX, drag.fromY));
        for (const auto& [x, y] : drag.path)
            Send(WM_MOUSEMOVE, 0, PackPosition(x, y));
        const View expected = ExpectView(drag, start);
        EXPECT_EQ(TiltX, expected.tiltX);
        EXPECT_EQ(SpinY, expected.spinY);
        EXPECT_EQ(ViewX, expected.viewX);
        EXPECT_EQ(ViewY, expected.viewY);
        EXPECT_EQ(ViewZ, expected.viewZ);
    }
}

TEST_F(WindowProcTest, TheNamedDragsGiveRoundNumbers) {
    Send(WM_LBUTTONDOWN, 0, PackPosition(100, 100));
    Send(WM_MOUSEMOVE, 0, PackPosition(110, 104));
    EXPECT_FLOAT_EQ(SpinY, 5.0f);
    EXPECT_FLOAT_EQ(TiltX, -3.0f);
    Send(WM_RBUTTONDOWN, 0, PackPosition(50, 50));
    Send(WM_MOUSEMOVE, 0, PackPosition(50, 75));
    EXPECT_FLOAT_EQ(ViewZ, -36.5f);
    Send(WM_MBUTTONDOWN, 0, PackPosition(0, 0));
    Send(WM_MOUSEMOVE, 0, PackPosition(24, 48));
    EXPECT_FLOAT_EQ(ViewX, 1.0f);
    EXPECT_FLOAT_EQ(ViewY, -4.5f);
}

TEST_F(WindowProcTest, ARightPressRetakesTheCaptureAndItsReleaseEndsAllDragging) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, PackPosition(10, 10));
    Send(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, PackPosition(10, 10));
    EXPECT_EQ(DragMode, DragZoom);
    EXPECT_EQ(fake::CapturedWindow(), fake::Window());
    EXPECT_EQ(
        KeepCalls({"ReleaseCapture", "SetCapture"}),
        (std::vector<std::string>{"ReleaseCapture", "SetCapture", "ReleaseCapture", "SetCapture"}));
    Send(WM_RBUTTONUP, MK_LBUTTON, PackPosition(10, 10));
    EXPECT_EQ(DragMode, DragNone);
    EXPECT_EQ(fake::CapturedWindow(), nullptr);
    // The left button is still held, but nothing moves until a button is pressed again.
    Send(WM_MOUSEMOVE, MK_LBUTTON, PackPosition(90, 90));
    EXPECT_EQ(TiltX, -5.0f);
    EXPECT_EQ(SpinY, 0.0f);
    EXPECT_EQ(ViewZ, -34.0f);
}

TEST_F(WindowProcTest, AReleaseWithoutAPressEndsTheSwayForGood) {
    Send(WM_MBUTTONUP, 0, PackPosition(30, 30));
    EXPECT_EQ(DragMode, DragNone);
    Send(WM_MOUSEMOVE, 0, PackPosition(60, 90));
    EXPECT_EQ(ViewX, 0.0f);
    EXPECT_EQ(TiltX, -5.0f);
    EXPECT_EQ(LastMouseX, 0);
}

TEST_F(WindowProcTest, EachDragKeepsItsOwnLastPosition) {
    Send(WM_LBUTTONDOWN, 0, PackPosition(11, 12));
    Send(WM_RBUTTONDOWN, 0, PackPosition(-40, -50));
    EXPECT_EQ(LastZoomY, -50);
    Send(WM_MOUSEMOVE, 0, PackPosition(-41, -60));
    EXPECT_EQ(LastMouseX, 11);
    EXPECT_EQ(LastMouseY, 12);
    EXPECT_EQ(LastZoomY, -60);
}

} // namespace
