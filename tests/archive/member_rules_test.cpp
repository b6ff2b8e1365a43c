// How members are found and which ones the reader refuses: name matching,
// markers, versions, header CRCs, sub-blocks, solid archives, and the lines
// the debug log gets for each.
#include <gtest/gtest.h>

#include <regex>

#include "resources/archive/archive_writer.h"
#include "resources/archive/crc32.h"
#include "tests/archive/archive_test_support.h"

namespace {

const std::vector<uint8_t> script = {'D', 'E', 'M', 'O', 'S', 'T', 'A', 'R', 'T', ' ', '0', '\n'};

std::vector<uint8_t> storedArchive(const std::vector<ArchiveMember>& members, const std::string& password = "")
{
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(buildArchive(members, password, bytes, error)) << error;
    return bytes;
}

// Offset of the first file header in what buildArchive writes.
constexpr size_t firstHeader = 7 + 13;

}  // namespace

TEST(MemberRules, NamesMatchWithoutCaseOrSeparator)
{
    TempDir dir;
    for (const char* stored : {"data\\script.scr", "DATA/SCRIPT.SCR", "data_script.scr", "Data\\Script.Scr"}) {
        SCOPED_TRACE(stored);
        const std::string path = writeBytes(dir, "a.rar", storedArchive({{"other.txt", {1, 2}}, {stored, script}}));
        EXPECT_EQ(extractMember(path, "data/script.scr").data, script);
        EXPECT_EQ(extractMember(path, "DATA\\SCRIPT.SCR").data, script);
    }
    const std::string path = writeBytes(dir, "b.rar", storedArchive({{"data\\script.scr", script}}));
    EXPECT_EQ(extractMember(path, "data/script.sc").result, 0);
    EXPECT_EQ(extractMember(path, "script.scr").result, 0);
}

TEST(MemberRules, MarkersDecideWhatIsRead)
{
    TempDir dir;
    std::vector<uint8_t> bytes = storedArchive({{"a.txt", script}});
    const std::vector<uint8_t> ostrak = {'O', 's', 't', 'r', 'a', 'k', '!'};
    std::copy(ostrak.begin(), ostrak.end(), bytes.begin());
    EXPECT_EQ(extractMember(writeBytes(dir, "ostrak.rar", bytes), "a.txt").data, script);

    bytes[0] = 0x52, bytes[1] = 0x45, bytes[2] = 0x7E, bytes[3] = 0x5E;
    LogCapture oldLog;
    EXPECT_EQ(extractMember(writeBytes(dir, "old.rar", bytes), "a.txt").result, 0);
    EXPECT_TRUE(oldLog.contains("Attention: format as OLD detected! Can't handel archive!"));
    EXPECT_TRUE(oldLog.contains("Not a RAR file"));

    bytes[0] = 'M', bytes[1] = 'Z';
    LogCapture sfxLog;
    EXPECT_EQ(extractMember(writeBytes(dir, "sfx.rar", bytes), "a.txt").result, 0);
    EXPECT_TRUE(sfxLog.contains("unknown archive type (only plain RAR supported (normal and solid archives), SFX and "
                                "Volumes are NOT supported!)"));

    LogCapture shortLog;
    const std::vector<uint8_t> empty = storedArchive({});
    const std::vector<uint8_t> markerOnly(empty.begin(), empty.begin() + 12);
    EXPECT_EQ(extractMember(writeBytes(dir, "short.rar", markerOnly), "a.txt").result, 0);
    EXPECT_TRUE(shortLog.contains("Not a RAR file"));

    LogCapture missingLog;
    EXPECT_EQ(extractMember((dir.path() / "missing.rar").string(), "a.txt").result, 0);
    EXPECT_TRUE(missingLog.contains("Error opening file."));
}

TEST(MemberRules, VersionNeededOutside13To20IsRefused)
{
    TempDir dir;
    for (uint8_t version : {uint8_t(29), uint8_t(12)}) {
        std::vector<uint8_t> bytes;
        appendArchiveStart(bytes, 0);
        MemberHeader header{"a.txt", 0x8000, uint32_t(script.size()), uint32_t(script.size()),
                            crc32(script.data(), script.size()), version, 0x30};
        appendFileHeader(bytes, header);
        bytes.insert(bytes.end(), script.begin(), script.end());
        LogCapture log;
        EXPECT_EQ(extractMember(writeBytes(dir, "v.rar", bytes), "a.txt").result, 0);
        EXPECT_TRUE(log.contains("unknown compression method"));
    }
}

TEST(MemberRules, BrokenHeaderCrcIsLoggedButTheMemberIsRead)
{
    TempDir dir;
    std::vector<uint8_t> bytes = storedArchive({{"a.txt", script}});
    bytes[firstHeader] ^= 0x5A;
    LogCapture log;
    EXPECT_EQ(extractMember(writeBytes(dir, "crc.rar", bytes), "a.txt").data, script);
    EXPECT_TRUE(log.contains("file header broken"));
}

TEST(MemberRules, WrongFileCrcFails)
{
    TempDir dir;
    std::vector<uint8_t> bytes = storedArchive({{"a.txt", script}});
    bytes.back() ^= 1;
    LogCapture log;
    EXPECT_EQ(extractMember(writeBytes(dir, "data.rar", bytes), "a.txt").result, 0);
    EXPECT_TRUE(log.contains("CRC32 error - file couldn't be decompressed correctly!"));
    EXPECT_TRUE(log.contains("Error - couldn't extract >a.txt< and allocated 0 Bytes of unused memory!"));
}

TEST(MemberRules, SubBlockStopsTheScanOtherBlocksAreSkipped)
{
    TempDir dir;
    const std::vector<uint8_t> plain = storedArchive({{"a.txt", script}});
    // A block of an unknown kind with a data area, then the member.
    std::vector<uint8_t> withComment(plain.begin(), plain.begin() + firstHeader);
    const std::vector<uint8_t> comment = {0, 0, 0x75, 0x00, 0x80, 11, 0, 4, 0, 0, 0, 'n', 'o', 't', 'e'};
    withComment.insert(withComment.end(), comment.begin(), comment.end());
    withComment.insert(withComment.end(), plain.begin() + firstHeader, plain.end());
    EXPECT_EQ(extractMember(writeBytes(dir, "comment.rar", withComment), "a.txt").data, script);

    std::vector<uint8_t> withSub = withComment;
    withSub[firstHeader + 2] = 0x77;
    LogCapture log;
    EXPECT_EQ(extractMember(writeBytes(dir, "sub.rar", withSub), "a.txt").result, 0);
    EXPECT_TRUE(log.contains("Sorry, sub-headers not supported."));
}

TEST(MemberRules, EncipheredMembersAndPasswords)
{
    TempDir dir;
    const std::string path =
        writeBytes(dir, "pw.rar", storedArchive({{"data\\a.txt", script}, {"b.bin", {0, 1, 2}}}, "quill"));
    EXPECT_EQ(extractMember(path, "data/a.txt", "quill").data, script);
    EXPECT_EQ(extractMember(path, "b.bin", "quill").data, (std::vector<uint8_t>{0, 1, 2}));
    LogCapture log;
    EXPECT_EQ(extractMember(path, "data/a.txt", "").result, 0);
    EXPECT_TRUE(log.contains("CRC32 error - file couldn't be decompressed correctly!"));
    EXPECT_EQ(extractMember(path, "data/a.txt", "quilt").result, 0);
    EXPECT_EQ(extractMember(path, "data/a.txt", "quill ").result, 0);
}

TEST(MemberRules, DebugLogLinesHaveTheirFormatAndHideThePassword)
{
    TempDir dir;
    const std::string path = writeBytes(dir, "pw.rar", storedArchive({{"a.txt", script}}, "sekrit-pass"));
    LogCapture log;
    ASSERT_EQ(extractMember(path, "a.txt", "sekrit-pass").result, 1);
    const std::string text = log.text();
    EXPECT_EQ(text.find("sekrit-pass"), std::string::npos);
    EXPECT_NE(text.find("- Extracting >a.txt< from >" + path + "< (password is >***<)...\n"), std::string::npos);
    EXPECT_TRUE(log.contains("Extracted 12 Bytes."));
    const std::regex entry(R"(^ {1,}\d{1,8} ms \(line \d+ in [a-z_0-9]+\.cpp\):\n {14}- .*\n)");
    EXPECT_TRUE(std::regex_search(text, entry)) << text;
}

TEST(MemberRules, StoredMembersAheadInASolidArchiveAreSkipped)
{
    TempDir dir;
    std::vector<uint8_t> bytes = storedArchive({{"a.txt", {9, 9, 9}}, {"b.txt", script}});
    bytes[7 + 3] |= 0x08;  // main header: solid
    EXPECT_EQ(extractMember(writeBytes(dir, "solid.rar", bytes), "b.txt").data, script);
}
