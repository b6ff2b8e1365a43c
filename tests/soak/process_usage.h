#pragma once
// What a long run could leak, read from the process and the GL context.
#include <cstddef>
#include <cstdint>

struct ProcessUsage {
    uint64_t residentBytes = 0;   // /proc/self/statm
    size_t openDescriptors = 0;   // entries of /proc/self/fd
    size_t managedTextures = 0;   // textures the texture manager holds
    size_t liveGlTextures = 0;    // texture names the context knows
};

// Reads all four now; needs the current GL context.
ProcessUsage measureUsage();

// Texture names the current context knows: every name below the one it
// hands out next that glIsTexture accepts (Mesa hands names out in rising
// order, so a leak raises both the range and the count).
size_t countLiveGlTextures();
