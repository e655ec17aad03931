// PNG output of the offscreen renderer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes width by height pixels of 3 bytes (red, green, blue), rows bottom first as
// glReadPixels gives them, as an 8-bit RGB PNG. On failure returns false with the reason in
// error.
bool WritePngFile(const std::string& path, int32_t width, int32_t height,
                  const std::vector<uint8_t>& pixels, std::string& error);
