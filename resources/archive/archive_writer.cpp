#include "resources/archive/archive_writer.h"

#include <cstdio>

#include "resources/archive/crc32.h"
#include "resources/archive/rar20_cipher.h"
#include "resources/archive/rar_blocks.h"

namespace {

constexpr uint8_t mainBlock = 0x73;
constexpr uint8_t hostWin32 = 2;
constexpr uint32_t attributeArchive = 0x20;
// 2004-01-01 00:00:00 as a DOS date and time: archives of the same tree are
// the same bytes on every build.
constexpr uint32_t fixedDosTime = uint32_t((2004 - 1980) << 9 | 1 << 5 | 1) << 16;

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Fills in the CRC of the header that starts at offset and runs to the end.
void sealHeader(std::vector<uint8_t>& out, size_t offset)
{
    const uint32_t crc = crc32(out.data() + offset + 2, out.size() - offset - 2);
    out[offset] = uint8_t(crc);
    out[offset + 1] = uint8_t(crc >> 8);
}

}  // namespace

void appendArchiveStart(std::vector<uint8_t>& out, uint16_t mainFlags)
{
    out = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
    put16(out, 0);
    out.push_back(mainBlock);
    put16(out, mainFlags);
    put16(out, rar::mainHeaderSize);
    put16(out, 0);
    put32(out, 0);
    sealHeader(out, rar::markerSize);
}

void appendFileHeader(std::vector<uint8_t>& out, const MemberHeader& header)
{
    const size_t start = out.size();
    put16(out, 0);
    out.push_back(rar::fileBlock);
    put16(out, header.flags);
    put16(out, uint32_t(rar::fileHeaderFixedSize + header.name.size()));
    put32(out, header.packSize);
    put32(out, header.unpackedSize);
    out.push_back(hostWin32);
    put32(out, header.fileCrc);
    put32(out, fixedDosTime);
    out.push_back(header.versionNeeded);
    out.push_back(header.method);
    put16(out, uint32_t(header.name.size()));
    put32(out, attributeArchive);
    out.insert(out.end(), header.name.begin(), header.name.end());
    sealHeader(out, start);
}

bool buildArchive(const std::vector<ArchiveMember>& members, const std::string& password,
                  std::vector<uint8_t>& archive, std::string& error)
{
    appendArchiveStart(archive, 0);
    Rar20Cipher cipher;
    for (const ArchiveMember& member : members) {
        if (member.name.size() > 0xFFFF - rar::fileHeaderFixedSize) {
            error = "name too long: " + member.name.substr(0, 64) + "...";
            return false;
        }
        if (member.data.size() >= 0xFFFFFFF0u) {
            error = "file too large for the archive: " + member.name;
            return false;
        }
        MemberHeader header;
        header.name = member.name;
        header.unpackedSize = uint32_t(member.data.size());
        header.fileCrc = crc32(member.data.data(), member.data.size());
        std::vector<uint8_t> data = member.data;
        if (!password.empty()) {
            header.flags |= rar::flagEnciphered;
            data.resize((data.size() + 15) & ~size_t(15), 0);
            cipher.setPassword(password.c_str());
            cipher.encrypt(data.data(), data.size());
        }
        header.packSize = uint32_t(data.size());
        appendFileHeader(archive, header);
        archive.insert(archive.end(), data.begin(), data.end());
    }
    cipher.clear();
    return true;
}

bool writeArchive(const char* path, const std::vector<ArchiveMember>& members, const std::string& password,
                  std::string& error)
{
    std::vector<uint8_t> archive;
    if (!buildArchive(members, password, archive, error))
        return false;
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        error = std::string("cannot create ") + path;
        return false;
    }
    const bool written = std::fwrite(archive.data(), 1, archive.size(), file) == archive.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = std::string("cannot write ") + path;
        return false;
    }
    return true;
}
