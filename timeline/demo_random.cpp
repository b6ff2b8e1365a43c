#include "timeline/demo_random.h"

#include <initializer_list>

namespace {

RandomSequence& processSequence()
{
    static RandomSequence sequence;
    return sequence;
}

}  // namespace

int RandomSequence::next()
{
    seed_ = seed_ * 214013u + 2531011u;
    return static_cast<int>((seed_ >> 16) & 0x7FFFu);
}

RandomSequence RandomSequence::keyed(uint32_t a, uint32_t b, uint32_t c)
{
    // The finaliser of MurmurHash3 over the three numbers, so that a key
    // one apart does not start the generator one apart.
    uint32_t h = a * 0xCC9E2D51u;
    for (const uint32_t part : {b, c}) {
        h ^= part + 0x9E3779B9u + (h << 6) + (h >> 2);
        h ^= h >> 16;
        h *= 0x85EBCA6Bu;
        h ^= h >> 13;
        h *= 0xC2B2AE35u;
        h ^= h >> 16;
    }
    return RandomSequence(h);
}

int demoRand() { return processSequence().next(); }

float demoRandomUnit() { return processSequence().nextUnit(); }

void restartDemoRandom() { processSequence() = RandomSequence(); }
