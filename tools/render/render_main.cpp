// orlentic-render: draws the watch scene offscreen, exactly as the viewer composes its
// frames, and writes the picture as a PNG or times frames.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/opengl.h"
#include "scene/scene.h"
#include "scene/scene_state.h"
#include "shell/shell_state.h"
#include "platform/offscreen_gl.h"
#include "tools/render/benchmark.h"
#include "tools/render/png_file.h"
#include "tools/render/render_options.h"
#include "tools/render/render_platform.h"

namespace {

// Exit statuses: a picture written or figures printed, a failure on the way, a bad
// command line.
const int ExitDone = 0;
const int ExitFailed = 1;
const int ExitUsage = 2;

int FailUsage(const std::string& error) {
    std::fprintf(stderr, "orlentic-render: %s\n", error.c_str());
    std::fputs(GetRenderUsage(), stderr);
    return ExitUsage;
}

int Fail(const std::string& error) {
    std::fprintf(stderr, "orlentic-render: %s\n", error.c_str());
    return ExitFailed;
}

// As the viewer starts its scene: the projection first, then the one-time set-up.
void StartScene(const RenderOptions& options) {
    ResizeScene(options.Width, options.Height);
    InitScene();
}

// The options reach the scene as the viewer's input does: through the shared view state,
// a click's pose, and key presses that ApplyKeyToggles turns into flags and GL state.
void PoseScene(const RenderOptions& options) {
    ElapsedMs = options.ElapsedMs;
    ViewX = options.ViewX;
    ViewY = options.ViewY;
    ViewZ = options.ViewZ;
    if (options.FixedPose) {
        DragMode = DragNone;
        TiltX = options.TiltX;
        SpinY = options.SpinY;
    }
    KeyDown[KeyWireframe] = options.Wireframe;
    KeyDown[KeyLighting] = options.NoGlass;
    KeyDown[KeyDial] = options.NoDial;
    KeyDown[KeyCase] = options.NoCase;
    ApplyKeyToggles();
}

void DrawFinishedFrame() {
    DrawScene();
    glFinish();
}

int WritePicture(const RenderOptions& options) {
    DrawFinishedFrame();
    const std::vector<uint8_t> pixels = ReadFrame(options.Width, options.Height);
    std::string error;
    if (!WritePngFile(options.OutputPath, options.Width, options.Height, pixels, error))
        return Fail(error);
    return ExitDone;
}

} // namespace

int main(int argc, char** argv) {
    StartTimes start{};
    start.Main = ReadMonotonicClock();
    RenderOptions options = MakeDefaultRenderOptions();
    std::string error;
    if (!ParseRenderOptions(argc, argv, options, error))
        return FailUsage(error);
    if (options.Help) {
        std::fputs(GetRenderUsage(), stdout);
        return ExitDone;
    }
    if (options.FixedTime)
        FixLocalTime(options.Hour, options.Minute, options.Second);
    if (!MakeOffscreenContext(options.Width, options.Height))
        return Fail("no offscreen OpenGL context (EGL on Mesa's surfaceless platform)");

    // An empty frame first, so that the figures can tell the context's cost from the scene's.
    const bool bench = options.BenchFrames > 0;
    if (bench) {
        DrawEmptyFrame();
        start.FirstEmptyFrame = ReadMonotonicClock();
    }
    StartScene(options);
    start.SceneReady = ReadMonotonicClock();
    PoseScene(options);
    if (bench) {
        DrawFinishedFrame();
        start.FirstFullFrame = ReadMonotonicClock();
        RunBenchmark(options, start);
    }

    const int status = options.OutputPath.empty() ? ExitDone : WritePicture(options);
    DestroyOffscreenContext();
    return status;
}
