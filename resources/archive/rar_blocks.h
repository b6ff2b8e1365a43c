#pragma once
// Block-level reading of a RAR 2.x archive: the marker, the main header and
// the chain of blocks after it, as far as the data archive needs them.
#include <cstdint>
#include <cstdio>
#include <string>

namespace rar {

constexpr uint8_t fileBlock = 0x74;
constexpr uint8_t subBlock = 0x77;
constexpr uint16_t flagLongBlock = 0x8000;   // a data area of pack size follows
constexpr uint16_t flagEnciphered = 0x0004;
constexpr uint16_t flagSolidMember = 0x0010;  // continues the previous member's stream
constexpr uint16_t flagSolidArchive = 0x0008;  // in the main header
constexpr uint8_t methodStored = 0x30;
constexpr size_t fileHeaderFixedSize = 32;
constexpr size_t mainHeaderSize = 13;
constexpr size_t markerSize = 7;
// Stored names are considered up to this many bytes.
constexpr size_t maxNameBytes = 259;

// One block read with the layout of a file header. For other block types
// only type, flags, headerSize and packSize mean anything.
struct FileHeader {
    uint16_t headerCrc = 0;
    uint8_t type = 0;
    uint16_t flags = 0;
    uint16_t headerSize = 0;
    uint32_t packSize = 0;
    uint32_t unpackedSize = 0;
    uint8_t hostSystem = 0;
    uint32_t fileCrc = 0;
    uint32_t fileTime = 0;
    uint8_t versionNeeded = 0;
    uint8_t method = 0;
    uint16_t nameSize = 0;
    uint32_t attributes = 0;
    std::string name;         // at most maxNameBytes, up to the first NUL
    bool headerCrcOk = true;  // file headers only
    uint64_t dataOffset = 0;  // where the data area starts in the file
};

enum class OpenResult { ok, cannotOpen, oldFormat, unknownFormat, tooShort };

enum class BlockResult {
    file,         // a file header was read into the header
    subBlock,     // an old-style sub-block
    end,          // no further block
    damaged       // a file header whose name does not fit in it
};

// Reads the block chain of one archive file. Owns the open file; not copyable.
class BlockReader {
public:
    BlockReader() = default;
    ~BlockReader();
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // Opens path, checks the marker, reads the main header and positions the
    // reader at the first block. On failure the reader stays closed.
    OpenResult open(const char* path);

    // True when the main header marks a solid archive.
    bool solid() const { return solid_; }

    // Size of the archive file in bytes.
    uint64_t fileSize() const { return fileSize_; }

    // Reads the next file header or sub-block, skipping every other block
    // type, and moves past it. Returns end at the end of the chain (a short
    // read, a header size below 7, or a chain that does not move forward).
    BlockResult next(FileHeader& header);

    // Reads size bytes at offset into dest. False when they are not all there.
    bool readAt(uint64_t offset, uint8_t* dest, size_t size);

    // Closes the file; the reader can be opened again.
    void close();

private:
    std::FILE* file_ = nullptr;
    uint64_t fileSize_ = 0;
    uint64_t blockStart_ = 0;
    bool solid_ = false;
};

// Members are matched without regard to case and path separator: "\" and
// "/" both become "_" and letters are compared in upper case.
std::string normaliseName(const std::string& name);

}  // namespace rar
