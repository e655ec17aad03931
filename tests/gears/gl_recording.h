// A recording of the immediate-mode calls the gear emitters make, taken at the link seam:
// this test program defines glBegin, glEnd, glNormal3f, glVertex3f and glShadeModel itself,
// notes each call while a recording is running and passes it on to the real GL, so what is
// recorded is exactly what the GL received.
#pragma once

#include <vector>

#include "platform/opengl.h"

struct RecordedVertex {
    float position[3];
    float normal[3]; // the normal current when the vertex was issued
};

struct RecordedPrimitive {
    GLenum mode;
    GLenum shadeModel; // the shade model last set before glBegin
    std::vector<RecordedVertex> vertices;
};

// Starts a fresh recording; the shade model counts as GL_SMOOTH until one is set.
void StartGlRecording();
// Ends the recording and gives back the primitives, in order.
std::vector<RecordedPrimitive> StopGlRecording();
// The shade models set during the recording, in order.
const std::vector<GLenum>& RecordedShadeModels();
