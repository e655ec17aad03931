// A real scene on an offscreen GL context: set up as the shell does it, posed so that
// pixels can be predicted.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/opengl.h"
#include "scene/scene.h"
#include "scene/scene_state.h"
#include "shell/shell_state.h"
#include "tests/support/fake_platform.h"
#include "platform/offscreen_gl.h"

class SceneTest : public ::testing::Test {
  protected:
    static const int Width = 800;
    static const int Height = 600;

    void SetUp() override {
        fake::Reset();
        ResetShellState();
        ASSERT_TRUE(MakeOffscreenContext(Width, Height)) << "no offscreen EGL context";
    }
    void TearDown() override {
        ReleaseQuadric();
        DestroyOffscreenContext();
    }

    // A fresh context and a fresh start of the scene, as a new run of the program.
    void RestartScene() {
        ReleaseQuadric();
        DestroyOffscreenContext();
        ASSERT_TRUE(MakeOffscreenContext(Width, Height));
        StartScene();
    }

    // As the shell starts the scene: projection first, then the one-time set-up.
    void StartScene() {
        ResizeScene(Width, Height);
        InitScene();
    }

    // The pose after a click with no drag: the dial square to the eye unless tilted.
    void Pose(float tilt, float spin) {
        DragMode = DragNone;
        TiltX = tilt;
        SpinY = spin;
    }

    // Where a point of the dial's frame lands on screen with the default translation and
    // no rotation; y counted from the bottom as GL reads pixels.
    static void DialToWindow(double x, double y, double z, int& wx, int& wy) {
        const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
        const double aspect = static_cast<double>(Width) / Height;
        const double ex = x + ViewX, ey = y + ViewY, ez = z + ViewZ;
        wx = static_cast<int>(std::lround((f / aspect * ex / -ez + 1.0) * 0.5 * Width));
        wy = static_cast<int>(std::lround((f * ey / -ez + 1.0) * 0.5 * Height));
    }

    static int Brightness(Rgb c) { return c.r + c.g + c.b; }

  private:
    // The program keeps its one quadric until it ends; a test that starts the scene again
    // gives the old one back.
    static void ReleaseQuadric() {
        if (Quadric != nullptr)
            gluDeleteQuadric(Quadric);
        Quadric = nullptr;
    }

    static void ResetShellState() {
        ElapsedMs = 0;
        FrameCount = 0;
        std::memset(KeyDown, 0, sizeof KeyDown);
        DragMode = 0;
        TiltX = SpinY = ViewX = ViewY = ViewZ = 0.0f;
        // As at program start: a picture that fails to load must leave its texture at 0,
        // not at a name from an earlier test's context.
        DialTexture = ReflectionTexture = 0;
    }
};
