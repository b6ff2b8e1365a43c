// Every member of the shared test archives, written by real RAR 2.x
// versions, extracts with the size and CRC of the manifest.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "resources/archive/crc32.h"
#include "resources/archive/pack_archive.h"

namespace {

const std::string rarDir = std::string(SW_TESTDATA_DIR) + "/rar/";

struct ManifestRow {
    std::string archive, member;
    uint32_t size = 0;
    uint32_t crc = 0;
};

std::vector<ManifestRow> readManifest()
{
    std::vector<ManifestRow> rows;
    std::ifstream in(rarDir + "MANIFEST.tsv");
    std::string line;
    std::getline(in, line);  // column titles
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        ManifestRow row;
        std::string crcHex;
        if (std::getline(fields, row.archive, '\t') && std::getline(fields, row.member, '\t') &&
            (fields >> row.size >> crcHex)) {
            row.crc = uint32_t(std::stoul(crcHex, nullptr, 16));
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> extract(const std::string& archive, const char* member, const char* password, int* result)
{
    uint8_t* data = nullptr;
    uint32_t size = 0;
    *result = extractFile(&data, &size, member, archive.c_str(), password);
    std::unique_ptr<uint8_t[]> owned(data);
    if (!data)
        return {};
    return {data, data + size};
}

std::string passwordFor(const std::string& archive) { return archive.find("-psw") != std::string::npos ? "password" : ""; }

}  // namespace

TEST(TestdataArchives, EveryManifestMemberHasItsSizeAndCrc)
{
    const std::vector<ManifestRow> rows = readManifest();
    ASSERT_EQ(rows.size(), 14u);
    for (const ManifestRow& row : rows) {
        SCOPED_TRACE(row.archive + " / " + row.member);
        int result = 0;
        const std::vector<uint8_t> data =
            extract(rarDir + row.archive, row.member.c_str(), passwordFor(row.archive).c_str(), &result);
        ASSERT_EQ(result, 1);
        EXPECT_EQ(data.size(), row.size);
        EXPECT_EQ(crc32(data.data(), data.size()), row.crc);
    }
}

TEST(TestdataArchives, CompressedMembersEqualTheReferenceBytes)
{
    const std::vector<uint8_t> etalon = readFile(rarDir + "etalon.bin");
    ASSERT_EQ(etalon.size(), 16384u);
    for (const char* member : {"p1.bin", "p2.bin", "p3.bin", "p4.bin", "p5.bin", "pMM.bin"}) {
        SCOPED_TRACE(member);
        int result = 0;
        EXPECT_EQ(extract(rarDir + "test_v2.rar", member, "", &result), etalon);
    }
    int result = 0;
    EXPECT_EQ(extract(rarDir + "test_v2solid5.rar", "p5_solid.bin", "", &result), etalon);
}

TEST(TestdataArchives, EncipheredMembersNeedTheRightPassword)
{
    const std::string archive = rarDir + "rar202-comment-psw.rar";
    int result = 0;
    const std::vector<uint8_t> plain = extract(rarDir + "rar202-comment-nopsw.rar", "FILE2.TXT", "", &result);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(extract(archive, "file2.txt", "password", &result), plain);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(extract(archive, "FILE2.TXT", "", &result).empty());
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(extract(archive, "FILE2.TXT", "passwore", &result).empty());
    EXPECT_EQ(result, 0);
}

TEST(TestdataArchives, MissingMemberOrArchiveFails)
{
    int result = 1;
    EXPECT_TRUE(extract(rarDir + "test_v2.rar", "p6.bin", "", &result).empty());
    EXPECT_EQ(result, 0);
    result = 1;
    EXPECT_TRUE(extract(rarDir + "no-such-archive.rar", "p1.bin", "", &result).empty());
    EXPECT_EQ(result, 0);
    result = 1;
    EXPECT_TRUE(extract(rarDir + "MANIFEST.tsv", "p1.bin", "", &result).empty());
    EXPECT_EQ(result, 0);
}
