// orlentic-render: draws the watch scene offscreen, exactly as the viewer composes its
// frames, and writes the picture as a PNG, an animation as a WebP, or times frames.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/fixed_clock.h"
#include "platform/opengl.h"
#include "scene/scene.h"
#include "scene/scene_state.h"
#include "shell/shell_state.h"
#include "platform/offscreen_gl.h"
#include "tools/render/benchmark.h"
#include "tools/render/png_file.h"
#include "tools/render/render_options.h"
#include "tools/render/webp_file.h"

namespace {

// Exit statuses: a picture written or figures printed, and a failure on the way. A bad
// command line ends earlier, with 2.
const int ExitDone = 0;
const int ExitFailed = 1;

const int64_t MsPerDay = 24 * 60 * 60 * 1000;

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

// The moment the hands start at: the one asked for, or else the local time now.
SYSTEMTIME ReadStartMoment(const RenderOptions& options) {
    SYSTEMTIME moment{};
    GetLocalTime(&moment);
    if (options.FixedTime) {
        moment.wHour = options.Hour;
        moment.wMinute = options.Minute;
        moment.wSecond = options.Second;
        moment.wMilliseconds = 0;
    }
    return moment;
}

// The clock laterMs after start, as the viewer's clock would read it. The hands read only
// the time of day, so the date stays.
SYSTEMTIME AdvanceMoment(const SYSTEMTIME& start, int64_t laterMs) {
    const int64_t startMs =
        ((start.wHour * int64_t{60} + start.wMinute) * 60 + start.wSecond) * 1000 +
        start.wMilliseconds;
    const int64_t ms = (startMs + laterMs) % MsPerDay;
    SYSTEMTIME moment = start;
    moment.wHour = static_cast<WORD>(ms / 3600000);
    moment.wMinute = static_cast<WORD>(ms / 60000 % 60);
    moment.wSecond = static_cast<WORD>(ms / 1000 % 60);
    moment.wMilliseconds = static_cast<WORD>(ms % 1000);
    return moment;
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

// Frame i is i intervals after the first in both the sway and gears' elapsed time and the
// hands' clock, so the seconds hand steps as it does in the viewer.
int WriteAnimation(const RenderOptions& options, const SYSTEMTIME& start) {
    const FrameDrawer drawFrame = [&options, &start](int32_t frame) {
        const int64_t laterMs = int64_t{frame} * options.IntervalMs;
        const SYSTEMTIME moment = AdvanceMoment(start, laterMs);
        FixLocalTime(&moment);
        ElapsedMs = static_cast<int32_t>(options.ElapsedMs + laterMs);
        DrawFinishedFrame();
        return ReadFrame(options.Width, options.Height);
    };
    std::string error;
    if (!WriteWebpAnimation(options.OutputPath, options.Width, options.Height, options.Frames,
                            options.IntervalMs, drawFrame, error))
        return Fail(error);
    return ExitDone;
}

} // namespace

int main(int argc, char** argv) {
    StartTimes start{};
    start.Main = ReadMonotonicClock();
    RenderOptions options;
    const int parsed = ReadRenderOptions(argc, argv, options);
    if (parsed >= 0)
        return parsed;
    // A picture shows one moment, even when drawing it spans a change of second.
    const SYSTEMTIME firstMoment = ReadStartMoment(options);
    FixLocalTime(&firstMoment);
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

    int status = ExitDone;
    if (!options.OutputPath.empty())
        status = options.Frames > 0 ? WriteAnimation(options, firstMoment) : WritePicture(options);
    DestroyOffscreenContext();
    return status;
}
