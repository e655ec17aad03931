#include "tests/shell/scene_stand_in.h"

#include "scene/scene.h"
#include "shell/shell_state.h"
#include "tests/support/fake_platform.h"

namespace {

std::vector<std::pair<int32_t, int32_t>> Resized;
std::vector<int32_t> Drawn;
std::function<void()> InitHook;

} // namespace

namespace stand_in {

void ResetScene() {
    Resized.clear();
    Drawn.clear();
    InitHook = nullptr;
}

std::vector<std::pair<int32_t, int32_t>>& ResizedSizes() {
    return Resized;
}

std::vector<int32_t>& DrawnElapsedMs() {
    return Drawn;
}

void SetInitHook(std::function<void()> hook) {
    InitHook = std::move(hook);
}

} // namespace stand_in

void ResizeScene(int32_t width, int32_t height) {
    fake::CallLog().push_back("ResizeScene");
    Resized.emplace_back(width, height);
}

void InitScene() {
    fake::CallLog().push_back("InitScene");
    if (InitHook)
        InitHook();
}

void DrawScene() {
    fake::CallLog().push_back("DrawScene");
    Drawn.push_back(ElapsedMs);
}

void ApplyKeyToggles() {
    fake::CallLog().push_back("ApplyKeyToggles");
}
