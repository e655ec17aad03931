// The shell's process-wide input and timing state. Written by the frame loop and the window
// procedure, read by the scene between messages, on the one thread of the program. Holds
// no window-system type, so the scene may include it.
#pragma once

#include <cstdint>

// Timing, kept by the frame loop.
extern int32_t ElapsedMs;  // milliseconds since the frame loop began, smoothed once per frame
extern int32_t FrameCount; // frames rendered since the last 500 ms rate tick

// Input, kept by the window procedure.
extern uint8_t KeyDown[256]; // 1 while the key with that virtual-key code is down, else 0
extern int32_t DragMode;     // -1 sway (no button yet), 0 none, 1 rotate, 2 zoom, 3 pan
extern int32_t LastMouseX;   // client pixels: last x seen by a rotate or pan drag
extern int32_t LastMouseY;   // client pixels: last y seen by a rotate or pan drag
extern int32_t LastZoomY;    // client pixels: last y seen by a zoom drag

// The view, changed by drags and given its start values by the scene set-up.
extern float TiltX; // degrees about x, once the sway has ended
extern float SpinY; // degrees about y, once the sway has ended
extern float ViewX; // model units, sideways in eye space
extern float ViewY; // model units, up in eye space
extern float ViewZ; // model units along the line of sight; more negative is farther

// Drag modes.
enum : int32_t { DragSway = -1, DragNone = 0, DragRotate = 1, DragZoom = 2, DragPan = 3 };
