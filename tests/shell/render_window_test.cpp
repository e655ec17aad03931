// Making and unmaking the window and its GL context against the fake platform: the records
// handed to the platform, the order of the calls, and the message boxes of every failure.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/shell.h"
#include "tests/shell/scene_stand_in.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/fake_platform.h"

namespace {

class RenderWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetShellForTest();
        fake::SetClientSize(784, 561);
    }
};

// The teardown's calls and the boxes, the ones that tell what happened at the end.
std::vector<std::string> TeardownCalls() {
    return KeepCalls({"ChangeDisplaySettingsA", "ShowCursor", "wglMakeCurrent", "wglDeleteContext",
                      "ReleaseDC", "DestroyWindow", "UnregisterClassA", "MessageBoxA"});
}

void ExpectErrorBoxes() {
    for (const fake::MessageBoxRecord& box : fake::MessageBoxes()) {
        SCOPED_TRACE(box.text);
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.type, UINT{MB_OK | MB_ICONERROR});
    }
}

TEST_F(RenderWindowTest, WindowedStartUpMakesItsCallsInOrder) {
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    const std::vector<std::string> expected = {
        "GetModuleHandleA",
        "LoadCursorA",
        "RegisterClassA",
        "CreateWindowExA",
        "ResizeScene", // the size message sent while the window is made
        "GetDC",
        "ChoosePixelFormat",
        "SetPixelFormat",
        "wglCreateContext",
        "wglMakeCurrent",
        "SetTimer",
        "ShowWindow",
        "SetForegroundWindow",
        "SetFocus",
        "GetClientRect",
        "ResizeScene",
        "InitScene"};
    EXPECT_EQ(fake::CallLog(), expected);
    EXPECT_TRUE(fake::MessageBoxes().empty());
    EXPECT_EQ(WindowHandle, fake::Window());
    EXPECT_EQ(DeviceContext, fake::Dc());
    EXPECT_EQ(RenderContext, fake::Context());
    EXPECT_EQ(fake::Recorded().makeCurrentContexts, std::vector<HGLRC>{fake::Context()});
    EXPECT_EQ(fake::Recorded().showWindow, std::vector<int>{SW_SHOW});
    EXPECT_TRUE(fake::Recorded().showCursor.empty());
}

TEST_F(RenderWindowTest, TheViewportCoversTheClientArea) {
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    EXPECT_EQ(stand_in::ResizedSizes().back(), std::make_pair(784, 561));

    // Without a client rectangle, the requested size is the best there is.
    ResetShellForTest();
    fake::FailCall("GetClientRect");
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    EXPECT_EQ(stand_in::ResizedSizes().back(), std::make_pair(800, 600));
}

TEST_F(RenderWindowTest, ClassRecordAsRegistered) {
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    const WNDCLASSA& windowClass = fake::Recorded().windowClass;
    EXPECT_EQ(windowClass.style, 0x23u);
    EXPECT_EQ(windowClass.lpfnWndProc, &WatchWindowProc);
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
    EXPECT_EQ(windowClass.hInstance, fake::Instance());
    EXPECT_EQ(windowClass.hIcon, nullptr);
    EXPECT_NE(windowClass.hCursor, nullptr);
    EXPECT_EQ(windowClass.hbrBackground, nullptr);
    EXPECT_EQ(windowClass.lpszMenuName, nullptr);
    EXPECT_EQ(fake::Recorded().className, "OpenGL");
}

TEST_F(RenderWindowTest, WindowAndPixelFormatAsRequested) {
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    const fake::CreateWindowRecord& window = fake::Recorded().window;
    EXPECT_EQ(window.exStyle, 0x40100u);
    EXPECT_EQ(window.style, 0x06CF0000u);
    EXPECT_EQ(window.className, "OpenGL");
    EXPECT_EQ(window.windowName, "Orlentic");
    EXPECT_EQ(window.x, 0);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.width, 800);
    EXPECT_EQ(window.height, 600);
    EXPECT_EQ(window.parent, nullptr);
    EXPECT_EQ(window.menu, nullptr);
    EXPECT_EQ(window.instance, fake::Instance());
    EXPECT_EQ(window.param, nullptr);

    PIXELFORMATDESCRIPTOR expected;
    std::memset(&expected, 0, sizeof(expected));
    expected.nSize = 40;
    expected.nVersion = 1;
    expected.dwFlags = 0x25;
    expected.cColorBits = 32;
    expected.cDepthBits = 16;
    EXPECT_EQ(std::memcmp(&fake::Recorded().chosenFormat, &expected, sizeof(expected)), 0);
    EXPECT_EQ(std::memcmp(&fake::Recorded().setFormat, &expected, sizeof(expected)), 0);
    EXPECT_EQ(fake::Recorded().setFormatIndex, 7); // what ChoosePixelFormat gave

    const fake::TimerRecord& timer = fake::Recorded().timer;
    EXPECT_EQ(timer.window, fake::Window());
    EXPECT_EQ(timer.id, 1u);
    EXPECT_EQ(timer.elapseMs, 500u);
    EXPECT_EQ(timer.callback, nullptr);
}

TEST_F(RenderWindowTest, FullScreenSwitchesTheModeAndHidesTheCursorUntilTheTeardown) {
    ASSERT_TRUE(CreateRenderWindow(1024, 768, true, 16));
    DEVMODEA expected;
    std::memset(&expected, 0, sizeof(expected));
    expected.dmSize = 156;
    expected.dmPelsWidth = 1024;
    expected.dmPelsHeight = 768;
    expected.dmBitsPerPel = 16;
    expected.dmFields = 0x1C0000;
    EXPECT_EQ(std::memcmp(&fake::Recorded().displayMode, &expected, sizeof(expected)), 0);
    EXPECT_EQ(fake::Recorded().displayFlags, std::vector<DWORD>{CDS_FULLSCREEN});
    EXPECT_EQ(fake::Recorded().window.exStyle, 0x40000u);
    EXPECT_EQ(fake::Recorded().window.style, 0x86000000u);
    EXPECT_EQ(fake::Recorded().chosenFormat.cColorBits, 16);
    EXPECT_EQ(fake::Recorded().showCursor, std::vector<BOOL>{FALSE});
    EXPECT_EQ(fake::CursorCounter(), -1);

    fake::CallLog().clear();
    DestroyRenderWindow(true);
    EXPECT_EQ(TeardownCalls(),
              (std::vector<std::string>{"ChangeDisplaySettingsA", "ShowCursor", "wglMakeCurrent",
                                        "wglDeleteContext", "ReleaseDC", "DestroyWindow",
                                        "UnregisterClassA"}));
    EXPECT_EQ(fake::Recorded().displayModeIsNull, (std::vector<bool>{false, true}));
    EXPECT_EQ(fake::Recorded().displayFlags, (std::vector<DWORD>{CDS_FULLSCREEN, 0}));
    EXPECT_EQ(fake::CursorCounter(), 0);
}

TEST_F(RenderWindowTest, ARefusedSwitchGoesOnInAWindowWithTheCursorShown) {
    fake::FailCall("ChangeDisplaySettingsA");
    ASSERT_TRUE(CreateRenderWindow(800, 600, true, 32));
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Unable to switch to fullscreen!"});
    ExpectErrorBoxes();
    EXPECT_EQ(fake::Recorded().window.style, 0x06CF0000u);
    EXPECT_TRUE(fake::Recorded().showCursor.empty());
}

TEST_F(RenderWindowTest, AFailureAfterARefusedSwitchTearsDownAsWindowed) {
    fake::FailCall("ChangeDisplaySettingsA");
    fake::FailCall("SetPixelFormat");
    EXPECT_FALSE(CreateRenderWindow(800, 600, true, 32));
    EXPECT_EQ(KeepCalls({"ChangeDisplaySettingsA"}).size(), 1u);
    EXPECT_TRUE(fake::Recorded().showCursor.empty());
}

TEST_F(RenderWindowTest, AFullScreenFailureRestoresTheModeAndCursorFirst) {
    fake::FailCall("wglCreateContext");
    EXPECT_FALSE(CreateRenderWindow(800, 600, true, 32));
    const std::vector<std::string> calls = TeardownCalls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[2], "ChangeDisplaySettingsA");
    EXPECT_EQ(calls[3], "ShowCursor");
    EXPECT_EQ(fake::Recorded().showCursor, (std::vector<BOOL>{FALSE, TRUE}));
    EXPECT_EQ(fake::CursorCounter(), 0);
}

struct StartFailure {
    const char* failingCall;
    // The teardown's calls and boxes after the failing call, ending with the failure's box.
    std::vector<std::string> after;
    std::vector<std::string> texts;
};

TEST_F(RenderWindowTest, EachStartUpFailureTearsDownThenSaysWhy) {
    // Unmade contexts still go through the context steps; deleting none is refused and said.
    const std::string noContext = "Release of rendering context failed!";
    const std::vector<StartFailure> cases = {
        {"RegisterClassA", {"MessageBoxA"}, {"Failed to register the window class!"}},
        {"CreateWindowExA",
         {"wglMakeCurrent", "wglDeleteContext", "MessageBoxA", "UnregisterClassA", "MessageBoxA"},
         {noContext, "Unable to create window!"}},
        {"GetDC",
         {"wglMakeCurrent", "wglDeleteContext", "MessageBoxA", "DestroyWindow", "UnregisterClassA",
          "MessageBoxA"},
         {noContext, "Unable to get a device context!"}},
        {"ChoosePixelFormat",
         {"wglMakeCurrent", "wglDeleteContext", "MessageBoxA", "ReleaseDC", "DestroyWindow",
          "UnregisterClassA", "MessageBoxA"},
         {noContext, "Unable to find a suitable pixel format"}},
        {"SetPixelFormat",
         {"wglMakeCurrent", "wglDeleteContext", "MessageBoxA", "ReleaseDC", "DestroyWindow",
          "UnregisterClassA", "MessageBoxA"},
         {noContext, "Unable to set the pixel format"}},
        {"wglCreateContext",
         {"wglMakeCurrent", "wglDeleteContext", "MessageBoxA", "ReleaseDC", "DestroyWindow",
          "UnregisterClassA", "MessageBoxA"},
         {noContext, "Unable to create an OpenGL rendering context"}},
        // The scripted failure refuses the teardown's unbinding too.
        {"wglMakeCurrent",
         {"wglMakeCurrent", "MessageBoxA", "wglDeleteContext", "ReleaseDC", "DestroyWindow",
          "UnregisterClassA", "MessageBoxA"},
         {"Release of DC and RC failed!", "Unable to activate OpenGL rendering context"}},
    };
    for (const StartFailure& c : cases) {
        SCOPED_TRACE(c.failingCall);
        SetUp();
        fake::FailCall(c.failingCall);
        EXPECT_FALSE(CreateRenderWindow(800, 600, false, 32));
        const std::vector<std::string>& log = fake::CallLog();
        const auto failing = std::find(log.begin(), log.end(), c.failingCall);
        ASSERT_NE(failing, log.end());
        std::vector<std::string> after;
        for (auto call = failing + 1; call != log.end(); ++call)
            if (*call != "DefWindowProcA" && *call != "GetModuleHandleA")
                after.push_back(*call);
        EXPECT_EQ(after, c.after);
        EXPECT_EQ(ShownTexts(), c.texts);
        ExpectErrorBoxes();
        EXPECT_EQ(KeepCalls({"InitScene", "SetTimer", "ShowWindow"}).size(), 0u);
        EXPECT_TRUE(fake::Recorded().showCursor.empty());
    }
}

TEST_F(RenderWindowTest, ANormalTeardownUndoesEverythingSilently) {
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    fake::CallLog().clear();
    DestroyRenderWindow(false);
    EXPECT_EQ(TeardownCalls(),
              (std::vector<std::string>{"wglMakeCurrent", "wglDeleteContext", "ReleaseDC",
                                        "DestroyWindow", "UnregisterClassA"}));
    EXPECT_TRUE(fake::MessageBoxes().empty());
    EXPECT_EQ(fake::Recorded().makeCurrentDcs.back(), fake::Dc());
    EXPECT_EQ(fake::Recorded().makeCurrentContexts.back(), nullptr);
    EXPECT_EQ(fake::Recorded().deletedContexts, std::vector<HGLRC>{fake::Context()});
    EXPECT_EQ(fake::Recorded().unregisteredClass, "OpenGL");
    EXPECT_EQ(fake::Recorded().unregisterInstance, fake::Instance());
    EXPECT_TRUE(fake::Recorded().displayModeIsNull.empty());
}

struct TeardownFailure {
    std::vector<const char*> failingCalls;
    std::vector<std::string> texts;
};

TEST_F(RenderWindowTest, EachFailingTeardownStepIsToldAndTheRestStillRun) {
    const std::vector<TeardownFailure> cases = {
        {{"wglMakeCurrent"}, {"Release of DC and RC failed!"}},
        {{"wglDeleteContext"}, {"Release of rendering context failed!"}},
        {{"ReleaseDC"}, {"Release of device context failed!"}},
        // A class cannot go while its window stays.
        {{"DestroyWindow"}, {"Unable to destroy window!", "Unable to unregister window class!"}},
        {{"UnregisterClassA"}, {"Unable to unregister window class!"}},
        {{"wglMakeCurrent", "wglDeleteContext", "ReleaseDC", "DestroyWindow", "UnregisterClassA"},
         {"Release of DC and RC failed!", "Release of rendering context failed!",
          "Release of device context failed!", "Unable to destroy window!",
          "Unable to unregister window class!"}},
    };
    for (const TeardownFailure& c : cases) {
        SCOPED_TRACE(c.texts.front());
        SetUp();
        ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
        for (const char* call : c.failingCalls)
            fake::FailCall(call);
        fake::CallLog().clear();
        DestroyRenderWindow(false);
        EXPECT_EQ(KeepCalls({"wglMakeCurrent", "wglDeleteContext", "ReleaseDC", "DestroyWindow",
                             "UnregisterClassA"}),
                  (std::vector<std::string>{"wglMakeCurrent", "wglDeleteContext", "ReleaseDC",
                                            "DestroyWindow", "UnregisterClassA"}));
        EXPECT_EQ(ShownTexts(), c.texts);
        ExpectErrorBoxes();
    }
}

} // namespace
