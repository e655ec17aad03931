// The hands follow the computer's clock, not ElapsedMs, and are drawn in immediate mode
// because they change from frame to frame.
#include "scene/hands.h"

// The kernel header defines APIENTRY outright and the GL header only when it is missing, so
// this order keeps the two from clashing.
#include "platform/win32_kernel.h"
#include "platform/opengl.h"
#include "scene/scene_state.h"

namespace {

// The hands float above the dial's face (at z = 0.3): the hour hand from 0.4 to 0.5, the
// minute hand from 0.5 to 0.6, so the minute hand always lies over the hour hand.
constexpr float HandsHeight = 0.4f;
constexpr float RidgeHeight = 0.1f;
constexpr float HourHandBase = 0.0f;
constexpr float MinuteHandBase = 0.1f;

// The small-seconds sub-dial is centred 3.94 below the dial's centre, towards 6 o'clock.
constexpr float SecondsCentreY = -3.94f;
constexpr double SecondsHubRadius = 0.15;
constexpr GLint SecondsHubSlices = 8;

// A pointed lozenge along +x from a tail at x = -1 to its tip, 0.4 wide at the pivot, with
// a ridge rising from the tail to 0.1 above the pivot. The brighter facet lies on the
// hand's clockwise side. The corners of a facet are not coplanar; the GL splits the quads.
void DrawLozengeHand(float angle, float tipX, float baseZ) {
    const float ridgeZ = baseZ + RidgeHeight;
    glPushMatrix();
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glColor3f(1.0f, 0.2f, 0.2f);
    glVertex3f(-1.0f, 0.0f, baseZ);
    glVertex3f(0.0f, -0.2f, baseZ);
    glVertex3f(tipX, 0.0f, baseZ);
    glVertex3f(0.0f, 0.0f, ridgeZ);
    glColor3f(0.8f, 0.2f, 0.2f);
    glVertex3f(-1.0f, 0.0f, baseZ);
    glVertex3f(0.0f, 0.0f, ridgeZ);
    glVertex3f(tipX, 0.0f, baseZ);
    glVertex3f(0.0f, 0.2f, baseZ);
    glEnd();
    glPopMatrix();
}

// A flat rhombus 0.14 wide, from 0.1 behind its pivot to 1.6 in front, with an eight-sided
// hub over the pivot. It keeps the darker red the minute hand left current.
void DrawSecondsHand(float angle) {
    glPushMatrix();
    glTranslatef(0.0f, SecondsCentreY, 0.0f);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3f(-0.1f, 0.0f, 0.0f);
    glVertex3f(0.0f, -0.07f, 0.0f);
    glVertex3f(1.6f, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.07f, 0.0f);
    glEnd();
    DrawQuadricDisk(0.0, SecondsHubRadius, SecondsHubSlices);
    glPopMatrix();
}

} // namespace

// The hour hand advances half a degree a minute and the minute hand a tenth of a degree a
// second; the seconds hand steps by 6 degrees. Hours 12 to 23 are not reduced: they add
// one whole turn, which points the hand the same way.
HandAngles ReadHandAngles() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    HandAngles angles;
    angles.hour = static_cast<float>(90 - 30 * now.wHour - now.wMinute / 2.0);
    angles.minute = static_cast<float>(90 - 6 * now.wMinute - now.wSecond / 10.0);
    angles.seconds = static_cast<float>(90 - 6 * now.wSecond);
    return angles;
}

void DrawHands() {
    const HandAngles angles = ReadHandAngles();
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, HandsHeight);
    // One normal, facing out of the dial, serves every vertex of the three hands.
    glNormal3f(0.0f, 0.0f, 1.0f);
    DrawLozengeHand(angles.hour, 4.0f, HourHandBase);
    DrawLozengeHand(angles.minute, 6.0f, MinuteHandBase);
    DrawSecondsHand(angles.seconds);
    glPopMatrix();
}
