// The fuzz programs' error reporter: in place of the player's, which shows a
// box and ends the process on a fatal error, it only notes the text and
// returns. The loaders stop on a fatal report that comes back (their
// contracts say so), and the next input runs in the same process.
#include "shell/error_report.h"

#include <cstdio>
#include <cstdlib>

void reportError(const char* message, int number, bool fatal)
{
    // SW_FUZZ_VERBOSE=1 shows what each input was refused for.
    static const bool verbose = std::getenv("SW_FUZZ_VERBOSE") != nullptr;
    if (verbose)
        std::fprintf(stderr, "%s: %s\n", fatal ? "fatal" : "error", composeErrorText(message, number).c_str());
}
