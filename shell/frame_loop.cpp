// The frame loop: one waiting message per pass, or, when none waits, one frame. It never
// sleeps; the buffer swap is the only brake.
#include <cstdint>

#include "scene/scene.h"
#include "shell/shell.h"

namespace {

// The program always asks for the same window.
constexpr int32_t WindowWidth = 800;
constexpr int32_t WindowHeight = 600;
constexpr int32_t ColourBits = 32;

constexpr int64_t TwoTo32 = int64_t{1} << 32;

// Reads 32 bits as two's complement without relying on the conversion's
// implementation-defined result.
int32_t ReadSigned32(uint32_t bits) {
    const int64_t value = bits < (uint32_t{1} << 31) ? int64_t{bits} : int64_t{bits} - TwoTo32;
    return static_cast<int32_t>(value);
}

// True when the message ends the loop.
bool HandleMessage(const MSG& msg) {
    if (msg.message == WM_QUIT)
        return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return false;
}

// True when Esc ends the loop.
bool RenderFrame(DWORD startTick) {
    ++FrameCount;
    // Unsigned subtraction: the tick count may wrap between the start and now.
    const uint32_t raw = GetTickCount() - startTick;
    ElapsedMs = SmoothElapsedMs(ElapsedMs, raw);
    DrawScene();
    SwapBuffers(DeviceContext);
    // Esc is looked at only once the frame is on screen, so that frame is still seen.
    if (KeyDown[VK_ESCAPE] != 0)
        return true;
    // Toggles go after the swap, so they show from the next frame on.
    ApplyKeyToggles();
    return false;
}

} // namespace

// In 64 bits the sum cannot overflow, even once raw passes 2^31 ms (about 24.8 days) and
// the smoothed time stops meaning anything; the program then simply goes on.
int32_t SmoothElapsedMs(int32_t previous, uint32_t raw) {
    const int64_t sum = int64_t{static_cast<uint32_t>(previous)} + int64_t{ReadSigned32(raw)};
    return ReadSigned32(static_cast<uint32_t>(sum / 2));
}

// A window that cannot be made is the one failure the caller hears of: status 1. Every other
// ending, Esc or the close box, is 0.
int32_t RunMainLoop(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!CreateRenderWindow(WindowWidth, WindowHeight, false, ColourBits))
        return 1;
    // Read only now, so loading textures and compiling lists is not counted as running time.
    const DWORD startTick = GetTickCount();
    MSG msg = {};
    bool done = false;
    while (!done) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            done = HandleMessage(msg);
        else
            done = RenderFrame(startTick);
    }
    DestroyRenderWindow(false);
    return 0;
}
