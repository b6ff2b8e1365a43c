// swtool list ARCHIVE: one line per member, in archive order.
#include <cstdio>

#include "resources/archive/rar_blocks.h"
#include "tools/swtool/commands.h"

int runList(int argc, char** argv)
{
    if (argc != 1) {
        std::fprintf(stderr, "usage: swtool list ARCHIVE\n");
        return 1;
    }
    rar::BlockReader reader;
    if (reader.open(argv[0]) != rar::OpenResult::ok) {
        std::fprintf(stderr, "swtool list: %s is not a readable RAR archive\n", argv[0]);
        return 1;
    }
    for (;;) {
        rar::FileHeader header;
        const rar::BlockResult result = reader.next(header);
        if (result == rar::BlockResult::end)
            return 0;
        // A sub-block (comments, owner records) is no member; the reader
        // has already moved past it.
        if (result == rar::BlockResult::subBlock)
            continue;
        if (result == rar::BlockResult::damaged) {
            std::fprintf(stderr, "swtool list: %s: damaged file header\n", argv[0]);
            return 1;
        }
        std::printf("%s\t%u\t%u\t%u\t%u\t0x%04x\n", header.name.c_str(), header.unpackedSize, header.packSize,
                    unsigned(header.method), unsigned(header.versionNeeded), unsigned(header.flags));
    }
}
