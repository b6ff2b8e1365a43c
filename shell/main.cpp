// Entry of the two deliverables; they differ only in STILLWATER_SAMPLES.
#include "shell/entry.h"

int main(int, char**) { return runPlayer(STILLWATER_SAMPLES); }
