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
// Notes the parts' keys pressed since the last frame, and takes them as the scene does.
void ApplyKeyToggles() {
    std::string call = "ApplyKeyToggles";
    for (const int key : {KeyWireframe, KeyLighting, KeyDial, KeyCase})
        if (KeyDown[key] != 0) {
            call += (call.back() == 's' ? " " : "") + std::string(1, static_cast<char>(key));
            KeyDown[key] = 0;
        }
    fake::Recorded.calls.push_back(call);
}
