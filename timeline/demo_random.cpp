#include "timeline/demo_random.h"

#include <cstdint>

namespace {

uint32_t& state()
{
    static uint32_t seed = 1;
    return seed;
}

}  // namespace

int demoRand()
{
    uint32_t& seed = state();
    seed = seed * 214013u + 2531011u;
    return static_cast<int>((seed >> 16) & 0x7FFFu);
}

float demoRandomUnit() { return static_cast<float>(demoRand()) / 32767.0f; }

void restartDemoRandom() { state() = 1; }
