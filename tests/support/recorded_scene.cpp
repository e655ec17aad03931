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
void ApplyKeyToggles() {
    fake::Recorded.calls.push_back("ApplyKeyToggles");
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
