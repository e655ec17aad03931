// The scene as the shell and the saver see it, each call noted in the fake platform's log; and
// the GL calls the saver makes itself to place its views, which have no context to go to.
#include "platform/opengl.h"
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

namespace {
void NoteRectangle(const char* call, GLint x, GLint y, GLsizei width, GLsizei height) {
    fake::Recorded.calls.push_back(std::string(call) + " " + std::to_string(x) + " " +
                                   std::to_string(y) + " " + std::to_string(width) + " " +
                                   std::to_string(height));
}
} // namespace

void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    NoteRectangle("glViewport", x, y, width, height);
}
void GLAPIENTRY glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    NoteRectangle("glScissor", x, y, width, height);
}
void GLAPIENTRY glEnable(GLenum capability) {
    fake::Recorded.calls.push_back("glEnable " + std::to_string(capability));
}
