#include "platform/offscreen_gl.h"

#include <cstddef>

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "platform/opengl.h"

namespace {

EGLDisplay Display = EGL_NO_DISPLAY;
EGLContext Context = EGL_NO_CONTEXT;
EGLSurface Surface = EGL_NO_SURFACE;

// The surfaceless platform needs no X server or GPU device; llvmpipe renders into the
// pbuffer.
EGLDisplay OpenSurfacelessDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr)
        return EGL_NO_DISPLAY;
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

} // namespace

bool MakeOffscreenContext(int width, int height) {
    DestroyOffscreenContext();
    if (Display == EGL_NO_DISPLAY) {
        Display = OpenSurfacelessDisplay();
        if (Display == EGL_NO_DISPLAY || !eglInitialize(Display, nullptr, nullptr))
            return false;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       16,
                                       EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(Display, configAttributes, &config, 1, &count) || count < 1)
        return false;
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    Surface = eglCreatePbufferSurface(Display, config, surfaceAttributes);
    if (Surface == EGL_NO_SURFACE)
        return false;
    if (!eglBindAPI(EGL_OPENGL_API))
        return false;
    Context = eglCreateContext(Display, config, EGL_NO_CONTEXT, nullptr);
    if (Context == EGL_NO_CONTEXT)
        return false;
    return eglMakeCurrent(Display, Surface, Surface, Context) == EGL_TRUE;
}

void DestroyOffscreenContext() {
    if (Display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (Context != EGL_NO_CONTEXT)
        eglDestroyContext(Display, Context);
    if (Surface != EGL_NO_SURFACE)
        eglDestroySurface(Display, Surface);
    Context = EGL_NO_CONTEXT;
    Surface = EGL_NO_SURFACE;
}

Rgb ReadPixel(int x, int y) {
    uint8_t rgba[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

std::vector<uint8_t> ReadFrame(int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
