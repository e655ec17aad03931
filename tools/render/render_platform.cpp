// The kernel calls the scene and the texture loader make, for a program that has no window:
// the hands read GetLocalTime exactly as in the viewer, only the answer may be fixed.
#ifdef _WIN32
#error "The offscreen renderer's platform is for non-Windows hosts only."
#endif

#include "tools/render/render_platform.h"

#include <cstdio>
#include <ctime>
#include <strings.h>

#include "platform/embedded_resources.h"
#include "platform/win32.h"

namespace {

bool LocalTimeFixed = false;
WORD FixedHour = 0, FixedMinute = 0, FixedSecond = 0;

// Any fixed non-null value serves: there is one module, the program.
const HMODULE ProgramModule = reinterpret_cast<HMODULE>(uintptr_t{0x400000});

bool IsProgram(HMODULE module) {
    return module == nullptr || module == ProgramModule;
}

// MAKEINTRESOURCE numbers sit below 64 KiB where no string can live.
bool IsIntegerResource(LPCSTR name) {
    return reinterpret_cast<uintptr_t>(name) <= 0xffff;
}

// A resource handle is its entry in the table, offset by one so that entry 0 is not NULL.
const EmbeddedResource* GetEntry(HRSRC resource) {
    const uintptr_t index = reinterpret_cast<uintptr_t>(resource);
    if (index == 0 || index > static_cast<uintptr_t>(EmbeddedResourceCount))
        return nullptr;
    return &EmbeddedResources[index - 1];
}

} // namespace

void FixLocalTime(uint16_t hour, uint16_t minute, uint16_t second) {
    LocalTimeFixed = true;
    FixedHour = hour;
    FixedMinute = minute;
    FixedSecond = second;
}

DWORD GetTickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Win32's count wraps modulo 2^32 milliseconds; the unsigned conversion does the same.
    return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                              static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

void GetLocalTime(LPSYSTEMTIME time) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    // SYSTEMTIME has no 60th second; a leap second reads as the 59th.
    time->wSecond = static_cast<WORD>(local.tm_sec < 59 ? local.tm_sec : 59);
    time->wMilliseconds = 0;
    if (LocalTimeFixed) {
        time->wHour = FixedHour;
        time->wMinute = FixedMinute;
        time->wSecond = FixedSecond;
    }
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    return moduleName == nullptr ? ProgramModule : nullptr;
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    if (!IsProgram(module) || name == nullptr || type == nullptr || IsIntegerResource(name) ||
        IsIntegerResource(type))
        return nullptr;
    for (int i = 0; i < EmbeddedResourceCount; ++i)
        if (strcasecmp(EmbeddedResources[i].Name, name) == 0 &&
            strcasecmp(EmbeddedResources[i].Type, type) == 0)
            return reinterpret_cast<HRSRC>(static_cast<uintptr_t>(i) + 1);
    return nullptr;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    const EmbeddedResource* entry = GetEntry(resource);
    if (!IsProgram(module) || entry == nullptr)
        return nullptr;
    return const_cast<uint8_t*>(entry->Bytes);
}

LPVOID LockResource(HGLOBAL data) {
    return data;
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    const EmbeddedResource* entry = GetEntry(resource);
    return IsProgram(module) && entry != nullptr ? entry->Size : 0;
}

// No window to own a box and nobody to click it: the message goes to standard error, and
// the answer is the box's only button, OK (IDOK, 1).
int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    std::fprintf(stderr, "orlentic-render: %s: %s\n", caption != nullptr ? caption : "",
                 text != nullptr ? text : "");
    return 1;
}
