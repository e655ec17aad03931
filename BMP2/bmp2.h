// Textures from 24-bit BMP files held among the program's own resources.
#pragma once

#include <cstdint>

#include "platform/opengl.h"

// Loads the resource of type "BMP" named by the part of fileName before its first "."
// (letter case ignored) into a new mipmapped texture and writes its name to texture.
// On failure it tells the user, leaves texture untouched and returns false.
bool LoadBmpTexture(const char* fileName, GLuint& texture);

// Uploads width by height pixels, 3 bytes each for GL_RGB or 4 for GL_RGBA, as a new
// texture with its mipmaps; leaves it bound and returns its name.
GLuint CreateTexture(uint16_t width, uint16_t height, uint16_t format, const uint8_t* pixels);

// Turns count pixels of blue, green, red into red, green, blue, in place.
void SwapRedBlue(uint8_t* pixels, uint32_t count);
