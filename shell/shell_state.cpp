#include "shell/shell_state.h"

int32_t ElapsedMs = 0;
int32_t FrameCount = 0;

uint8_t KeyDown[256] = {};
int32_t DragMode = 0;
int32_t LastMouseX = 0;
int32_t LastMouseY = 0;
int32_t LastZoomY = 0;

float TiltX = 0.0f;
float SpinY = 0.0f;
float ViewX = 0.0f;
float ViewY = 0.0f;
float ViewZ = 0.0f;
