// The scene as the shell and the saver see it, each call noted in the fake platform's log.
#include "scene/scene.h"
#include "shell/shell_state.h"
#include "tests/support/fake_platform.h"

void ResizeScene(int32_t width, int32_t height) {
    fake::Recorded.calls.push_back("ResizeScene " + std::to_string(width) + " " +
                                   std::to_string(height));
}
void InitScene() {
    fake::Recorded.calls.push_back("InitScene");
    fake::Recorded.tick = 5000; // loading takes time
}
void DrawScene() {
    fake::Recorded.calls.push_back("DrawScene " + std::to_string(ElapsedMs));
}
void ApplyKeyToggles() {
    fake::Recorded.calls.push_back("ApplyKeyToggles");
}
