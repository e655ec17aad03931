#include "tests/gears/gl_recording.h"

#include <dlfcn.h>

namespace {

bool Recording = false;
GLenum ShadeModel = GL_SMOOTH;
float Normal[3] = {0.0f, 0.0f, 1.0f};
std::vector<RecordedPrimitive> Primitives;

// The GL's own entry point of that name, further down the link order than this program.
template <typename Function> Function FindRealGl(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

void StartGlRecording() {
    Recording = true;
    ShadeModel = GL_SMOOTH;
    Primitives.clear();
}

std::vector<RecordedPrimitive> StopGlRecording() {
    Recording = false;
    return Primitives;
}

extern "C" {

void glBegin(GLenum mode) {
    static auto real = FindRealGl<void (*)(GLenum)>("glBegin");
    if (Recording)
        Primitives.push_back({mode, ShadeModel, {}});
    real(mode);
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    static auto real = FindRealGl<void (*)(GLfloat, GLfloat, GLfloat)>("glNormal3f");
    Normal[0] = x;
    Normal[1] = y;
    Normal[2] = z;
    real(x, y, z);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    static auto real = FindRealGl<void (*)(GLfloat, GLfloat, GLfloat)>("glVertex3f");
    if (Recording && !Primitives.empty())
        Primitives.back().vertices.push_back({{x, y, z}, {Normal[0], Normal[1], Normal[2]}});
    real(x, y, z);
}

void glShadeModel(GLenum mode) {
    static auto real = FindRealGl<void (*)(GLenum)>("glShadeModel");
    ShadeModel = mode;
    real(mode);
}

} // extern "C"
