// For a program of ours that has no window and shows one moment at a time (the offscreen
// renderer): the local time can be fixed. The viewer never calls this.
#pragma once

#ifdef _WIN32
#error "A fixed clock is for the SDL stand-in of Win32 only."
#endif

#include "platform/win32_kernel.h"

// From now on GetLocalTime reports moment; nullptr returns it to the real clock.
void FixLocalTime(const SYSTEMTIME* moment);
