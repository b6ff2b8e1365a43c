// swtool extract ARCHIVE MEMBER [--password PW] [-o FILE]: one member through
// the archive reader, to FILE or standard output.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/process.h"
#include "resources/archive/archive_check.h"
#include "resources/archive/pack_archive.h"
#include "tools/swtool/commands.h"

int runExtract(int argc, char** argv)
{
    const char* archive = nullptr;
    const char* member = nullptr;
    std::string password;
    const char* outPath = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--password") == 0 && i + 1 < argc) {
            password = argv[++i];
        } else if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            outPath = argv[++i];
        } else if (!archive) {
            archive = argv[i];
        } else if (!member) {
            member = argv[i];
        } else {
            archive = nullptr;
            break;
        }
    }
    if (!archive || !member) {
        std::fprintf(stderr, "usage: swtool extract ARCHIVE MEMBER [--password PW] [-o FILE]\n");
        return 1;
    }
    uint8_t* raw = nullptr;
    uint32_t size = 0;
    if (!extractFile(&raw, &size, member, archive, password.c_str())) {
        // The reader only says that it failed; the check says why.
        const std::string fault = archiveFault(archive, password.c_str(), member);
        std::fprintf(stderr, "swtool extract: cannot extract %s from %s%s%s\n", member, archive,
                     fault.empty() ? "" : ": ", fault.c_str());
        return 1;
    }
    std::unique_ptr<uint8_t[]> data(raw);
    if (!outPath)
        platform::useBinaryStandardOutput();
    std::FILE* out = outPath ? std::fopen(outPath, "wb") : stdout;
    if (!out) {
        std::fprintf(stderr, "swtool extract: cannot create %s\n", outPath);
        return 1;
    }
    bool ok = std::fwrite(data.get(), 1, size, out) == size;
    ok = (outPath ? std::fclose(out) : std::fflush(out)) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "swtool extract: cannot write %s\n", outPath ? outPath : "standard output");
        return 1;
    }
    return 0;
}
