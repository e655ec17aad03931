// Animated WebP output of the offscreen renderer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Draws a frame: width by height pixels of 3 bytes (red, green, blue), rows bottom first as
// glReadPixels gives them.
using FrameDrawer = std::function<std::vector<uint8_t>(int32_t frame)>;

// Writes frameCount frames from drawFrame, each shown for intervalMs, as a looping lossless
// animated WebP. On failure returns false with the reason in error.
bool WriteWebpAnimation(const std::string& path, int32_t width, int32_t height, int32_t frameCount,
                        int32_t intervalMs, const FrameDrawer& drawFrame, std::string& error);
