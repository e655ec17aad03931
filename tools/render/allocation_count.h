// Counts heap allocations while the benchmark measures frames. Every malloc, calloc,
// realloc and operator new of the process is seen; those called from the renderer's own
// executable (the scene, the loader, the tables, this tool) are told apart from those of
// the shared libraries (the GL driver, the C++ runtime).
#pragma once

#include <cstdint>

struct AllocationCount {
    uint64_t Ours; // called from code linked into the executable
    uint64_t All;  // every thread, the GL driver's included
};

// False in sanitizer builds, whose allocator must stay in charge: nothing is counted there.
bool CanCountAllocations();
// Starts counting from zero.
void StartCountingAllocations();
// Stops counting and gives the counts since the start.
AllocationCount StopCountingAllocations();
