// A recording stand-in for platform/: each call is logged as "Name argument" and gives a canned
// result unless the test made it fail. Windows have an 800 by 600 window's 792 by 573 client
// area, but a frameless popup's is all of it.
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
void SetLocalTime(WORD hour, WORD minute, WORD second);
// Adds or replaces a resource; names and types match without regard to case.
void AddResource(const std::string& name, const std::string& type,
                 const std::vector<uint8_t>& bytes);

struct Recorder {
    std::vector<std::string> calls; // in order, with the arguments that matter
    std::vector<MessageBoxRecord> boxes;
    DWORD tick = 0;                     // what GetTickCount returns
    std::deque<MSG> queue;              // what PeekMessageA hands out before WM_QUIT
    std::function<void(int)> afterSwap; // run after each SwapBuffers with the count so far
    HWND capture = nullptr;
    std::set<std::string> failing; // these fail as Win32 reports it (NULL, 0, FALSE or -1)
    SYSTEMTIME localTime = {2024, 3, 5, 15, 12, 0, 0, 0};
    std::map<std::string, std::vector<uint8_t>> resources; // by "NAME/TYPE", upper case
    WNDPROC procedure = nullptr;
    int swaps = 0;
    struct {
        DWORD exStyle, style;
        int x, y;
        HWND parent;
    } created = {};                 // the last CreateWindowExA's placement
    RECT client = {0, 0, 792, 573}; // what GetClientRect gives
    // The monitors in the virtual screen, which is the rectangle around them: by default a
    // second one left of and above the primary.
    std::vector<RECT> monitors = {{-1024, -200, 0, 568}, {0, 0, 1920, 1080}};
    // The saver's registry key: whether it exists, and each value's type and bytes by name.
    bool keyExists = false;
    std::map<std::string, std::pair<DWORD, std::string>> registry;
    // The settings dialog: its procedure, its controls' states and numbers by id, what the user
    // does while it shows, and what EndDialog made DialogBoxParamA return.
    DLGPROC dialogProc = nullptr;
    std::map<int, UINT> controls;
    std::function<void()> inDialog;
    INT_PTR dialogResult = 0;
};
extern Recorder Recorded;

void Post(UINT message, WPARAM wParam);
// The calls logged so far that start with one of the prefixes, in order, each followed by "; ".
std::string Only(std::initializer_list<std::string> prefixes = {""});
inline const HWND Window = reinterpret_cast<HWND>(0x10010);  // the one window
inline const HWND Dialog = reinterpret_cast<HWND>(0x10018);  // the settings dialog
inline const HWND Desktop = reinterpret_cast<HWND>(0x10014); // GetDesktopWindow's

} // namespace fake
