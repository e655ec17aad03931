// The moving works: four gear shapes compiled once, replayed every frame at eight placements
// whose angles grow with ElapsedMs (not with the clock that drives the hands).
#include "scene/gear_train.h"

#include <cmath>

#include "scene/gear_geometry.h"
#include "scene/scene_state.h"
#include "shell/shell_state.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

// Every gear is 0.3 thick and has teeth 0.3 deep.
constexpr float FaceWidth = 0.3f;
constexpr float ToothDepth = 0.3f;

// The rods the gears turn on: radius 0.15, 16 facets around.
constexpr double ArborRadius = 0.15;
constexpr GLint ArborSlices = 16;

// The 32-tooth wheel's hub: a closed tube from radius 0.2 to 0.4, 0.3 long, centred on the
// mid-plane, of 16 facets.
constexpr double HubInnerRadius = 0.2;
constexpr double HubOuterRadius = 0.4;
constexpr double HubLength = 0.3;
constexpr float HubHalfLength = 0.15f;
constexpr GLint HubSlices = 16;

// The inside of the hub, facing the axis; the quadric's cylinder only faces outwards.
void EmitHubBore() {
    glBegin(GL_QUAD_STRIP);
    for (int32_t k = 0; k <= HubSlices; ++k) {
        const double alpha = static_cast<float>(k * Pi / 8.0);
        const float c = static_cast<float>(std::cos(alpha));
        const float s = static_cast<float>(std::sin(alpha));
        const float x = static_cast<float>(HubInnerRadius * std::cos(alpha));
        const float y = static_cast<float>(HubInnerRadius * std::sin(alpha));
        glNormal3f(-c, -s, 0.0f);
        glVertex3f(x, y, -HubHalfLength);
        glVertex3f(x, y, HubHalfLength);
    }
    glEnd();
}

// The hub through which the arbor of the 11-leaf pinion above it passes. It is drawn in the
// frame of the second spoke bar and turned 15 degrees more, 105 degrees from the teeth.
void EmitHub() {
    glTranslatef(0.0f, 0.0f, -HubHalfLength);
    glRotatef(15.0f, 0.0f, 0.0f, 1.0f);
    DrawQuadricCylinder(HubOuterRadius, HubLength, HubSlices);
    glTranslatef(0.0f, 0.0f, HubHalfLength);
    EmitHubBore();
    glTranslatef(0.0f, 0.0f, HubHalfLength);
    DrawQuadricDisk(HubInnerRadius, HubOuterRadius, HubSlices);
    // Turned over and moved to the other end, the second ring faces -z.
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, static_cast<float>(HubLength));
    DrawQuadricDisk(HubInnerRadius, HubOuterRadius, HubSlices);
}

// The spokes reach 0.01 past the bore into the rim, so no gap shows where they meet it.
void EmitWheel32() {
    BuildGear(32, 2.5f, 3.0f, FaceWidth, ToothDepth);
    BuildSpokeBar(0.3f, 2.51f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    BuildSpokeBar(0.3f, 2.51f);
    EmitHub();
}

void EmitPinion11() {
    BuildGear(11, 0.0f, 0.8f, FaceWidth, ToothDepth);
}

void EmitWheel24() {
    BuildGear(24, 1.5f, 2.0f, FaceWidth, ToothDepth);
    BuildSpokeBar(0.0f, 1.51f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    BuildSpokeBar(0.0f, 1.51f);
}

void EmitPinion7() {
    BuildGear(7, 0.1f, 0.6f, FaceWidth, ToothDepth);
}

// A rod of radius 0.15 from z = from to z = from + length, capped only at its -z end.
void DrawArbor(float from, double length) {
    glTranslatef(0.0f, 0.0f, from);
    DrawQuadricCylinder(ArborRadius, length, ArborSlices);
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    DrawQuadricDisk(0.0, ArborRadius, ArborSlices);
}

// The wheel lists leave the matrix turned (and moved), so every gear is bracketed.
void DrawPlacement(const GearPlacement& placement) {
    const float angle = ComputeGearAngle(placement, ElapsedMs);
    glPushMatrix();
    if (placement.translation == TranslateThenTurn)
        glTranslatef(placement.x, placement.y, placement.z);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    if (placement.translation == TurnThenTranslate)
        glTranslatef(placement.x, placement.y, placement.z);
    glCallList(*placement.list);
    if (placement.arbor == ShortArbor)
        DrawArbor(-0.6f, 0.8);
    else if (placement.arbor == LongArbor)
        DrawArbor(-1.0f, 1.2);
    glPopMatrix();
}

} // namespace

// Meshing pairs turn in opposite senses with rate times tooth count equal: 800 degrees of
// tooth pitch a second for rows 1, 6, 7 and 8, about 2200 for rows 2 and 3 and about 2743
// for rows 4 and 5. The divisors 10.91 and 4.01 are rounded to two decimals, so those two
// pairs agree only to within a few parts in ten thousand. Rows 5 and 6 share an axis.
const GearPlacement GearPlacements[GearPlacementCount] = {
    {&Wheel32List, NoTranslation, 0.0f, 0.0f, 0.0f, +1, 40.0, -40.0, NoArbor},
    {&Pinion11List, TurnThenTranslate, 0.0f, 0.0f, 0.4f, +1, 5.0, 0.0, ShortArbor},
    {&Wheel24List, TranslateThenTurn, 2.9f, 0.0f, 0.4f, -1, 10.91, -3.0, NoArbor},
    {&Pinion11List, TranslateThenTurn, 2.9f, 0.0f, 0.8f, -1, 4.01, 5.0, ShortArbor},
    {&Wheel24List, TranslateThenTurn, 3.0f, -2.9f, 0.8f, +1, 8.75, 0.0, LongArbor},
    {&Pinion7List, TranslateThenTurn, 3.0f, -2.9f, 0.0f, +1, 8.75, -35.0, NoArbor},
    {&Pinion11List, TranslateThenTurn, 1.68f, -3.5f, 0.0f, -1, 13.75, 4.0, NoArbor},
    {&Pinion7List, TranslateThenTurn, 0.3f, -4.0f, 0.0f, +1, 8.75, 8.0, NoArbor},
};

// Negated in 64 bits, so that even the most negative count turns the other way. The angle
// is reduced in double before it is rounded: a single holding hundreds of thousands of
// degrees would step by a sixteenth of a degree or more and the gears would stutter.
float ComputeGearAngle(const GearPlacement& placement, int32_t elapsedMs) {
    const int64_t signedMs = placement.sign < 0 ? -int64_t{elapsedMs} : int64_t{elapsedMs};
    const double turned = static_cast<double>(signedMs) / placement.divisor + placement.offset;
    return static_cast<float>(std::fmod(turned, 360.0));
}

void BuildGearLists() {
    RecordList(Wheel32List, EmitWheel32);
    RecordList(Pinion11List, EmitPinion11);
    RecordList(Wheel24List, EmitWheel24);
    RecordList(Pinion7List, EmitPinion7);
}

void DrawGearTrain() {
    glColor3f(0.7f, 0.7f, 0.7f);
    for (const GearPlacement& placement : GearPlacements)
        DrawPlacement(placement);
}
