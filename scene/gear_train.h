// The gear train behind the dial: eight gears on five axes, turning at fixed ratios.
#pragma once

#include <cstdint>

#include "platform/opengl.h"

// Records Wheel32List, Pinion11List, Wheel24List and Pinion7List. Needs the Quadric.
void BuildGearLists();
// Draws the train at the current ElapsedMs, in the train's frame; leaves the matrix as it
// found it.
void DrawGearTrain();

// The rod a gear turns on, drawn in the gear's frame and closed at its -z end only.
enum GearArbor : int32_t {
    NoArbor,
    ShortArbor, // z from -0.6 to +0.2 of the gear's mid-plane
    LongArbor,  // z from -1.0 to +0.2 of the gear's mid-plane
};

// Where the translation of a placement goes relative to its turn. Both act along z for the
// one row that turns first, so the result is the same; the order is kept as drawn.
enum GearTranslation : int32_t { NoTranslation, TranslateThenTurn, TurnThenTranslate };

// One gear of the train. It turns about its own z axis by
// sign * ElapsedMs / divisor + offset degrees.
struct GearPlacement {
    const GLuint* list; // the display list holding the gear's shape
    GearTranslation translation;
    float x, y, z; // model units in the train's frame
    int32_t sign;  // +1 counter-clockwise seen from +z of the train's frame, -1 clockwise
    double divisor;
    double offset; // degrees at ElapsedMs 0
    GearArbor arbor;
};

constexpr int32_t GearPlacementCount = 8;
// The train's eight gears, in drawing order.
extern const GearPlacement GearPlacements[GearPlacementCount];

// The angle in degrees handed to glRotatef for a placement at elapsedMs, reduced to within
// one turn so that it keeps its full resolution however long the program runs.
float ComputeGearAngle(const GearPlacement& placement, int32_t elapsedMs);
