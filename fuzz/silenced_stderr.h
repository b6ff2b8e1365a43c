#pragma once
// While one lives, what the code under test writes to the C stream stderr
// goes nowhere: a target whose code reports every lesser error there would
// otherwise spend its time printing. libFuzzer's own reports and the
// sanitizers' write through their own streams and descriptors and still
// show. SW_FUZZ_VERBOSE=1 keeps the messages. With glibc only, where stderr
// is a variable that can be pointed elsewhere (the fuzzing is done on
// Linux); elsewhere nothing is silenced.
#include <cstdio>

class SilencedStderr {
public:
    SilencedStderr();
    ~SilencedStderr();
    SilencedStderr(const SilencedStderr&) = delete;
    SilencedStderr& operator=(const SilencedStderr&) = delete;

private:
    std::FILE* saved_ = nullptr;
};
