// What the shell may call in the watch scene. Everything else passes through the
// process-wide variables of shell/shell_state.h and scene/scene_state.h.
#pragma once

#include <cstdint>

// Viewport and perspective for a drawing area of width by height pixels; a height of 0
// counts as 1. Leaves the model-view matrix selected and reset.
void ResizeScene(int32_t width, int32_t height);
// One-time GL state, textures, display lists and the defaults of flags and view.
void InitScene();
// One frame into the back buffer.
void DrawScene();
// Applies the W, L, F and C keys pressed since the last frame.
void ApplyKeyToggles();

// The virtual-key codes ApplyKeyToggles reads: the keys' capital letters.
constexpr int KeyWireframe = 'W'; // outlines
constexpr int KeyLighting = 'L';  // glass and lighting
constexpr int KeyDial = 'F';      // dial and hands
constexpr int KeyCase = 'C';      // case
