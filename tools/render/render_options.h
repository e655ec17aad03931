// The offscreen renderer's command line: what to draw, how large, and where to put it.
#pragma once

#include <cstdint>
#include <string>

struct RenderOptions {
    int32_t Width;  // pixels
    int32_t Height; // pixels
    bool FixedTime; // false: the hands show the real local time
    uint16_t Hour, Minute, Second;
    int32_t ElapsedMs;  // drives the sway and the gears
    bool FixedPose;     // false: the automatic sway at ElapsedMs
    float TiltX, SpinY; // degrees, the pose after a click
    float ViewX, ViewY, ViewZ;
    bool Wireframe, NoGlass, NoDial, NoCase; // each toggled once, as its key does
    std::string OutputPath;                  // empty: no picture written
    int32_t BenchFrames;                     // 0: no benchmark
    bool Help;
};

// The defaults: 800 by 600, the real local time, ElapsedMs 0, the sway, the viewer's view.
RenderOptions MakeDefaultRenderOptions();

// Reads argv[1..argc-1] into options (which start from the defaults). On a bad command line
// returns false with a one-line reason in error.
bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions& options,
                        std::string& error);

// The usage text, one option a line.
const char* GetRenderUsage();
