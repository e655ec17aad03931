// The scene's default view for the gear and hand tests, set up here rather than through
// the scene's own set-up so that only the part under test draws.
#pragma once

#include <cmath>

#include "platform/opengl.h"
#include "scene/scene_state.h"
#include "tests/support/gl_context.h"

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
    glDepthFunc(GL_LESS);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    const GLfloat shininess[] = {50.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SHININESS, shininess);
    if (lighting)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
    if (Quadric == nullptr) {
        Quadric = gluNewQuadric();
        gluQuadricNormals(Quadric, GLU_SMOOTH);
        gluQuadricTexture(Quadric, GL_TRUE);
    }
}

// A fresh frame seen from the front (or, turned half round about y, from behind).
inline void StartFrame(bool fromBehind) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, -2.5f, -34.0f);
    if (fromBehind)
        glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
}

// Where a point of the current model frame lands in the window.
inline void ProjectToWindow(double x, double y, double z, int* wx, int* wy) {
    GLdouble modelview[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble winX = 0.0, winY = 0.0, winZ = 0.0;
    gluProject(x, y, z, modelview, projection, viewport, &winX, &winY, &winZ);
    *wx = static_cast<int>(std::lround(winX));
    *wy = static_cast<int>(std::lround(winY));
}

// The unlit hands' reds, (1.0, 0.2, 0.2) and (0.8, 0.2, 0.2).
inline bool IsHandRed(Rgb c) {
    return c.r >= 190 && c.g <= 70 && c.b <= 70;
}
