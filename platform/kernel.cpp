// The kernel32 part of the subset: the tick count, the local time, the module handle and
// the resources compiled into the program.
#ifdef _WIN32
#error "platform/ is the SDL stand-in for Win32; Windows builds use the real API."
#endif

#include <algorithm>
#include <ctime>
#include <strings.h>

#include "platform/embedded_resources.h"
#include "platform/sdl_internal.h"

// The program's one module; only its address is used.
struct HINSTANCE__ {
    int Unused;
};

namespace {

HINSTANCE__ ProgramModule;

// NULL stands for the program itself, as it does for Win32's resource calls.
bool IsProgramModule(HMODULE module) {
    return module == nullptr || module == &ProgramModule;
}

// A resource handle is its index in the table plus one, so that a stray handle fails a range
// check instead of being read.
HRSRC MakeResourceHandle(int index) {
    return reinterpret_cast<HRSRC>(static_cast<uintptr_t>(index) + 1);
}

const EmbeddedResource* FindResourceByHandle(HMODULE module, HRSRC resource) {
    uintptr_t index = reinterpret_cast<uintptr_t>(resource) - 1;
    if (!IsProgramModule(module) || index >= static_cast<uintptr_t>(EmbeddedResourceCount))
        return nullptr;
    return &EmbeddedResources[index];
}

} // namespace

// Wraps every 49.7 days, as Win32's count does.
DWORD GetTickCount() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);
}

void GetLocalTime(LPSYSTEMTIME time) {
    if (time == nullptr)
        return;
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    time_t seconds = now.tv_sec;
    tm local{};
    if (localtime_r(&seconds, &local) == nullptr) {
        *time = SYSTEMTIME{};
        return;
    }
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    // SYSTEMTIME has no 60th second; a leap second reads as the 59th.
    time->wSecond = static_cast<WORD>(std::min(local.tm_sec, 59));
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

// Only the program itself is a module here.
HMODULE GetModuleHandleA(LPCSTR moduleName) {
    return moduleName == nullptr ? &ProgramModule : nullptr;
}

// The table holds named resources only, so a numeric name or type finds nothing.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    if (!IsProgramModule(module) || IsIntegerName(name) || IsIntegerName(type))
        return nullptr;
    for (int index = 0; index < EmbeddedResourceCount; ++index) {
        const EmbeddedResource& resource = EmbeddedResources[index];
        if (strcasecmp(resource.Name, name) == 0 && strcasecmp(resource.Type, type) == 0)
            return MakeResourceHandle(index);
    }
    return nullptr;
}

// The bytes are read-only, as a resource section is in Win32.
HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    const EmbeddedResource* found = FindResourceByHandle(module, resource);
    return found != nullptr ? const_cast<uint8_t*>(found->Bytes) : nullptr;
}

LPVOID LockResource(HGLOBAL data) {
    return data;
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    const EmbeddedResource* found = FindResourceByHandle(module, resource);
    return found != nullptr ? found->Size : 0;
}
