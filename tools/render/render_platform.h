// The renderer's own kernel platform: the clock, the local time, the module handle, the
// embedded resources and message boxes, with no window system behind them.
#pragma once

#include <cstdint>

// From now on GetLocalTime reports this time of day instead of the clock's.
void FixLocalTime(uint16_t hour, uint16_t minute, uint16_t second);
