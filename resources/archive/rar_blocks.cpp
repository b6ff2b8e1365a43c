#include "resources/archive/rar_blocks.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "resources/archive/crc32.h"

namespace rar {

namespace {

const uint8_t rarMarker[markerSize] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
const uint8_t altMarker[markerSize] = {'O', 's', 't', 'r', 'a', 'k', '!'};
const uint8_t oldMarker[4] = {0x52, 0x45, 0x7E, 0x5E};

uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t get32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

BlockReader::~BlockReader() { close(); }

void BlockReader::close()
{
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
}

bool BlockReader::readAt(uint64_t offset, uint8_t* dest, size_t size)
{
    if (!file_ || offset > fileSize_ || size > fileSize_ - offset)
        return false;
    if (std::fseek(file_, long(offset), SEEK_SET) != 0)
        return false;
    return std::fread(dest, 1, size, file_) == size;
}

OpenResult BlockReader::open(const char* path)
{
    close();
    file_ = std::fopen(path, "rb");
    if (!file_)
        return OpenResult::cannotOpen;
    std::fseek(file_, 0, SEEK_END);
    const long end = std::ftell(file_);
    fileSize_ = end > 0 ? uint64_t(end) : 0;
    std::fseek(file_, 0, SEEK_SET);

    uint8_t marker[markerSize] = {};
    const size_t got = std::fread(marker, 1, markerSize, file_);
    OpenResult result = OpenResult::ok;
    if (got >= 4 && std::memcmp(marker, oldMarker, 4) == 0)
        result = OpenResult::oldFormat;
    else if (got != markerSize ||
             (std::memcmp(marker, rarMarker, markerSize) != 0 && std::memcmp(marker, altMarker, markerSize) != 0))
        result = OpenResult::unknownFormat;
    uint8_t main[mainHeaderSize];
    if (result == OpenResult::ok && std::fread(main, 1, mainHeaderSize, file_) != mainHeaderSize)
        result = OpenResult::tooShort;
    if (result != OpenResult::ok) {
        close();
        return result;
    }
    solid_ = (get16(main + 3) & flagSolidArchive) != 0;
    // A main header that claims to be shorter than its fixed part has no
    // rest to skip.
    blockStart_ = markerSize + std::max<size_t>(get16(main + 5), mainHeaderSize);
    return OpenResult::ok;
}

BlockResult BlockReader::next(FileHeader& header)
{
    for (;;) {
        uint8_t raw[fileHeaderFixedSize] = {};
        if (!file_ || blockStart_ >= fileSize_ || std::fseek(file_, long(blockStart_), SEEK_SET) != 0)
            return BlockResult::end;
        const size_t got = std::fread(raw, 1, sizeof raw, file_);
        if (got < 7)
            return BlockResult::end;
        header = FileHeader{};
        header.headerCrc = get16(raw);
        header.type = raw[2];
        header.flags = get16(raw + 3);
        header.headerSize = get16(raw + 5);
        header.packSize = get32(raw + 7);
        if (header.headerSize < 7)
            return BlockResult::end;
        const uint64_t start = blockStart_;
        uint64_t nextStart = start + header.headerSize;
        if (header.flags & flagLongBlock)
            nextStart += header.packSize;
        if (nextStart <= start)
            return BlockResult::end;
        blockStart_ = nextStart;
        if (header.type == subBlock)
            return BlockResult::subBlock;
        if (header.type != fileBlock)
            continue;

        if (got < fileHeaderFixedSize)
            return BlockResult::end;
        header.unpackedSize = get32(raw + 11);
        header.hostSystem = raw[15];
        header.fileCrc = get32(raw + 16);
        header.fileTime = get32(raw + 20);
        header.versionNeeded = raw[24];
        header.method = raw[25];
        header.nameSize = get16(raw + 26);
        header.attributes = get32(raw + 28);
        header.dataOffset = start + header.headerSize;
        // The name must lie inside the header; a longer one would run into
        // the data area or past the end of the file.
        if (fileHeaderFixedSize + header.nameSize > header.headerSize)
            return BlockResult::damaged;
        std::vector<uint8_t> name(header.nameSize);
        if (!readAt(start + fileHeaderFixedSize, name.data(), name.size()))
            return BlockResult::damaged;
        uint32_t crc = crc32Update(0xFFFFFFFFu, raw + 2, fileHeaderFixedSize - 2);
        crc = ~crc32Update(crc, name.data(), name.size());
        header.headerCrcOk = uint16_t(crc) == header.headerCrc;
        const size_t used = std::min(name.size(), maxNameBytes);
        const auto nul = std::find(name.begin(), name.begin() + long(used), uint8_t(0));
        header.name.assign(name.begin(), nul);
        return BlockResult::file;
    }
}

std::string normaliseName(const std::string& name)
{
    std::string result = name.substr(0, 512);
    for (char& c : result) {
        if (c == '\\' || c == '/')
            c = '_';
        else if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return result;
}

}  // namespace rar
