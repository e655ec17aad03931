// The program's module handle and the resources compiled into it, found by name without
// regard to letter case as Win32 finds them. Needs no window system, so programs without
// a window (the offscreen renderer) link it too.
#ifdef _WIN32
#error "platform/ is the SDL stand-in for Win32; Windows builds use the real API."
#endif

#include <cstdint>
#include <strings.h>

#include "platform/embedded_resources.h"
#include "platform/win32_kernel.h"

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

// Only the program itself is a module here.
HMODULE GetModuleHandleA(LPCSTR moduleName) {
    return moduleName == nullptr ? &ProgramModule : nullptr;
}

// The table holds named resources only, so a numeric name or type finds nothing.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    if (!IsProgramModule(module) || IS_INTRESOURCE(name) || IS_INTRESOURCE(type))
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
