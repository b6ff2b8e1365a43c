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

// Writes members in order to a new archive at path (replacing any file
// there). An empty password writes plain members. Returns false with a
// reason in error when the file cannot be written or a member does not fit
// the format (names over 65535 bytes, contents of 4 GiB or more).
bool writeArchive(const char* path, const std::vector<ArchiveMember>& members, const std::string& password,
                  std::string& error);

// The bytes writeArchive would write.
bool buildArchive(const std::vector<ArchiveMember>& members, const std::string& password,
                  std::vector<uint8_t>& archive, std::string& error);
