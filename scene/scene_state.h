// The watch scene's shared state: display flags, display lists, textures and the quadric.
// All zero until InitScene runs; defined once, in scene/scene_setup.cpp.
#pragma once

#include <cstdint>

#include "platform/opengl.h"

// Display flags, each 0 or 1 and flipped by exclusive-or with 1.
extern uint8_t Wireframe; // polygons as outlines; also shows the gears through the case
extern uint8_t ShowDial;  // dial and hands drawn
extern uint8_t ShowCase;  // case (and glass) drawn; the gears are drawn while it is 0
extern uint8_t ShowGlass; // glass drawn, and lighting on

// Display lists, recorded once at start-up and replayed every frame.
extern GLuint CaseList;     // the case mesh, reflection texture bound
extern GLuint GlassList;    // the transparent glass mesh
extern GLuint DialList;     // the textured dial disk and its back
extern GLuint Wheel32List;  // 32-tooth wheel with four spokes and a hub
extern GLuint Pinion11List; // 11-leaf pinion
extern GLuint Wheel24List;  // 24-tooth wheel with four spokes
extern GLuint Pinion7List;  // 7-leaf pinion

// Names a new display list, stores the name in list before anything is recorded, and
// records into it what record emits.
void RecordList(GLuint& list, void (*record)());

// Textures, 0 when their picture could not be loaded.
extern GLuint DialTexture;       // the dial picture
extern GLuint ReflectionTexture; // the environment picture sphere-mapped onto the case

// The one GLU quadric, smooth normals and texture coordinates on, for every disk and
// cylinder; null when GLU could not make one.
extern GLUquadric* Quadric;

// A disk in the plane z = 0 facing +z, and a cylinder along +z from z = 0, of one ring or
// stack, drawn with the Quadric. Without a quadric they draw nothing, so that the rest of
// the watch is still drawn.
void DrawQuadricDisk(double innerRadius, double outerRadius, GLint slices);
void DrawQuadricCylinder(double radius, double length, GLint slices);
