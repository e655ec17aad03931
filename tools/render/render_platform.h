// The renderer's own part of the platform: the clock, the local time and message boxes, with
// no window system behind them. The resources come from the platform's lookup.
#pragma once

#include <cstdint>

// From now on GetLocalTime reports this time of day instead of the clock's.
void FixLocalTime(uint16_t hour, uint16_t minute, uint16_t second);
