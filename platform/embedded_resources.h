// The program's resources, compiled into the executable at build time from resources/.
// FindResourceA & co look names up here, without regard to letter case.
#pragma once

#include <cstdint>

struct EmbeddedResource {
    const char* Name;     // upper case, as the resource script names it
    const char* Type;     // "BMP"
    const uint8_t* Bytes; // the whole file
    uint32_t Size;        // bytes
};

extern const EmbeddedResource EmbeddedResources[];
extern const int EmbeddedResourceCount;
