#pragma once
// Helpers shared by the archive tests: extraction into a vector, archives
// written to a temporary directory, and the debug log entries a call adds.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "resources/archive/pack_archive.h"
#include "resources/archive/unpack_log.h"
#include "tests/support/temp_dir.h"

inline const std::string testRarDir = std::string(SW_TESTDATA_DIR) + "/rar/";

struct Extracted {
    int result = -1;
    std::vector<uint8_t> data;
};

inline Extracted extractMember(const std::string& archive, const char* member, const char* password = "")
{
    Extracted out;
    uint8_t* data = reinterpret_cast<uint8_t*>(1);
    uint32_t size = 12345;
    out.result = extractFile(&data, &size, member, archive.c_str(), password);
    std::unique_ptr<uint8_t[]> owned(data);
    if (data)
        out.data.assign(data, data + size);
    else if (size != 0)
        out.result = -2;  // a failure must report size 0
    return out;
}

inline std::vector<uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string writeBytes(const TempDir& dir, const std::string& name, const std::vector<uint8_t>& bytes)
{
    return dir.write(name, std::string(bytes.begin(), bytes.end()));
}

// The debug log lives in the system's temporary directory, which every
// process shares: test processes running side by side would truncate each
// other's logs. Each test process therefore gets a temporary directory of its
// own, for as long as it runs.
inline void usePrivateTemporaryDirectory()
{
    static TempDir privateTemporary;
    static const bool set = setenv("TMPDIR", privateTemporary.path().string().c_str(), 1) == 0;
    (void)set;
}

// What the debug log gained while it lived.
class LogCapture {
public:
    LogCapture()
    {
        usePrivateTemporaryDirectory();
        startUnpackLog();
        start_ = readBytes(unpackLogPath()).size();
    }
    // The log is a text file: on Windows its lines end in "\r\n", read as "\n" here.
    std::string text() const
    {
        const std::vector<uint8_t> all = readBytes(unpackLogPath());
        std::string gained = start_ < all.size() ? std::string(all.begin() + long(start_), all.end()) : std::string();
        std::erase(gained, '\r');
        return gained;
    }
    bool contains(const std::string& line) const { return text().find("- " + line + "\n") != std::string::npos; }

private:
    size_t start_ = 0;
};
