#include <gtest/gtest.h>

#include "resources/datafile.h"
#include "tests/support/temp_dir.h"

#include <string>

namespace {

class DataFileTest : public ::testing::Test {
protected:
    void SetUp() override { clearDataArchive(); }
    void TearDown() override { clearDataArchive(); }
    std::string write(const std::string& name, const std::string& bytes) { return dir_.write(name, bytes); }
    TempDir dir_;
};

TEST_F(DataFileTest, LooseFileIsReadWhole)
{
    const std::string path = write("ten.bin", "0123456789");
    DataFile* file = dataOpen(path.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->size, 10u);
    EXPECT_EQ(dataTell(file), 0u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(file->data), 10), "0123456789");
    EXPECT_EQ(dataClose(file), 0);
}

TEST_F(DataFileTest, MissingLooseFileIsNull)
{
    EXPECT_EQ(dataOpen((dir_.path() / "nothing.bin").string().c_str()), nullptr);
    EXPECT_EQ(dataOpen(nullptr), nullptr);
}

TEST_F(DataFileTest, EmptyFileOpensWithSizeZero)
{
    const std::string path = write("empty.bin", "");
    DataFile* file = dataOpen(path.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->size, 0u);
    EXPECT_EQ(dataGetByteOrEnd(file), -1);
    dataClose(file);
}

TEST_F(DataFileTest, ReadCopiesWholeItemsOnly)
{
    const std::string path = write("twelve.bin", "abcdefghijkl");
    DataFile* file = dataOpen(path.c_str());
    ASSERT_NE(file, nullptr);
    dataSeek(file, 2, 0);
    char buffer[12] = {};
    EXPECT_EQ(dataRead(buffer, 4, 3, file), 2u);
    EXPECT_EQ(std::string(buffer, 8), "cdefghij");
    EXPECT_EQ(dataTell(file), 10u);
    EXPECT_EQ(dataRead(buffer, 4, 1, file), 0u);
    EXPECT_EQ(dataTell(file), 10u);
    EXPECT_EQ(dataRead(buffer, 1, 5, file), 2u);
    dataClose(file);
}

TEST_F(DataFileTest, SeekOrigins)
{
    const std::string path = write("twenty.bin", std::string(20, 'x'));
    DataFile* file = dataOpen(path.c_str());
    ASSERT_NE(file, nullptr);
    dataSeek(file, -4, 2);
    EXPECT_EQ(dataTell(file), 16u);
    dataSeek(file, 2, 1);
    EXPECT_EQ(dataTell(file), 18u);
    dataSeek(file, 5, 0);
    EXPECT_EQ(dataTell(file), 5u);
    dataSeek(file, 9, 7);
    EXPECT_EQ(dataTell(file), 5u);
    // Beyond the end reads return nothing.
    dataSeek(file, 30, 0);
    char byte = 0;
    EXPECT_EQ(dataRead(&byte, 1, 1, file), 0u);
    EXPECT_EQ(dataGetByteOrEnd(file), -1);
    dataClose(file);
}

TEST_F(DataFileTest, ByteReadersAtTheEnd)
{
    const std::string path = write("two.bin", std::string("\x01\xff", 2));
    DataFile* file = dataOpen(path.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(dataGetByteOrEnd(file), 1);
    EXPECT_EQ(dataGetByte(file), 0xff);
    EXPECT_EQ(dataGetByteOrEnd(file), -1);
    EXPECT_EQ(dataTell(file), 2u);
    // The unchecked reader never reads past the block.
    EXPECT_EQ(dataGetByte(file), 0);
    dataClose(file);
}

TEST_F(DataFileTest, ArchiveSetMeansNoLooseFiles)
{
    const std::string path = write("loose.txt", "here");
    setDataArchive((dir_.path() / "no-such-archive.dpk").string().c_str(), "quill");
    EXPECT_TRUE(dataArchiveInUse());
    EXPECT_EQ(dataOpen(path.c_str()), nullptr);
    clearDataArchive();
    DataFile* file = dataOpen(path.c_str());
    ASSERT_NE(file, nullptr);
    dataClose(file);
}

}  // namespace
