// Immediate-mode emitters for the gear train's shapes. They run once at start-up, inside
// display-list compilation, so nothing here is time-critical.
//
// Angles are rounded to single when computed (the tooth angles, the bore angles and the
// quarter step), while the offsets from them, their sines and cosines and the products with
// the radii are taken in double: the vertices of every gear come out the same on every
// compiler and every platform.
#include "scene/gear_geometry.h"

#include <cmath>

#include "platform/opengl.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

// Half the side of a spoke's square cross-section, in model units.
constexpr float SpokeHalfSide = 0.15f;

// What one gear is made of, every length and angle already rounded to single.
struct GearShape {
    int32_t toothCount;
    float boreRadius;
    float rootRadius;
    float tipRadius;
    float quarterStep; // radians: a tooth period is four quarters (flank, tip, flank, root)
    float frontZ;
    float backZ;
};

// The start angle of tooth i, in radians.
float GetToothAngle(const GearShape& gear, int32_t tooth) {
    return static_cast<float>(2.0 * tooth * Pi / gear.toothCount);
}

// The angle of bore segment j: the bore is split at twice the tooth count, half a quarter
// step past tooth 0, so that its edges meet the inner vertices of both faces.
float GetBoreAngle(const GearShape& gear, int32_t segment) {
    return static_cast<float>(segment * Pi / gear.toothCount + gear.quarterStep / 2.0);
}

// The point at radius and angle (radians) on the plane z.
void EmitPolarVertex(double radius, double angle, float z) {
    glVertex3f(static_cast<float>(radius * std::cos(angle)),
               static_cast<float>(radius * std::sin(angle)), z);
}

// The same point on the front and then on the back face: one rung of the outline strip.
void EmitOutlinePair(const GearShape& gear, double radius, double angle) {
    EmitPolarVertex(radius, angle, gear.frontZ);
    EmitPolarVertex(radius, angle, gear.backZ);
}

// The flat ring between bore and root circle, facing +z. Each pair lists the inner vertex
// first, so the ring winds counter-clockwise seen from the front. The last iteration lies
// one full turn on: it closes the ring, and its last quad covers the first one again.
void EmitFrontFace(const GearShape& gear) {
    const double da = gear.quarterStep;
    glNormal3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_QUAD_STRIP);
    for (int32_t i = 0; i <= gear.toothCount; ++i) {
        const double theta = GetToothAngle(gear, i);
        EmitPolarVertex(gear.boreRadius, theta + da / 2.0, gear.frontZ);
        EmitPolarVertex(gear.rootRadius, theta, gear.frontZ);
        EmitPolarVertex(gear.boreRadius, theta + 5.0 * da / 2.0, gear.frontZ);
        EmitPolarVertex(gear.rootRadius, theta + 3.0 * da, gear.frontZ);
    }
    glEnd();
}

// The same ring facing -z: outer vertex first, so it winds the other way.
void EmitBackFace(const GearShape& gear) {
    const double da = gear.quarterStep;
    glNormal3f(0.0f, 0.0f, -1.0f);
    glBegin(GL_QUAD_STRIP);
    for (int32_t i = 0; i <= gear.toothCount; ++i) {
        const double theta = GetToothAngle(gear, i);
        EmitPolarVertex(gear.rootRadius, theta, gear.backZ);
        EmitPolarVertex(gear.boreRadius, theta + da / 2.0, gear.backZ);
        EmitPolarVertex(gear.rootRadius, theta + 3.0 * da, gear.backZ);
        EmitPolarVertex(gear.boreRadius, theta + 5.0 * da / 2.0, gear.backZ);
    }
    glEnd();
}

// One trapezoid per tooth on the front, standing on the root circle between its flanks.
void EmitFrontToothFaces(const GearShape& gear) {
    const double da = gear.quarterStep;
    glNormal3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    for (int32_t i = 0; i < gear.toothCount; ++i) {
        const double theta = GetToothAngle(gear, i);
        EmitPolarVertex(gear.rootRadius, theta, gear.frontZ);
        EmitPolarVertex(gear.tipRadius, theta + da, gear.frontZ);
        EmitPolarVertex(gear.tipRadius, theta + 2.0 * da, gear.frontZ);
        EmitPolarVertex(gear.rootRadius, theta + 3.0 * da, gear.frontZ);
    }
    glEnd();
}

// The same trapezoids on the back, corners in the reverse order.
void EmitBackToothFaces(const GearShape& gear) {
    const double da = gear.quarterStep;
    glNormal3f(0.0f, 0.0f, -1.0f);
    glBegin(GL_QUADS);
    for (int32_t i = 0; i < gear.toothCount; ++i) {
        const double theta = GetToothAngle(gear, i);
        EmitPolarVertex(gear.rootRadius, theta + 3.0 * da, gear.backZ);
        EmitPolarVertex(gear.tipRadius, theta + 2.0 * da, gear.backZ);
        EmitPolarVertex(gear.tipRadius, theta + da, gear.backZ);
        EmitPolarVertex(gear.rootRadius, theta, gear.backZ);
    }
    glEnd();
}

// The flank from (fromRadius, fromAngle) to (toRadius, toAngle) in the xy plane, as a
// vector rounded to single.
void GetFlank(double fromRadius, double fromAngle, double toRadius, double toAngle, float* u,
              float* v) {
    *u = static_cast<float>(toRadius * std::cos(toAngle) - fromRadius * std::cos(fromAngle));
    *v = static_cast<float>(toRadius * std::sin(toAngle) - fromRadius * std::sin(fromAngle));
}

// The rising flank's outward normal, of unit length.
void SetRisingFlankNormal(const GearShape& gear, double theta) {
    float u = 0.0f;
    float v = 0.0f;
    GetFlank(gear.rootRadius, theta, gear.tipRadius, theta + gear.quarterStep, &u, &v);
    const float length = static_cast<float>(std::sqrt(double(u) * u + double(v) * v));
    glNormal3f(v / length, -u / length, 0.0f);
}

// The falling flank's outward normal, left at the flank's own length (about a third): the
// scene renormalises normals, so the light still falls on it as on the rising flank.
void SetFallingFlankNormal(const GearShape& gear, double theta) {
    float u = 0.0f;
    float v = 0.0f;
    GetFlank(gear.tipRadius, theta + 2.0 * gear.quarterStep, gear.rootRadius,
             theta + 3.0 * gear.quarterStep, &u, &v);
    glNormal3f(v, -u, 0.0f);
}

// The tip and root lands both take the direction of the tooth's start angle.
void SetRadialNormal(double theta) {
    glNormal3f(static_cast<float>(std::cos(theta)), static_cast<float>(std::sin(theta)), 0.0f);
}

// The outward faces of flanks and lands. Under flat shading a strip's quad is lit by the
// normal current at its last vertex, so each normal is set just before the pair that ends
// its quad; the first pair still carries the back face's normal, which lights nothing.
void EmitOutline(const GearShape& gear) {
    const double da = gear.quarterStep;
    glBegin(GL_QUAD_STRIP);
    for (int32_t i = 0; i < gear.toothCount; ++i) {
        const double theta = GetToothAngle(gear, i);
        EmitOutlinePair(gear, gear.rootRadius, theta);
        SetRisingFlankNormal(gear, theta);
        EmitOutlinePair(gear, gear.tipRadius, theta + da);
        SetRadialNormal(theta);
        EmitOutlinePair(gear, gear.tipRadius, theta + 2.0 * da);
        SetFallingFlankNormal(gear, theta);
        EmitOutlinePair(gear, gear.rootRadius, theta + 3.0 * da);
        SetRadialNormal(theta);
    }
    EmitOutlinePair(gear, gear.rootRadius, 0.0);
    glEnd();
}

// The cylindrical hole, facing the axis, smooth-shaded.
void EmitBore(const GearShape& gear) {
    glBegin(GL_QUAD_STRIP);
    for (int32_t j = 0; j <= 2 * gear.toothCount; ++j) {
        const double phi = GetBoreAngle(gear, j);
        glNormal3f(static_cast<float>(-std::cos(phi)), static_cast<float>(-std::sin(phi)), 0.0f);
        EmitPolarVertex(gear.boreRadius, phi, gear.backZ);
        EmitPolarVertex(gear.boreRadius, phi, gear.frontZ);
    }
    glEnd();
}

// One long side of a spoke bar: its normal, then the quad over x in [a, b] and the quad over
// [-b, -a], both counter-clockwise seen from outside the bar.
struct SpokeSide {
    float normal[3];
    float corners[2][4][3];
};

void EmitSpokeSide(const SpokeSide& side) {
    glNormal3f(side.normal[0], side.normal[1], side.normal[2]);
    for (const auto& quad : side.corners)
        for (const auto& corner : quad)
            glVertex3f(corner[0], corner[1], corner[2]);
}

} // namespace

void BuildGear(int32_t toothCount, float boreRadius, float pitchRadius, float faceWidth,
               float toothDepth) {
    GearShape gear;
    gear.toothCount = toothCount;
    gear.boreRadius = boreRadius;
    gear.rootRadius = static_cast<float>(double(pitchRadius) - double(toothDepth) / 2.0);
    gear.tipRadius = static_cast<float>(double(pitchRadius) + double(toothDepth) / 2.0);
    gear.quarterStep = static_cast<float>(2.0 * Pi / toothCount / 4.0);
    gear.frontZ = faceWidth / 2.0f;
    gear.backZ = -faceWidth / 2.0f;

    glShadeModel(GL_FLAT);
    EmitFrontFace(gear);
    EmitBackFace(gear);
    EmitFrontToothFaces(gear);
    EmitBackToothFaces(gear);
    EmitOutline(gear);
    glShadeModel(GL_SMOOTH);
    EmitBore(gear);
}

void BuildSpokeBar(float inner, float outer) {
    const float a = inner;
    const float b = outer;
    const float s = SpokeHalfSide;
    const SpokeSide sides[4] = {
        {{0.0f, 1.0f, 0.0f},
         {{{a, s, -s}, {a, s, s}, {b, s, s}, {b, s, -s}},
          {{-b, s, -s}, {-b, s, s}, {-a, s, s}, {-a, s, -s}}}},
        {{0.0f, -1.0f, 0.0f},
         {{{a, -s, -s}, {b, -s, -s}, {b, -s, s}, {a, -s, s}},
          {{-b, -s, -s}, {-a, -s, -s}, {-a, -s, s}, {-b, -s, s}}}},
        {{0.0f, 0.0f, 1.0f},
         {{{a, -s, s}, {b, -s, s}, {b, s, s}, {a, s, s}},
          {{-b, -s, s}, {-a, -s, s}, {-a, s, s}, {-b, s, s}}}},
        {{0.0f, 0.0f, -1.0f},
         {{{a, -s, -s}, {a, s, -s}, {b, s, -s}, {b, -s, -s}},
          {{-b, -s, -s}, {-b, s, -s}, {-a, s, -s}, {-a, -s, -s}}}},
    };
    glBegin(GL_QUADS);
    for (const SpokeSide& side : sides)
        EmitSpokeSide(side);
    glEnd();
}
