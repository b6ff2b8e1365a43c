// What the player says about a data archive that cannot give it the
// script: each fault named, and nothing said about a good archive.
#include <gtest/gtest.h>

#include "resources/archive/archive_check.h"
#include "resources/archive/archive_writer.h"
#include "tests/archive/archive_test_support.h"

namespace {

class ArchiveFaultTest : public ::testing::Test {
protected:
    void SetUp() override { usePrivateTemporaryDirectory(); }

    // An archive of a script and a picture, enciphered with password.
    std::string write(const std::string& password)
    {
        const std::vector<ArchiveMember> members = {
            {"data\\script.scr", std::vector<uint8_t>(40, 'S')},
            {"data\\textures\\dot.png", std::vector<uint8_t>(3000, 0x5A)}};
        const std::string path = (dir_.path() / "hoard.dpk").string();
        std::string error;
        EXPECT_TRUE(writeArchive(path.c_str(), members, password, error)) << error;
        return path;
    }

    std::string fault(const std::string& path, const char* password = "quill",
                      const char* member = "data/script.scr")
    {
        return archiveFault(path.c_str(), password, member);
    }

    TempDir dir_;
};

TEST_F(ArchiveFaultTest, AGoodArchiveHasNone)
{
    const std::string path = write("quill");
    EXPECT_EQ(fault(path), "");
    EXPECT_EQ(fault(path, "quill", "DATA\\SCRIPT.SCR"), "");  // named as the reader names members
}

TEST_F(ArchiveFaultTest, EachFaultIsNamed)
{
    EXPECT_EQ(fault((dir_.path() / "absent.dpk").string()), "the file cannot be opened");
    EXPECT_EQ(fault(dir_.write("text.dpk", "this is no archive at all, just words")), "it is not a RAR archive");

    const std::string good = write("quill");
    std::vector<uint8_t> bytes = readBytes(good);
    bytes.resize(bytes.size() - 1000);  // inside the picture's data
    EXPECT_EQ(fault(writeBytes(dir_, "cut.dpk", bytes)),
              "it is cut short or damaged: the data of data\\textures\\dot.png run past the end of the file");

    EXPECT_EQ(fault(good, "quill", "data/other.scr"), "it holds no data/other.scr");
    EXPECT_EQ(fault(good, ""), "data/script.scr is enciphered and no password was given (--password)");
    EXPECT_EQ(fault(good, "not-quill"),
              "data/script.scr does not extract to its checksum: a wrong password, or damaged data");
    EXPECT_EQ(fault(write(""), ""), "");  // a plain archive needs none
}

}  // namespace
