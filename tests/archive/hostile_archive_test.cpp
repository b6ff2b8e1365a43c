// Damaged and hostile archives: lying sizes, broken Huffman tables, matches
// that reach outside the output. Each must fail cleanly with a log line;
// none may read or write outside its buffers (run under AddressSanitizer).
#include <gtest/gtest.h>

#include <sys/resource.h>

#include "resources/archive/archive_writer.h"
#include "resources/archive/crc32.h"
#include "tests/archive/archive_test_support.h"
#include "tests/archive/rar20_stream_builder.h"

namespace {

// An archive with one compressed member "m" holding the given stream.
std::string compressedArchive(const TempDir& dir, const std::vector<uint8_t>& stream,
                              const std::vector<uint8_t>& contents, uint32_t unpackedSize)
{
    std::vector<uint8_t> bytes;
    appendArchiveStart(bytes, 0);
    appendFileHeader(bytes, MemberHeader{"m", 0x8000, uint32_t(stream.size()), unpackedSize,
                                         crc32(contents.data(), contents.size()), 20, 0x33});
    bytes.insert(bytes.end(), stream.begin(), stream.end());
    return writeBytes(dir, "m.rar", bytes);
}

const std::vector<uint8_t> abcabcab = {'a', 'b', 'c', 'a', 'b', 'c', 'a', 'b'};

}  // namespace

TEST(HostileArchive, BuilderStreamDecodesAsIntended)
{
    // Guards the builder the other cases rely on: literals and a match that
    // overlaps its own output.
    TempDir dir;
    Rar20StreamBuilder s;
    s.fixedTables();
    s.literal('a'), s.literal('b'), s.literal('c');
    s.match(5, 3);
    EXPECT_EQ(extractMember(compressedArchive(dir, s.finish(), abcabcab, 8), "m").data, abcabcab);
}

TEST(HostileArchive, MatchBeforeTheStartOfTheOutputFails)
{
    TempDir dir;
    Rar20StreamBuilder s;
    s.fixedTables();
    s.literal('a');
    s.match(3, 4);
    LogCapture log;
    EXPECT_EQ(extractMember(compressedArchive(dir, s.finish(), {'a', 0, 0, 0}, 4), "m").result, 0);
    EXPECT_TRUE(log.contains("match distance before the start of the output"));
}

TEST(HostileArchive, MatchPastTheUnpackedSizeFails)
{
    TempDir dir;
    Rar20StreamBuilder s;
    s.fixedTables();
    s.literal('a'), s.literal('b'), s.literal('c');
    s.match(10, 3);
    LogCapture log;
    EXPECT_EQ(extractMember(compressedArchive(dir, s.finish(), abcabcab, 8), "m").result, 0);
    EXPECT_TRUE(log.contains("Fatal! Buffer overrun during decompression!"));
}

TEST(HostileArchive, OverSubscribedTablesFail)
{
    TempDir dir;
    {
        Rar20StreamBuilder s;  // 19 bit-length codes of one bit each
        s.bits(0, 2);
        for (int i = 0; i < 19; ++i)
            s.bits(1, 4);
        s.bits(0, 32);
        LogCapture log;
        EXPECT_EQ(extractMember(compressedArchive(dir, s.finish(), abcabcab, 8), "m").result, 0);
        EXPECT_TRUE(log.contains("over-subscribed bit length table"));
    }
    {
        Rar20StreamBuilder s;  // 298 main codes of two bits each
        std::vector<uint8_t> lengths(298, 2);
        lengths.resize(374, 5);
        s.tables(lengths);
        s.bits(0, 32);
        LogCapture log;
        EXPECT_EQ(extractMember(compressedArchive(dir, s.finish(), abcabcab, 8), "m").result, 0);
        EXPECT_TRUE(log.contains("over-subscribed Huffman table"));
    }
}

TEST(HostileArchive, CodesAnIncompleteTableLacksFail)
{
    // Only 'a' (code 0) and 'b' (code 10) exist; 11 is no code at all.
    TempDir dir;
    std::vector<uint8_t> lengths(374, 0);
    lengths['a'] = 1;
    lengths['b'] = 2;
    Rar20StreamBuilder s;
    s.tables(lengths);
    s.bits(0, 1), s.bits(2, 2), s.bits(3, 2), s.bits(0, 16);
    LogCapture log;
    EXPECT_EQ(extractMember(compressedArchive(dir, s.finish(), abcabcab, 8), "m").result, 0);
    EXPECT_TRUE(log.contains("undefined code in the packed data"));
}

TEST(HostileArchive, RepeatCodeWithNothingBeforeItFails)
{
    TempDir dir;
    Rar20StreamBuilder s;
    s.bits(0, 2);
    for (int i = 0; i < 19; ++i)
        s.bits(5, 4);
    s.bits(16, 5);
    s.bits(0, 32);
    LogCapture log;
    EXPECT_EQ(extractMember(compressedArchive(dir, s.finish(), abcabcab, 8), "m").result, 0);
    EXPECT_TRUE(log.contains("table repeat code with nothing to repeat"));
}

TEST(HostileArchive, PackedDataEndingEarlyFails)
{
    TempDir dir;
    Rar20StreamBuilder s;
    s.fixedTables();
    s.literal('a'), s.literal('b'), s.literal('c');
    LogCapture log;
    EXPECT_EQ(extractMember(compressedArchive(dir, s.finish(), abcabcab, 8), "m").result, 0);
    EXPECT_TRUE(log.contains("packed data end before the member is complete"));
}

TEST(HostileArchive, LyingHeaderSizesFail)
{
    TempDir dir;
    std::vector<uint8_t> good;
    std::string error;
    ASSERT_TRUE(buildArchive({{"name.txt", abcabcab}}, "", good, error));
    const size_t header = 20;
    {
        // Name size beyond the header size: the name would run into the data.
        std::vector<uint8_t> bytes = good;
        bytes[header + 26] = 200;
        LogCapture log;
        EXPECT_EQ(extractMember(writeBytes(dir, "name.rar", bytes), "name.txt").result, 0);
        EXPECT_TRUE(log.contains("file header broken: its name runs past the header"));
    }
    {
        // A header size below the fixed part.
        std::vector<uint8_t> bytes = good;
        bytes[header + 5] = 20;
        EXPECT_EQ(extractMember(writeBytes(dir, "hsize.rar", bytes), "name.txt").result, 0);
    }
    {
        // Pack size past the end of the file.
        std::vector<uint8_t> bytes = good;
        bytes[header + 9] = 0x40;
        LogCapture log;
        EXPECT_EQ(extractMember(writeBytes(dir, "pack.rar", bytes), "name.txt").result, 0);
        EXPECT_TRUE(log.contains("file header broken: packed data run past the end of the archive"));
    }
    {
        // An unpacked size no stored data of that pack size can give.
        std::vector<uint8_t> bytes = good;
        bytes[header + 14] = 0xF0;
        LogCapture log;
        EXPECT_EQ(extractMember(writeBytes(dir, "unpacked.rar", bytes), "name.txt").result, 0);
        EXPECT_TRUE(log.contains("file header broken: unpacked size cannot come from the packed size"));
    }
}

TEST(HostileArchive, AHugeDeclaredSizeAllocatesNothingForIt)
{
    // A few bytes of packed data that declare 16 MiB of it and almost 4 GiB
    // of unpacked output: refused before the output buffer is made.
    TempDir dir;
    std::vector<uint8_t> bytes;
    appendArchiveStart(bytes, 0);
    appendFileHeader(bytes, MemberHeader{"m", 0x8000, 0x01000000u, 4294901760u, 0, 20, 0x33});
    bytes.insert(bytes.end(), 64, 0x5A);
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    LogCapture log;
    EXPECT_EQ(extractMember(writeBytes(dir, "huge.rar", bytes), "m").result, 0);
    EXPECT_TRUE(log.contains("file header broken: packed data run past the end of the archive"));
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "peak resident size grew by KiB";
}

TEST(HostileArchive, TruncatedAndBitFlippedTestArchivesNeverCrash)
{
    struct Case {
        const char* archive;
        const char* member;
        const char* password;
        uint32_t crc;
    };
    const Case cases[] = {
        {"test_v2.rar", "p3.bin", "", 0x10751aba},       {"test_v2.rar", "pMM.bin", "", 0x10751aba},
        {"test_v2solid5.rar", "p5_solid.bin", "", 0x10751aba}, {"rar2-unix-owner.rar", "file.txt", "", 0x7e3265a8},
        {"rar202-comment-psw.rar", "FILE2.TXT", "password", 0x785fc3e3},
    };
    TempDir dir;
    setUnpackLogEnabled(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        const std::vector<uint8_t> original = readBytes(testRarDir + c.archive);
        ASSERT_FALSE(original.empty());
        const size_t step = std::max<size_t>(1, original.size() / 150);
        for (size_t cut = 0; cut < original.size(); cut += step) {
            const std::vector<uint8_t> part(original.begin(), original.begin() + long(cut));
            const Extracted e = extractMember(writeBytes(dir, "cut.rar", part), c.member, c.password);
            EXPECT_TRUE(e.result == 0 || (e.result == 1 && crc32(e.data.data(), e.data.size()) == c.crc)) << cut;
        }
        uint32_t seed = 12345;
        for (int flip = 0; flip < 300; ++flip) {
            seed = seed * 1103515245u + 12345u;
            std::vector<uint8_t> bytes = original;
            const size_t at = (seed >> 8) % bytes.size();
            bytes[at] ^= uint8_t(1u << ((seed >> 4) & 7));
            const Extracted e = extractMember(writeBytes(dir, "flip.rar", bytes), c.member, c.password);
            EXPECT_TRUE(e.result == 0 || (e.result == 1 && crc32(e.data.data(), e.data.size()) == c.crc)) << at;
        }
    }
    setUnpackLogEnabled(true);
}
