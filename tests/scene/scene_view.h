// A frame captured in GL feedback mode, each corner taken back into the watch's frame through
// the camera the watch is meant to have: found only where geometry and camera both put it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "platform/offscreen_gl.h"
#include "platform/opengl.h"
#include "scene/scene.h"
#include "scene/scene_state.h"
#include "shell/shell_state.h"
#include "tests/support/fake_platform.h"

// Translation, tilt about x, spin about y; the gear train turned over and 176 degrees about z.
struct View {
    double tilt = 0.0, spin = 0.0;
    double x = 0.0, y = -2.5, z = -34.0;
    bool train = false;
};

struct Corner {
    double x, y, z; // model units, in the frame the view names
    float rgba[4];  // after lighting
    float s, t;     // texture coordinates, after generation
};
struct Capture {
    std::vector<Corner> corners;
    std::vector<std::vector<Corner>> polygons; // those facing the eye; none in outline mode
};

class SceneTest : public ::testing::Test {
  public:
    static constexpr int Width = 800, Height = 600;
    static constexpr GLint Viewport[4] = {0, 0, Width, Height};

    void SetUp() override {
        fake::Reset();
        ElapsedMs = 0;
        ASSERT_TRUE(MakeOffscreenContext(Width, Height)) << "no offscreen EGL context";
        ResizeScene(Width, Height);
        InitScene();
    }
    void TearDown() override {
        if (Quadric != nullptr)
            gluDeleteQuadric(Quadric), Quadric = nullptr;
        DestroyOffscreenContext();
    }

    static void Pose(float tilt, float spin) { DragMode = DragNone, TiltX = tilt, SpinY = spin; }
    static void PressKeys(const char* keys) {
        for (; *keys != '\0'; ++keys)
            KeyDown[static_cast<unsigned char>(*keys)] = 1;
        ApplyKeyToggles();
    }

    static void GetMatrices(const View& view, GLdouble* modelView, GLdouble* projection) {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        gluPerspective(45.0, static_cast<double>(Width) / Height, 1.0, 100.0);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW); // reloaded by every frame
        glLoadIdentity();
        glTranslated(view.x, view.y, view.z);
        glRotated(view.tilt, 1, 0, 0);
        glRotated(view.spin, 0, 1, 0);
        if (view.train) {
            glRotated(180, 1, 0, 0);
            glRotated(176, 0, 0, 1);
        }
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    }

    static Capture CaptureFrame(const View& view) {
        std::vector<GLfloat> buffer(1 << 21);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        DrawScene();
        const GLint used = glRenderMode(GL_RENDER); // -1 if the buffer were too small
        GLdouble modelView[16], projection[16];
        GetMatrices(view, modelView, projection);
        Capture capture;
        for (GLint i = 0; i < used;) {
            const GLint token = static_cast<GLint>(buffer[i++]);
            GLint count = 1;
            if (token == GL_POLYGON_TOKEN)
                count = static_cast<GLint>(buffer[i++]), capture.polygons.emplace_back();
            else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN)
                count = 2;
            for (GLint k = 0; k < count; ++k, i += 11) {
                const GLfloat* v = &buffer[i];
                Corner c = {0, 0, 0, {v[3], v[4], v[5], v[6]}, v[7] / v[10], v[8] / v[10]};
                gluUnProject(v[0], v[1], v[2], modelView, projection, Viewport, &c.x, &c.y, &c.z);
                capture.corners.push_back(c);
                if (token == GL_POLYGON_TOKEN)
                    capture.polygons.back().push_back(c);
            }
        }
        return capture;
    }

    static bool IsNear(const Corner& c, double x, double y, double z) {
        return std::fabs(c.x - x) < 0.01 && std::fabs(c.y - y) < 0.01 && std::fabs(c.z - z) < 0.01;
    }
    template <typename Test> static bool HasCorner(const Capture& capture, Test test) {
        return std::any_of(capture.corners.begin(), capture.corners.end(), test);
    }
    static bool Has(const Capture& capture, double x, double y, double z) {
        return HasCorner(capture, [&](const Corner& c) { return IsNear(c, x, y, z); });
    }
    // A corner on the circle of radius r about the axis through (x, y), at height z.
    static bool HasOnCircle(const Capture& capture, double x, double y, double r, double z) {
        return HasCorner(capture, [&](const Corner& c) {
            return std::fabs(std::hypot(c.x - x, c.y - y) - r) < 0.005 &&
                   std::fabs(c.z - z) < 0.005;
        });
    }
};
