#include "tests/shell/shell_test_support.h"

#include <algorithm>
#include <cstring>

#include "shell/shell.h"
#include "tests/shell/scene_stand_in.h"
#include "tests/support/fake_platform.h"

void ResetShellForTest() {
    fake::Reset();
    stand_in::ResetScene();
    WindowHandle = nullptr;
    DeviceContext = nullptr;
    RenderContext = nullptr;
    ElapsedMs = 0;
    FrameCount = 0;
    std::memset(KeyDown, 0, sizeof(KeyDown));
    DragMode = DragSway;
    LastMouseX = LastMouseY = LastZoomY = 0;
    TiltX = SpinY = ViewX = ViewY = ViewZ = 0.0f;
}

std::vector<std::string> KeepCalls(const std::vector<std::string>& names) {
    std::vector<std::string> kept;
    for (const std::string& call : fake::CallLog())
        if (std::find(names.begin(), names.end(), call) != names.end())
            kept.push_back(call);
    return kept;
}

std::vector<std::string> ShownTexts() {
    std::vector<std::string> texts;
    for (const fake::MessageBoxRecord& box : fake::MessageBoxes())
        texts.push_back(box.text);
    return texts;
}

uint8_t KeyState(int key) {
    return KeyDown[key];
}

LPARAM PackPosition(int x, int y) {
    const uint32_t low = static_cast<uint16_t>(x);
    const uint32_t high = static_cast<uint16_t>(y);
    return static_cast<LPARAM>((high << 16) | low);
}
