// Feeds arbitrary text to the script parser as the player's live reload
// reads it (errors kept, nothing ended). The input is the main file,
// "script.scr", in a folder of this process's own that is also the working
// folder, so an INCLUDE of a relative name stays inside it; the same text
// is there as "part.scr" too, so that includes find a file to read (and
// cycles to refuse). The parser's lesser messages are silenced.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "fuzz/silenced_stderr.h"
#include "timeline/script.h"

// The working folder changes below: the fuzzer's own paths are made
// absolute before that.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    makeFuzzArgumentsAbsolute(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool inFolder = enterFuzzFolder("script");
    if (!inFolder)
        std::abort();
    if (!writeFuzzFile(data, size, "script.scr") || !writeFuzzFile(data, size, "part.scr"))
        return 0;
    std::string failure;
    const SilencedStderr quiet;
    const auto script = Script::tryLoad("script.scr", failure);
    // A script either parses or says why not.
    if (script == nullptr && failure.empty())
        std::abort();
    return 0;
}
