// The immediate-mode calls the gear emitters make, recorded at the link seam: this program
// defines glBegin, glNormal3f, glVertex3f and glShadeModel itself, notes each call while a
// recording runs and passes it on to the real GL.
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
std::vector<RecordedPrimitive> StopGlRecording();
