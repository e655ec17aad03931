// Names and numbers that the window's making and its window procedure must agree on.
#pragma once

#include "platform/win32.h"

// The caption, set when the window is made and again on every rate tick.
constexpr const char* WindowCaption = "Orlentic";

// The rate timer: identifier 1, a tick every half second.
constexpr UINT_PTR RateTimerId = 1;
constexpr UINT RateTimerPeriodMs = 500;
