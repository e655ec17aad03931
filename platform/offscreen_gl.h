// An offscreen OpenGL compatibility context for the renderer and the tests: EGL on Mesa's
// surfaceless platform with a pbuffer, so no X server is needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Makes a width by height RGBA context with a 16-bit (or deeper) depth buffer current on
// this thread; false if EGL cannot give one. Replaces any context made before.
bool MakeOffscreenContext(int width, int height);
// Destroys the context made by MakeOffscreenContext, if any.
void DestroyOffscreenContext();

struct Rgb {
    uint8_t r, g, b;
};

// The pixel at (x, y) of the back buffer, y counted from the bottom as GL does.
Rgb ReadPixel(int x, int y);
// The whole back buffer, rows bottom first, 3 bytes a pixel.
std::vector<uint8_t> ReadFrame(int width, int height);
