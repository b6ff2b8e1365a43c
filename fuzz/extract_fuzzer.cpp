// Feeds arbitrary bytes to extractFile as an archive. Seed it with the
// shared test archives:
//   fuzz_extract -max_total_time=60 CORPUS_DIR ../shared/testdata/rar
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>

#include "fuzz/fuzz_input.h"
#include "resources/archive/pack_archive.h"
#include "resources/archive/unpack_log.h"

namespace {

// Names and passwords of the seed archives, so that mutations of a seed
// still reach its members' data.
const char* const members[] = {"p1.bin", "pMM.bin", "p5_solid.bin", "file.txt", "FILE2.TXT", "data/script.scr"};
const char* const passwords[] = {"", "password", "quill"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    setUnpackLogEnabled(false);
    const std::string path = writeFuzzInput(data, size, "input.rar");
    if (path.empty())
        return 0;
    // One extraction per input keeps the runs fast; the length picks which.
    const char* member = members[size % std::size(members)];
    const char* password = passwords[(size / std::size(members)) % std::size(passwords)];
    uint8_t* out = nullptr;
    uint32_t outSize = 0;
    const int ok = extractFile(&out, &outSize, member, path.c_str(), password);
    std::unique_ptr<uint8_t[]> owned(out);
    if (ok != (out != nullptr) || (!ok && outSize != 0))
        __builtin_trap();
    return 0;
}
