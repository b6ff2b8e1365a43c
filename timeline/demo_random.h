#pragma once
// The show's random numbers. The demo was made with the classic runtime
// generator (never seeded, results 0 to 32767, scaled by 1 / 32767), and its
// effects place things by that sequence; this is that generator, so every
// run on every platform draws the same numbers. One sequence for the whole
// process, as the runtime's was.

// The next number of the sequence, 0 to 32767.
int demoRand();

// demoRand() / 32767: 0 to 1.
float demoRandomUnit();

// Starts the sequence again from its beginning (seed 1), as a new process
// would; only tests need it.
void restartDemoRandom();
