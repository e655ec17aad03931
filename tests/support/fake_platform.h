// A recording stand-in for platform/, linked instead of it by the tests. Each call is logged
// as "Name arg ..." and answers with a canned result unless the test made it fail. It acts
// as Win32 where the shell relies on it: CreateWindowExA sends WM_CREATE and WM_SIZE (792 by
// 573, an 800 by 600 window's client area), PeekMessageA gives one message per call and
// WM_QUIT once the queue is empty, a window losing the capture gets WM_CAPTURECHANGED, and
// releasing what was never made fails.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
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

// A clean slate: nothing logged, every call succeeding, the embedded resources, 12:00:00.
void Reset();
std::vector<MessageBoxRecord>& MessageBoxes();
// The named call fails from now on as Win32 reports failure (NULL, 0, FALSE or -1).
void FailCall(const std::string& name);
void SetLocalTime(WORD hour, WORD minute, WORD second);
// Adds or replaces a resource, or hides one; names and types match without regard to case.
void AddResource(const std::string& name, const std::string& type,
                 const std::vector<uint8_t>& bytes);
void RemoveResource(const std::string& name);

// Everything the fake knows, for the tests to drive and read.
struct Recorder {
    std::vector<std::string> calls; // in order, "Name" and the arguments that matter, flags hex
    std::vector<MessageBoxRecord> boxes;
    DWORD tick = 0;                     // what GetTickCount returns
    std::deque<MSG> queue;              // what PeekMessageA hands out before WM_QUIT
    std::function<void(int)> afterSwap; // run after each SwapBuffers with the count so far
    HWND capture = nullptr;             // the window holding the capture
    std::set<std::string> failing;
    SYSTEMTIME localTime = {2024, 3, 5, 15, 12, 0, 0, 0};
    std::map<std::string, std::vector<uint8_t>> resources; // by "NAME/TYPE", upper case
    WNDPROC procedure = nullptr;
    bool classAlive = false, windowAlive = false, formatSet = false, contextAlive = false;
    bool quitPending = false;
    int quitCode = 0, peeks = 0, swaps = 0;
};
extern Recorder Recorded;

void Post(UINT message, WPARAM wParam, LPARAM lParam = 0);

inline const HWND Window = reinterpret_cast<HWND>(0x10010); // the one window
constexpr LRESULT DefWindowResult = 0xDEF;                  // what DefWindowProcA returns

} // namespace fake
