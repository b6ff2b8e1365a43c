#include "resources/archive/pack_archive.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "resources/archive/crc32.h"
#include "resources/archive/rar20_cipher.h"
#include "resources/archive/rar20_unpack.h"
#include "resources/archive/rar_blocks.h"
#include "resources/archive/unpack_log.h"

namespace {

// The longest run one packed bit can expand to is a repeated match of 260
// bytes; anything claiming more than this per packed byte is not a RAR
// 2.0 stream and must not make us allocate for it.
constexpr uint64_t maxExpansionPerByte = 2200;

uint64_t roundUp16(uint64_t n) { return (n + 15) & ~uint64_t(15); }

// One extraction from open to close. Everything it holds dies with it.
class Extraction {
public:
    Extraction(const char* member, const char* archive, const char* password)
        : member_(member), wanted_(rar::normaliseName(member)), archive_(archive), password_(password)
    {
    }
    ~Extraction()
    {
        std::fill(password_.begin(), password_.end(), '\0');
        cipher_.clear();
    }

    bool run();
    uint32_t outputCount() const { return outputCount_; }
    uint8_t* releaseOutput() { return output_.release(); }

private:
    bool openArchive();
    bool unpackMember(const rar::FileHeader& header, bool wanted);
    bool readPacked(const rar::FileHeader& header, std::vector<uint8_t>& packed, size_t count);

    std::string member_;
    std::string wanted_;
    std::string archive_;
    std::string password_;
    rar::BlockReader reader_;
    Rar20Unpacker unpacker_;
    Rar20Cipher cipher_;
    std::unique_ptr<uint8_t[]> output_;
    uint32_t outputCount_ = 0;
};

bool Extraction::openArchive()
{
    switch (reader_.open(archive_.c_str())) {
    case rar::OpenResult::ok:
        return true;
    case rar::OpenResult::cannotOpen:
        unpackLog("Error opening file.");
        return false;
    case rar::OpenResult::oldFormat:
        unpackLog("Attention: format as OLD detected! Can't handel archive!");
        break;
    case rar::OpenResult::unknownFormat:
        unpackLog("unknown archive type (only plain RAR supported (normal and solid archives), SFX and Volumes are "
                  "NOT supported!)");
        break;
    case rar::OpenResult::tooShort:
        break;
    }
    unpackLog("Not a RAR file");
    return false;
}

bool Extraction::run()
{
    if (!openArchive())
        return false;
    if (!unpacker_.create()) {
        unpackLog("Can't allocate memory for decompression!");
        return false;
    }
    for (;;) {
        rar::FileHeader header;
        switch (reader_.next(header)) {
        case rar::BlockResult::end:
            unpackLog(logFormat("No member >%s< in the archive.", member_.c_str()));
            return false;
        case rar::BlockResult::subBlock:
            unpackLog("Sorry, sub-headers not supported.");
            return false;
        case rar::BlockResult::damaged:
            unpackLog("file header broken: its name runs past the header");
            return false;
        case rar::BlockResult::file:
            break;
        }
        if (!header.headerCrcOk)
            unpackLog("file header broken");
        const bool wanted = rar::normaliseName(header.name) == wanted_;
        if (wanted) {
            // Sizes are checked before anything is allocated for them: the
            // packed data must lie in the file, and the unpacked size must be
            // one that data can give.
            if (header.dataOffset > reader_.fileSize() || header.packSize > reader_.fileSize() - header.dataOffset) {
                unpackLog("file header broken: packed data run past the end of the archive");
                return false;
            }
            const uint64_t packedLimit = header.method == rar::methodStored
                                             ? roundUp16(header.packSize)
                                             : uint64_t(header.packSize) * maxExpansionPerByte + 16;
            if (header.unpackedSize > packedLimit) {
                unpackLog("file header broken: unpacked size cannot come from the packed size");
                return false;
            }
            output_.reset(new (std::nothrow) uint8_t[roundUp16(uint64_t(header.unpackedSize) + 1)]());
            outputCount_ = 0;
            if (!output_) {
                unpackLog("can't allocate memory for the file decompression");
                return false;
            }
        }
        if ((reader_.solid() || wanted) && !unpackMember(header, wanted))
            return false;
        if (wanted)
            return true;
    }
}

bool Extraction::readPacked(const rar::FileHeader& header, std::vector<uint8_t>& packed, size_t count)
{
    if (header.dataOffset > reader_.fileSize() || header.packSize > reader_.fileSize() - header.dataOffset) {
        unpackLog("file header broken: packed data run past the end of the archive");
        return false;
    }
    packed.resize(count);
    if (!reader_.readAt(header.dataOffset, packed.data(), count)) {
        unpackLog("Error reading the packed data.");
        return false;
    }
    return true;
}

bool Extraction::unpackMember(const rar::FileHeader& header, bool wanted)
{
    if (header.versionNeeded < 13 || header.versionNeeded > 20) {
        unpackLog("unknown compression method");
        return false;
    }
    const bool stored = header.method == rar::methodStored;
    // A stored member ahead of the wanted one does not touch the window.
    if (stored && !wanted)
        return true;

    const bool enciphered = !password_.empty() && (header.flags & rar::flagEnciphered);
    const bool decipher = enciphered && header.versionNeeded >= 20;
    if (enciphered && !decipher)
        unpackLog("Old Crypt() not supported!");
    if (decipher)
        cipher_.setPassword(password_.c_str());

    std::vector<uint8_t> packed;
    if (stored) {
        // Deciphering works on whole blocks, so an enciphered member is read
        // up to the block boundary after its contents.
        const uint64_t want = decipher ? roundUp16(header.unpackedSize) : header.unpackedSize;
        const size_t count = size_t(std::min<uint64_t>(want, header.packSize));
        if (!readPacked(header, packed, count))
            return false;
        if (decipher)
            cipher_.decrypt(packed.data(), packed.size());
        outputCount_ = uint32_t(std::min<size_t>(count, header.unpackedSize));
        std::copy_n(packed.begin(), outputCount_, output_.get());
    } else {
        if (!readPacked(header, packed, header.packSize))
            return false;
        if (decipher)
            cipher_.decrypt(packed.data(), packed.size());
        const bool continues = reader_.solid() && (header.flags & rar::flagSolidMember);
        if (!unpacker_.unpack(packed.data(), packed.size(), header.unpackedSize, continues,
                              wanted ? output_.get() : nullptr)) {
            unpackLog(unpacker_.error());
            return false;
        }
        if (wanted)
            outputCount_ = header.unpackedSize;
    }
    cipher_.clear();
    if (wanted && crc32(output_.get(), header.unpackedSize) != header.fileCrc) {
        unpackLog("CRC32 error - file couldn't be decompressed correctly!");
        return false;
    }
    return true;
}

}  // namespace

int extractFile(uint8_t** outData, uint32_t* outSize, const char* memberName, const char* archivePath,
                const char* password)
{
    if (outData)
        *outData = nullptr;
    if (outSize)
        *outSize = 0;
    if (!outData || !outSize || !memberName || !archivePath)
        return 0;
    if (!password)
        password = "";
    startUnpackLog();
    // The password never reaches the log file in clear text.
    unpackLog(logFormat("Extracting >%s< from >%s< (password is >%s<)...", memberName, archivePath,
                        *password ? "***" : ""));
    Extraction extraction(memberName, archivePath, password);
    if (!extraction.run()) {
        unpackLog(logFormat("Error - couldn't extract >%s< and allocated %u Bytes of unused memory!", memberName, 0u));
        return 0;
    }
    *outSize = extraction.outputCount();
    *outData = extraction.releaseOutput();
    unpackLog(logFormat("Extracted %u Bytes.", *outSize));
    return 1;
}
