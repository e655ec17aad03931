// One frame of the watch, and the keys that switch its parts between frames.
#include <cmath>

#include "scene/gear_train.h"
#include "scene/hands.h"
#include "scene/scene.h"
#include "scene/scene_state.h"
#include "shell/shell_state.h"

namespace {

void PlaceWatch() {
    glTranslatef(ViewX, ViewY, ViewZ);
    if (DragMode == DragSway) {
        // Until the first click the watch circles a spin of 10 degrees with an amplitude of
        // 30 on each axis; one turn of t is 600 pi ms, a little under 1.9 s.
        const double t = static_cast<double>(ElapsedMs) / 300.0;
        glRotatef(static_cast<GLfloat>(30.0 * std::cos(t)), 1.0f, 0.0f, 0.0f);
        glRotatef(static_cast<GLfloat>(30.0 * std::sin(t) + 10.0), 0.0f, 1.0f, 0.0f);
    } else {
        glRotatef(TiltX, 1.0f, 0.0f, 0.0f);
        glRotatef(SpinY, 0.0f, 1.0f, 0.0f);
    }
}

void DrawDialAndHands() {
    glCallList(DialList);
    DrawHands();
}

void DrawCaseAndGlass() {
    glPushMatrix();
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_2D);
    glCallList(CaseList);
    glDisable(GL_TEXTURE_2D);
    // The glass is placed within the frame the case list leaves behind.
    if (ShowGlass)
        glCallList(GlassList);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glPopMatrix();
}

void DrawWorks() {
    // Turned over so that the train's front faces the back of the watch; 176 rather than
    // 180 about z sets the wheels a little off square to the dial.
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(176.0f, 0.0f, 0.0f, 1.0f);
    DrawGearTrain();
}

// Consumes one key press: true if the key went down since it was last looked at.
bool TakeKeyPress(int key) {
    if (KeyDown[key] == 0)
        return false;
    KeyDown[key] = 0;
    return true;
}

} // namespace

void DrawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    PlaceWatch();
    if (ShowDial)
        DrawDialAndHands();
    if (ShowCase)
        DrawCaseAndGlass();
    // The works show through an outlined case, or with no case at all.
    if (!ShowCase || Wireframe)
        DrawWorks();
}

void ApplyKeyToggles() {
    if (TakeKeyPress(KeyWireframe)) {
        Wireframe ^= 1;
        glPolygonMode(GL_FRONT_AND_BACK, Wireframe ? GL_LINE : GL_FILL);
    }
    if (TakeKeyPress(KeyLighting)) {
        // The glass and the lighting go together.
        ShowGlass ^= 1;
        if (ShowGlass)
            glEnable(GL_LIGHTING);
        else
            glDisable(GL_LIGHTING);
    }
    if (TakeKeyPress(KeyDial))
        ShowDial ^= 1;
    if (TakeKeyPress(KeyCase))
        ShowCase ^= 1;
}
