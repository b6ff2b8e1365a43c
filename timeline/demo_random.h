#pragma once
// The show's random numbers. The demo was made with the classic runtime
// generator (never seeded, results 0 to 32767, scaled by 1 / 32767), and its
// effects place things by that sequence; this is that generator, so every
// run on every platform draws the same numbers. One sequence for the whole
// process, as the runtime's was, and sequences of their own for effects
// that draw every frame, so that how many frames were drawn does not move
// what every other effect draws.
#include <cstdint>

// The generator with a state of its own.
class RandomSequence {
public:
    // Seed 1, as a new process's runtime generator.
    RandomSequence() = default;
    explicit RandomSequence(uint32_t seed) : seed_(seed) {}
    // The next number of the sequence, 0 to 32767.
    int next();
    // next() / 32767: 0 to 1.
    float nextUnit() { return static_cast<float>(next()) / 32767.0f; }

    // A sequence of its own for one occasion, named by up to three numbers
    // (an effect's seed, a demo time, a kind of event): the same numbers
    // give the same draws however the show got there, and neighbouring
    // numbers give unrelated ones.
    static RandomSequence keyed(uint32_t a, uint32_t b, uint32_t c = 0);

private:
    uint32_t seed_ = 1;
};

// The next number of the process-wide sequence, 0 to 32767.
int demoRand();

// demoRand() / 32767: 0 to 1.
float demoRandomUnit();

// Starts the sequence again from its beginning (seed 1), as a new process
// would; only tests need it.
void restartDemoRandom();
