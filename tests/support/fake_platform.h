// A recording stand-in for platform/, linked instead of it by the tests: every call is
// logged by name, results can be scripted to fail, message boxes are kept as text, and the
// clock, the local time and the resources are what the test says.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace fake {

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// Back to a clean slate: empty log and queue, no boxes, every call succeeding, the real
// embedded resources, tick count 0, local time 12:00:00.
void Reset();

// Names of the platform calls made since Reset, in order ("GetTickCount" is not logged:
// the frame loop reads it every frame).
std::vector<std::string>& CallLog();
std::vector<MessageBoxRecord>& MessageBoxes();

// The named call fails from now on, as Win32 reports failure for it (NULL, 0 or FALSE;
// -1 for ChangeDisplaySettingsA).
void FailCall(const std::string& name);

// Clock and local time.
void SetTickCount(DWORD ms);
void SetLocalTime(WORD hour, WORD minute, WORD second);

// Resources: Add replaces or adds one (matched without regard to case), Remove hides one,
// the embedded table included.
void AddResource(const std::string& name, const std::string& type,
                 const std::vector<uint8_t>& bytes);
void RemoveResource(const std::string& name);

} // namespace fake
