// The scene as the shell and the saver see it, each call noted in the fake platform's log; and
// the GL calls the saver makes itself to place its views, which have no context to go to.
#include "platform/opengl.h"
#include "scene/scene.h"
#include "shell/shell_state.h"
#include "tests/support/fake_platform.h"

static void Note(const char* call, std::initializer_list<GLint> arguments) {
    std::string text = call;
    for (GLint argument : arguments)
        text += " " + std::to_string(argument);
    fake::Recorded.calls.push_back(text);
}

void ResizeScene(int32_t width, int32_t height) {
    Note("ResizeScene", {width, height});
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
void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    Note("glViewport", {x, y, w, h});
}
void GLAPIENTRY glScissor(GLint x, GLint y, GLsizei w, GLsizei h) {
    Note("glScissor", {x, y, w, h});
}
void GLAPIENTRY glEnable(GLenum capability) {
    Note("glEnable", {GLint(capability)});
}
