#pragma once
// Writes RAR 2.x archives of stored members (method "0", version needed
// 20), optionally enciphered with the RAR 2.0 cipher, that any RAR
// extractor can read.
#include <cstdint>
#include <string>
#include <vector>

struct ArchiveMember {
    std::string name;  // as stored, e.g. "data\\script.scr"
    std::vector<uint8_t> data;
};

// The fields of one file header as written; the header CRC is computed.
struct MemberHeader {
    std::string name;
    uint16_t flags = 0x8000;
    uint32_t packSize = 0;
    uint32_t unpackedSize = 0;
    uint32_t fileCrc = 0;
    uint8_t versionNeeded = 20;
    uint8_t method = 0x30;
};

// Appends the marker and a main header with the given flags (0x0008 marks
// a solid archive) to an empty buffer.
void appendArchiveStart(std::vector<uint8_t>& out, uint16_t mainFlags);

// Appends one file header (no data) with its header CRC. The name must fit
// in 65535 - 32 bytes.
void appendFileHeader(std::vector<uint8_t>& out, const MemberHeader& header);

// Writes members in order to a new archive at path (replacing any file
// there). An empty password writes plain members. Returns false with a
// reason in error when the file cannot be written or a member does not fit
// the format (names over 65535 bytes, contents of 4 GiB or more).
bool writeArchive(const char* path, const std::vector<ArchiveMember>& members, const std::string& password,
                  std::string& error);

// The bytes writeArchive would write.
bool buildArchive(const std::vector<ArchiveMember>& members, const std::string& password,
                  std::vector<uint8_t>& archive, std::string& error);
