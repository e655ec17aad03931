// The renderer's benchmark: how long a frame of the watch takes against an empty frame on
// the same context and how much of it passes in DrawScene, how soon the first frame is
// finished, peak memory, and the heap allocations made while frames are drawn.
#pragma once

#include <ctime>

#include "tools/render/render_options.h"

// Moments of one run, on the monotonic clock.
struct StartTimes {
    timespec Main;            // main began
    timespec FirstEmptyFrame; // the first cleared-only frame was finished
    timespec SceneReady;      // ResizeScene and InitScene had returned
    timespec FirstFullFrame;  // the scene's first frame was finished
};

timespec ReadMonotonicClock();
// Draws one frame holding nothing but the cleared buffers, and waits for it.
void DrawEmptyFrame();
// Times options.BenchFrames full and empty frames on the current context, the scene set
// up and posed by options, and prints the figures to standard output.
void RunBenchmark(const RenderOptions& options, const StartTimes& start);
