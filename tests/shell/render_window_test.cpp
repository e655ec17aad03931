// Making and unmaking the window and its GL context against the fake platform: the records
// handed to the platform, the order of the calls, and the message boxes of every failure.
#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "shell/shell.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/fake_platform.h"

namespace {

class RenderWindowTest : public testing::Test {
  protected:
    void SetUp() override { ResetShellForTest(); }
};

using Calls = std::vector<std::string>;

// The teardown's calls in order, each message box as its text where it was shown; every box
// must be a modal error box without an owner.
Calls TeardownRecord() {
    const Calls teardown = {"ChangeDisplaySettingsA", "ShowCursor", "wglMakeCurrent",
                            "wglDeleteContext",       "ReleaseDC",  "DestroyWindow",
                            "UnregisterClassA"};
    Calls record;
    size_t box = 0;
    for (const std::string& call : fake::CallLog()) {
        if (call == "MessageBoxA") {
            const fake::MessageBoxRecord& shown = fake::MessageBoxes().at(box++);
            EXPECT_EQ(std::tie(shown.owner, shown.caption, shown.type),
                      std::make_tuple(nullptr, "Error", UINT{MB_OK | MB_ICONERROR}));
            record.push_back(shown.text);
        } else if (std::find(teardown.begin(), teardown.end(), call) != teardown.end()) {
            record.push_back(call);
        }
    }
    return record;
}

TEST_F(RenderWindowTest, WindowedStartUpMakesItsCallsInOrder) {
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    // The first ResizeScene is the size message sent while the window is made.
    const Calls expected = {"GetModuleHandleA",    "LoadCursorA",    "RegisterClassA",
                            "CreateWindowExA",     "ResizeScene",    "GetDC",
                            "ChoosePixelFormat",   "SetPixelFormat", "wglCreateContext",
                            "wglMakeCurrent",      "SetTimer",       "ShowWindow",
                            "SetForegroundWindow", "SetFocus",       "GetClientRect",
                            "ResizeScene",         "InitScene"};
    EXPECT_EQ(fake::CallLog(), expected);
    EXPECT_TRUE(fake::MessageBoxes().empty());
    EXPECT_EQ(std::make_tuple(WindowHandle, DeviceContext, RenderContext),
              std::make_tuple(fake::Window(), fake::Dc(), fake::Context()));
    EXPECT_EQ(fake::Recorded().makeCurrentContexts, std::vector<HGLRC>{fake::Context()});
    EXPECT_TRUE(fake::Recorded().showCursor.empty());
}

TEST_F(RenderWindowTest, TheViewportCoversTheClientArea) {
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    EXPECT_EQ(ResizedSizes.back(), std::make_pair(792, 573));
    // Without a client rectangle, the requested size is the best there is.
    ResetShellForTest();
    fake::FailCall("GetClientRect");
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    EXPECT_EQ(ResizedSizes.back(), std::make_pair(800, 600));
}

TEST_F(RenderWindowTest, ClassWindowPixelFormatAndTimerAsRequested) {
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    const WNDCLASSA& c = fake::Recorded().windowClass;
    EXPECT_EQ(std::make_tuple(c.style, c.lpfnWndProc, c.cbClsExtra, c.cbWndExtra, c.hInstance),
              std::make_tuple(0x23u, &WatchWindowProc, 0, 0, fake::Instance()));
    EXPECT_EQ(std::make_tuple(c.hIcon, c.hbrBackground, c.lpszMenuName),
              std::make_tuple(nullptr, nullptr, nullptr));
    EXPECT_NE(c.hCursor, nullptr);
    EXPECT_EQ(fake::Recorded().className, "OpenGL");

    const fake::CreateWindowRecord& w = fake::Recorded().window;
    EXPECT_EQ(std::tie(w.exStyle, w.style, w.className, w.windowName),
              std::make_tuple(0x40100u, 0x06CF0000u, "OpenGL", "Orlentic"));
    EXPECT_EQ(std::make_tuple(w.x, w.y, w.width, w.height, w.parent, w.menu, w.instance, w.param),
              std::make_tuple(0, 0, 800, 600, nullptr, nullptr, fake::Instance(), nullptr));

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

    const fake::TimerRecord& t = fake::Recorded().timer;
    EXPECT_EQ(std::make_tuple(t.window, t.id, t.elapseMs, t.callback),
              std::make_tuple(fake::Window(), UINT_PTR{1}, 500u, TIMERPROC{}));
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
    EXPECT_EQ(std::make_tuple(fake::Recorded().window.exStyle, fake::Recorded().window.style),
              std::make_tuple(0x40000u, 0x86000000u));
    EXPECT_EQ(fake::Recorded().chosenFormat.cColorBits, 16);
    EXPECT_EQ(fake::Recorded().showCursor, std::vector<BOOL>{FALSE});

    fake::CallLog().clear();
    DestroyRenderWindow(true);
    EXPECT_EQ(TeardownRecord(),
              (Calls{"ChangeDisplaySettingsA", "ShowCursor", "wglMakeCurrent", "wglDeleteContext",
                     "ReleaseDC", "DestroyWindow", "UnregisterClassA"}));
    EXPECT_EQ(fake::Recorded().displayModeIsNull, (std::vector<bool>{false, true}));
    EXPECT_EQ(fake::Recorded().displayFlags, (std::vector<DWORD>{CDS_FULLSCREEN, 0}));
    EXPECT_EQ(fake::Recorded().showCursor, (std::vector<BOOL>{FALSE, TRUE}));
}

TEST_F(RenderWindowTest, ARefusedSwitchGoesOnInAWindowWithTheCursorShown) {
    fake::FailCall("ChangeDisplaySettingsA");
    ASSERT_TRUE(CreateRenderWindow(800, 600, true, 32));
    // Start-up's own wglMakeCurrent is the only other call of the set.
    EXPECT_EQ(TeardownRecord(), (Calls{"ChangeDisplaySettingsA", "Unable to switch to fullscreen!",
                                       "wglMakeCurrent"}));
    EXPECT_EQ(fake::Recorded().window.style, 0x06CF0000u);
    EXPECT_TRUE(fake::Recorded().showCursor.empty());

    // A later failure tears down as windowed: no second mode change, no cursor shown.
    ResetShellForTest();
    fake::FailCall("ChangeDisplaySettingsA");
    fake::FailCall("SetPixelFormat");
    EXPECT_FALSE(CreateRenderWindow(800, 600, true, 32));
    EXPECT_EQ(KeepCalls({"ChangeDisplaySettingsA"}).size(), 1u);
    EXPECT_TRUE(fake::Recorded().showCursor.empty());
}

TEST_F(RenderWindowTest, AFullScreenFailureRestoresTheModeAndCursorFirst) {
    fake::FailCall("wglCreateContext");
    EXPECT_FALSE(CreateRenderWindow(800, 600, true, 32));
    const Calls record = TeardownRecord();
    ASSERT_GE(record.size(), 4u);
    EXPECT_EQ(std::make_tuple(record[2], record[3]),
              std::make_tuple("ChangeDisplaySettingsA", "ShowCursor"));
    EXPECT_EQ(fake::Recorded().showCursor, (std::vector<BOOL>{FALSE, TRUE}));
}

TEST_F(RenderWindowTest, EachStartUpFailureTearsDownThenSaysWhy) {
    // Unmade contexts still go through the context steps; deleting none is refused and said.
    const std::string noContext = "Release of rendering context failed!";
    const Calls contextSteps = {"wglMakeCurrent", "wglDeleteContext", noContext};
    const auto tail = [&](Calls rest) {
        rest.insert(rest.begin(), contextSteps.begin(), contextSteps.end());
        return rest;
    };
    const struct {
        const char* failingCall;
        Calls record; // ending with the failure's own box
    } cases[] = {
        {"RegisterClassA", {"Failed to register the window class!"}},
        {"CreateWindowExA", tail({"UnregisterClassA", "Unable to create window!"})},
        {"GetDC", tail({"DestroyWindow", "UnregisterClassA", "Unable to get a device context!"})},
        {"ChoosePixelFormat", tail({"ReleaseDC", "DestroyWindow", "UnregisterClassA",
                                    "Unable to find a suitable pixel format"})},
        {"SetPixelFormat", tail({"ReleaseDC", "DestroyWindow", "UnregisterClassA",
                                 "Unable to set the pixel format"})},
        {"wglCreateContext", tail({"ReleaseDC", "DestroyWindow", "UnregisterClassA",
                                   "Unable to create an OpenGL rendering context"})},
        // The scripted failure refuses the teardown's unbinding too.
        {"wglMakeCurrent",
         {"wglMakeCurrent", "wglMakeCurrent", "Release of DC and RC failed!", "wglDeleteContext",
          "ReleaseDC", "DestroyWindow", "UnregisterClassA",
          "Unable to activate OpenGL rendering context"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failingCall);
        SetUp();
        fake::FailCall(c.failingCall);
        EXPECT_FALSE(CreateRenderWindow(800, 600, false, 32));
        EXPECT_EQ(TeardownRecord(), c.record);
        EXPECT_EQ(KeepCalls({"InitScene", "SetTimer", "ShowWindow"}).size(), 0u);
        EXPECT_TRUE(fake::Recorded().showCursor.empty());
    }
}

TEST_F(RenderWindowTest, ANormalTeardownUndoesEverythingSilently) {
    ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
    fake::CallLog().clear();
    DestroyRenderWindow(false);
    EXPECT_EQ(TeardownRecord(), (Calls{"wglMakeCurrent", "wglDeleteContext", "ReleaseDC",
                                       "DestroyWindow", "UnregisterClassA"}));
    const fake::Records& r = fake::Recorded();
    EXPECT_EQ(std::make_tuple(r.makeCurrentDcs.back(), r.makeCurrentContexts.back()),
              std::make_tuple(fake::Dc(), HGLRC{}));
    EXPECT_EQ(r.deletedContexts, std::vector<HGLRC>{fake::Context()});
    EXPECT_EQ(std::tie(r.unregisteredClass, r.unregisterInstance),
              std::make_tuple("OpenGL", fake::Instance()));
}

TEST_F(RenderWindowTest, EachFailingTeardownStepIsToldInPlaceAndTheRestStillRun) {
    const char* const all[] = {"wglMakeCurrent", "wglDeleteContext", "ReleaseDC", "DestroyWindow",
                               "UnregisterClassA"};
    const std::string texts[] = {"Release of DC and RC failed!",
                                 "Release of rendering context failed!",
                                 "Release of device context failed!", "Unable to destroy window!",
                                 "Unable to unregister window class!"};
    // Each step alone, then all together; a class cannot go while its window stays.
    for (int failing = 0; failing <= 5; ++failing) {
        SCOPED_TRACE(failing);
        SetUp();
        ASSERT_TRUE(CreateRenderWindow(800, 600, false, 32));
        Calls expected;
        for (int step = 0; step < 5; ++step) {
            if (failing == step || failing == 5)
                fake::FailCall(all[step]);
            expected.push_back(all[step]);
            if (failing == step || failing == 5 || (step == 4 && failing == 3))
                expected.push_back(texts[step]);
        }
        fake::CallLog().clear();
        DestroyRenderWindow(false);
        EXPECT_EQ(TeardownRecord(), expected);
    }
}

} // namespace
