// The saver's frame loop: every waiting message, then one frame, then a pause, so an idle
// machine spends little on it.
#include <cstdio>

#include "saver/saver.h"
#include "shell/shell.h"

namespace {

constexpr DWORD RatePeriodMs = 1000; // --fps reports once a second

// True once WM_QUIT has come. All that waits is handled before the next frame, so the user's
// first sign ends the saver within one frame.
bool HandleWaitingMessages(MSG& msg) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return true;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return false;
}

// Unsigned subtraction: the tick count may wrap between two readings. Every monitor's view
// shows the same moment, and the frame shows on all of them at once.
void DrawFrame(DWORD startTick) {
    ElapsedMs = SmoothElapsedMs(ElapsedMs, GetTickCount() - startTick);
    DrawSaverViews();
    SwapBuffers(DeviceContext);
}

void ReportRate(DWORD& since) {
    ++FrameCount;
    const DWORD now = GetTickCount();
    if (now - since < RatePeriodMs)
        return;
    std::fprintf(stderr, "%.1f frames a second\n", FrameCount * 1000.0 / (now - since));
    FrameCount = 0;
    since = now;
}

} // namespace

int RunSaverLoop(DWORD pauseMs, bool showRate) {
    // Read only now, so the sway starts from rest after the loading.
    const DWORD startTick = GetTickCount();
    DWORD rateSince = startTick;
    MSG msg = {};
    while (!HandleWaitingMessages(msg)) {
        DrawFrame(startTick);
        if (showRate)
            ReportRate(rateSince);
        // The same pause after every frame, as xscreensaver's display modes take their delay:
        // with a frame of about 10 ms that is some 25 frames a second, and a slow machine that
        // takes longer over a frame still gets the processor back for the whole pause.
        Sleep(pauseMs);
    }
    return static_cast<int>(msg.wParam);
}
