#include "tests/shell/shell_test_support.h"

#include <algorithm>
#include <cstring>

#include "scene/scene.h"
#include "shell/shell.h"
#include "tests/support/fake_platform.h"

std::vector<std::pair<int32_t, int32_t>> ResizedSizes;
std::vector<int32_t> DrawnElapsedMs;
std::function<void()> InitHook;

void ResetShellForTest() {
    fake::Reset();
    ResizedSizes.clear();
    DrawnElapsedMs.clear();
    InitHook = nullptr;
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

LPARAM PackPosition(int x, int y) {
    return static_cast<LPARAM>((uint32_t{static_cast<uint16_t>(y)} << 16) |
                               static_cast<uint16_t>(x));
}

void ResizeScene(int32_t width, int32_t height) {
    fake::CallLog().push_back("ResizeScene");
    ResizedSizes.emplace_back(width, height);
}

void InitScene() {
    fake::CallLog().push_back("InitScene");
    if (InitHook)
        InitHook();
}

void DrawScene() {
    fake::CallLog().push_back("DrawScene");
    DrawnElapsedMs.push_back(ElapsedMs);
}

void ApplyKeyToggles() {
    fake::CallLog().push_back("ApplyKeyToggles");
}
