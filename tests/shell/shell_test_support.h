// What the shell's tests share: a clean slate, readers of the call log, and a recording
// stand-in for the four scene operations, which log into the fake platform's call log so
// scene and platform calls share one ordered record.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32.h"

// Resets the fake platform, the scene stand-in and every variable of the shell.
void ResetShellForTest();

// The call log with only the named calls kept, in order.
std::vector<std::string> KeepCalls(const std::vector<std::string>& names);

// The texts of the message boxes shown, in order.
std::vector<std::string> ShownTexts();

// lParam of a mouse message at client position (x, y).
LPARAM PackPosition(int x, int y);

// What the scene stand-in saw: the sizes given to ResizeScene, ElapsedMs at each DrawScene,
// and a hook run inside InitScene.
extern std::vector<std::pair<int32_t, int32_t>> ResizedSizes;
extern std::vector<int32_t> DrawnElapsedMs;
extern std::function<void()> InitHook;
