// Replaces the allocation entry points of the whole process with counting ones that hand on
// to glibc's own allocator, so nothing else about memory changes.
#include "tools/render/allocation_count.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define ORLENTIC_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORLENTIC_SANITIZED 1
#endif
#endif

#ifdef ORLENTIC_SANITIZED

bool CanCountAllocations() {
    return false;
}
void StartCountingAllocations() {}
AllocationCount StopCountingAllocations() {
    return {0, 0};
}

#else

// glibc's allocator under its own names, which the replacements below hand on to.
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* block, size_t size);
extern "C" void* __libc_memalign(size_t alignment, size_t size);

// The bounds of the executable's code, from the GNU linker's default script.
extern "C" const char __executable_start;
extern "C" const char etext;

namespace {

// Constant-initialised, so they work before any constructor of the program has run.
std::atomic<bool> Counting{false};
std::atomic<uint64_t> OursCount{0};
std::atomic<uint64_t> AllCount{0};

void CountAllocation(const void* caller) {
    if (!Counting.load(std::memory_order_relaxed))
        return;
    AllCount.fetch_add(1, std::memory_order_relaxed);
    const char* address = static_cast<const char*>(caller);
    if (address >= &__executable_start && address < &etext)
        OursCount.fetch_add(1, std::memory_order_relaxed);
}

void* AllocateOrThrow(size_t size, const void* caller) {
    CountAllocation(caller);
    // operator new(0) must still give a distinct block.
    void* block = __libc_malloc(size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

void* AllocateAlignedOrThrow(size_t size, std::align_val_t alignment, const void* caller) {
    CountAllocation(caller);
    void* block = __libc_memalign(static_cast<size_t>(alignment), size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

} // namespace

extern "C" void* malloc(size_t size) {
    CountAllocation(__builtin_return_address(0));
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size) {
    CountAllocation(__builtin_return_address(0));
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, size_t size) {
    CountAllocation(__builtin_return_address(0));
    return __libc_realloc(block, size);
}

// Every block above comes from glibc, so the default operator delete (free) releases it.
void* operator new(size_t size) {
    return AllocateOrThrow(size, __builtin_return_address(0));
}
void* operator new[](size_t size) {
    return AllocateOrThrow(size, __builtin_return_address(0));
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    CountAllocation(__builtin_return_address(0));
    return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    CountAllocation(__builtin_return_address(0));
    return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new(size_t size, std::align_val_t alignment) {
    return AllocateAlignedOrThrow(size, alignment, __builtin_return_address(0));
}
void* operator new[](size_t size, std::align_val_t alignment) {
    return AllocateAlignedOrThrow(size, alignment, __builtin_return_address(0));
}

bool CanCountAllocations() {
    return true;
}

void StartCountingAllocations() {
    OursCount.store(0);
    AllCount.store(0);
    Counting.store(true);
}

AllocationCount StopCountingAllocations() {
    Counting.store(false);
    return {OursCount.load(), AllCount.load()};
}

#endif
