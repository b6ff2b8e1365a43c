#include "timeline/demo_random.h"

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

int demoRand() { return processSequence().next(); }

float demoRandomUnit() { return processSequence().nextUnit(); }

void restartDemoRandom() { processSequence() = RandomSequence(); }
