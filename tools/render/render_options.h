// The offscreen renderer's command line: what to draw, how large, and where to put it.
#pragma once

#include <cstdint>
#include <string>

struct RenderOptions {
    int32_t Width = 800; // pixels
    int32_t Height = 600;
    bool FixedTime = false; // false: the hands start at the real local time
    uint16_t Hour = 0, Minute = 0, Second = 0;
    int32_t ElapsedMs = 0;            // the first frame's: drives the sway and the gears
    bool FixedPose = false;           // false: the automatic sway at ElapsedMs
    float TiltX = 0.0f, SpinY = 0.0f; // degrees, the pose after a click
    // The viewer's start view: the dial 34 units ahead and 2.5 below the line of sight.
    float ViewX = 0.0f, ViewY = -2.5f, ViewZ = -34.0f;
    bool Wireframe = false, NoGlass = false, NoDial = false, NoCase = false; // as the keys
    std::string OutputPath;  // empty: no picture written
    int32_t Frames = 0;      // 0: one still PNG; else an animated WebP of this many frames
    int32_t IntervalMs = 80; // elapsed time from one frame to the next
    int32_t BenchFrames = 0; // 0: no benchmark
};

// Reads argv into options. Returns -1 when there is something to draw, else the exit status
// to end with at once, having printed the help or the version (0), or a one-line reason and
// the usage (2).
int ReadRenderOptions(int argc, const char* const* argv, RenderOptions& options);
