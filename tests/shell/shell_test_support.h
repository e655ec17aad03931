// What the shell's tests share: a clean slate before each test, and readers of the call log.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

// Resets the fake platform, the scene stand-in and every variable of the shell.
void ResetShellForTest();

// The call log with only the named calls kept, in order.
std::vector<std::string> KeepCalls(const std::vector<std::string>& names);

// The texts of the message boxes shown, in order.
std::vector<std::string> ShownTexts();

// The KeyDown entry of a virtual-key code.
uint8_t KeyState(int key);

// lParam of a mouse message at client position (x, y).
LPARAM PackPosition(int x, int y);
