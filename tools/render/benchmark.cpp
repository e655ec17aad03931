#include "tools/render/benchmark.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/opengl.h"
#include "scene/scene.h"
#include "shell/shell_state.h"
#include "tools/render/allocation_count.h"

namespace {

// The sway and the gears move on between frames as they do at 60 frames a second.
const int64_t FrameStepMs = 16;
// Frames drawn before timing starts, so that the driver has compiled every state the
// frame needs.
const int WarmUpFrames = 5;

double GetMilliseconds(const timespec& from, const timespec& to) {
    return static_cast<double>(to.tv_sec - from.tv_sec) * 1000.0 +
           static_cast<double>(to.tv_nsec - from.tv_nsec) / 1.0e6;
}

// Milliseconds a frame from the call of DrawScene to its return: the program's own work and
// the GL calls it makes. A driver that rasterises only when it is waited for (llvmpipe)
// leaves the rest of the frame to glFinish; one that draws at once puts it all here.
double DrawFullFrame(int64_t frame, int32_t firstElapsedMs) {
    ElapsedMs = static_cast<int32_t>((firstElapsedMs + frame * FrameStepMs) % INT32_MAX);
    const timespec begin = ReadMonotonicClock();
    DrawScene();
    const double issueMs = GetMilliseconds(begin, ReadMonotonicClock());
    glFinish();
    return issueMs;
}

// Milliseconds a frame over count frames drawn by draw.
template <typename Draw> double TimeFrames(int32_t count, Draw draw) {
    const timespec begin = ReadMonotonicClock();
    for (int32_t i = 0; i < count; ++i)
        draw(i);
    return GetMilliseconds(begin, ReadMonotonicClock()) / count;
}

// From the kernel's record of the process: its start in clock ticks since boot, field 22
// of /proc/self/stat, compared with the boot clock now. Negative when unknown.
double MeasureProcessStartToNowMs() {
    std::FILE* file = std::fopen("/proc/self/stat", "r");
    if (file == nullptr)
        return -1.0;
    char line[1024] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    // The command name in field 2 may hold spaces; the fields after it are plain numbers.
    const char* fields = read ? std::strrchr(line, ')') : nullptr;
    unsigned long long startTicks = 0;
    if (fields == nullptr ||
        std::sscanf(fields + 1,
                    " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d "
                    "%*d %*d %*d %llu",
                    &startTicks) != 1)
        return -1.0;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double ticksPerSecond = static_cast<double>(sysconf(_SC_CLK_TCK));
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6 -
           static_cast<double>(startTicks) * 1000.0 / ticksPerSecond;
}

// From process start when the kernel says when that was, else from main; the difference
// between the two frames is the scene's own share either way.
void PrintStartTimes(const StartTimes& start, double processToMainMs) {
    const double offsetMs = processToMainMs >= 0.0 ? processToMainMs : 0.0;
    const char* origin = processToMainMs >= 0.0 ? "process start" : "main";
    const double emptyMs = offsetMs + GetMilliseconds(start.Main, start.FirstEmptyFrame);
    const double fullMs = offsetMs + GetMilliseconds(start.Main, start.FirstFullFrame);
    const double sceneMs = fullMs - emptyMs;
    const double setUpMs = GetMilliseconds(start.FirstEmptyFrame, start.SceneReady);
    if (processToMainMs >= 0.0)
        std::printf("  process start to main       %8.1f ms  (libraries loaded; the kernel "
                    "gives the start to 10 ms)\n",
                    processToMainMs);
    std::printf("  start to first empty frame  %8.1f ms  (from %s: context made, cleared, "
                "finished)\n",
                emptyMs, origin);
    std::printf("  start to first full frame   %8.1f ms  (from %s; +%.1f ms for the scene)\n",
                fullMs, origin, sceneMs);
    // The rest is the first frame, most of it the driver compiling the frame's shaders.
    std::printf("    of which InitScene         %8.1f ms  (textures, quadric, display lists)\n",
                setUpMs);
}

void PrintAllocations(const AllocationCount& count, int32_t frames) {
    if (!CanCountAllocations()) {
        std::printf("  heap allocations            not counted in a sanitizer build\n");
        return;
    }
    std::printf("  heap allocations, by our code         %" PRIu64 " in %d frames (%.2f a frame; "
                "target 0: %s)\n",
                count.Ours, frames, static_cast<double>(count.Ours) / frames,
                count.Ours == 0 ? "met" : "MISSED");
    std::printf("  heap allocations, GL driver included  %" PRIu64 " in %d frames (%.2f a frame)\n",
                count.All, frames, static_cast<double>(count.All) / frames);
}

} // namespace

timespec ReadMonotonicClock() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

void DrawEmptyFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
}

void RunBenchmark(const RenderOptions& options, const StartTimes& start) {
    const double processToMainMs =
        MeasureProcessStartToNowMs() - GetMilliseconds(start.Main, ReadMonotonicClock());
    const int32_t frames = options.BenchFrames;
    const int32_t firstElapsedMs = options.ElapsedMs;
    for (int i = 0; i < WarmUpFrames; ++i)
        DrawFullFrame(i, firstElapsedMs);

    double issueMs = 0.0;
    StartCountingAllocations();
    const double fullMs =
        TimeFrames(frames, [&](int32_t i) { issueMs += DrawFullFrame(i, firstElapsedMs); });
    const AllocationCount allocations = StopCountingAllocations();
    issueMs /= frames;
    for (int i = 0; i < WarmUpFrames; ++i)
        DrawEmptyFrame();
    const double emptyMs = TimeFrames(frames, [](int32_t) { DrawEmptyFrame(); });
    ElapsedMs = firstElapsedMs;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("orlentic-render benchmark: %dx%d, %d frames each, on %s\n", options.Width,
                options.Height, frames, reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    // A warm shader cache spares the first frame most of its compiling; reproducible start
    // figures are taken with it off.
    const char* cacheOff = std::getenv("MESA_SHADER_CACHE_DISABLE");
    const bool off = cacheOff != nullptr &&
                     (std::strcmp(cacheOff, "true") == 0 || std::strcmp(cacheOff, "1") == 0 ||
                      std::strcmp(cacheOff, "yes") == 0);
    std::printf("  driver's shader cache       %s\n",
                off ? "off (MESA_SHADER_CACHE_DISABLE)"
                    : "on: a second start reuses compiled shaders");
    std::printf("  full frame                  %8.3f ms\n", fullMs);
    std::printf("  empty frame                 %8.3f ms  (glClear and glFinish only)\n", emptyMs);
    std::printf("  full / empty                %8.2f\n", fullMs / emptyMs);
    std::printf("  issuing (DrawScene returns) %8.3f ms  (our code and its GL calls: %.0f %% of a "
                "full frame)\n",
                issueMs, 100.0 * issueMs / fullMs);
    PrintStartTimes(start, processToMainMs);
    std::printf("  peak memory (ru_maxrss)     %8.1f MiB\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    PrintAllocations(allocations, frames);
}
