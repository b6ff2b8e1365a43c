#include "resources/archive/archive_check.h"

#include "resources/archive/pack_archive.h"
#include "resources/archive/rar_blocks.h"

#include <cstdint>
#include <optional>

namespace {

// RAR's file-header flag of a member enciphered with a password.
constexpr uint16_t encipheredFlag = 0x04;

// The fault of the block chain itself, reading every header to the end;
// sets memberFlags when member is among the headers.
std::string chainFault(rar::BlockReader& reader, const std::string& wanted, std::optional<uint16_t>& memberFlags)
{
    for (;;) {
        rar::FileHeader header;
        switch (reader.next(header)) {
        case rar::BlockResult::end:
            return {};
        case rar::BlockResult::subBlock:
            return "it holds a sub-block this reader does not know";
        case rar::BlockResult::damaged:
            return "it is damaged: a member's header is broken";
        case rar::BlockResult::file:
            break;
        }
        if (header.dataOffset > reader.fileSize() || header.packSize > reader.fileSize() - header.dataOffset)
            return "it is cut short or damaged: the data of " + header.name + " run past the end of the file";
        if (rar::normaliseName(header.name) == wanted)
            memberFlags = header.flags;
    }
}

}  // namespace

std::string archiveFault(const char* archivePath, const char* password, const char* member)
{
    rar::BlockReader reader;
    switch (reader.open(archivePath)) {
    case rar::OpenResult::ok:
        break;
    case rar::OpenResult::cannotOpen:
        return "the file cannot be opened";
    case rar::OpenResult::oldFormat:
    case rar::OpenResult::unknownFormat:
    case rar::OpenResult::tooShort:
        return "it is not a RAR archive";
    }
    std::optional<uint16_t> memberFlags;
    const std::string fault = chainFault(reader, rar::normaliseName(member), memberFlags);
    reader.close();
    if (!fault.empty())
        return fault;
    if (!memberFlags)
        return std::string("it holds no ") + member;
    if ((*memberFlags & encipheredFlag) != 0 && (password == nullptr || password[0] == '\0'))
        return std::string(member) + " is enciphered and no password was given (--password)";
    uint8_t* data = nullptr;
    uint32_t size = 0;
    if (extractFile(&data, &size, member, archivePath, password) == 0)
        return std::string(member) + " does not extract to its checksum: a wrong password, or damaged data";
    delete[] data;
    return {};
}
