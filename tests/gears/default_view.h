// The scene's default view for the gear and hand tests, set up here rather than through
// the scene's own set-up so that only the part under test draws.
#pragma once

#include <gtest/gtest.h>

#include "platform/opengl.h"
#include "scene/scene_state.h"
#include "platform/offscreen_gl.h"

constexpr int ViewSize = 512;

// Fixed GL state as the scene keeps it, with lighting off unless asked for.
inline void PrepareDefaultView(bool lighting) {
    glViewport(0, 0, ViewSize, ViewSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat lightPosition[] = {-18.0f, 15.0f, 3.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glClearColor(0.2f, 0.2f, 0.4f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 50.0f);
    if (lighting)
        glEnable(GL_LIGHTING);
    if (Quadric == nullptr)
        Quadric = gluNewQuadric();
}

// A fresh frame seen from the front (or, turned half round about y, from behind).
inline void StartFrame(bool fromBehind) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, -2.5f, -34.0f);
    if (fromBehind)
        glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
}

// Leaves the model-view matrix as it found it.
template <typename Draw> void ExpectMatrixKept(Draw draw) {
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    draw();
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(before[i], after[i]) << "matrix entry " << i;
}
