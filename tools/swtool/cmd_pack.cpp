// swtool pack DIR ARCHIVE [--password PW]: every file under DIR as a stored
// member named by its path relative to DIR with "\" separators, so that
// packing a folder holding data/script.scr gives data\script.scr, the name
// the player asks for.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "resources/archive/archive_writer.h"
#include "tools/swtool/commands.h"

namespace fs = std::filesystem;

namespace {

bool readWhole(const fs::path& path, std::vector<uint8_t>& data)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::string memberName(const fs::path& root, const fs::path& file)
{
    std::string name;
    for (const fs::path& part : fs::relative(file, root)) {
        if (!name.empty())
            name += '\\';
        name += part.string();
    }
    return name;
}

}  // namespace

int runPack(int argc, char** argv)
{
    std::vector<const char*> positional;
    std::string password;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--password") == 0 && i + 1 < argc)
            password = argv[++i];
        else
            positional.push_back(argv[i]);
    }
    if (positional.size() != 2) {
        std::fprintf(stderr, "usage: swtool pack DIR ARCHIVE [--password PW]\n");
        return 1;
    }
    std::error_code ec;
    const fs::path root = fs::weakly_canonical(positional[0], ec);
    if (ec || !fs::is_directory(root, ec)) {
        std::fprintf(stderr, "swtool pack: %s is not a directory\n", positional[0]);
        return 1;
    }
    std::vector<fs::path> files;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_regular_file())
            files.push_back(it->path());
    }
    if (ec) {
        std::fprintf(stderr, "swtool pack: cannot read %s: %s\n", positional[0], ec.message().c_str());
        return 1;
    }
    // Sorted, so that the same tree always gives the same archive.
    std::sort(files.begin(), files.end());

    std::vector<ArchiveMember> members;
    for (const fs::path& file : files) {
        ArchiveMember member;
        member.name = memberName(root, file);
        if (!readWhole(file, member.data)) {
            std::fprintf(stderr, "swtool pack: cannot read %s\n", file.string().c_str());
            return 1;
        }
        members.push_back(std::move(member));
    }
    std::string error;
    if (!writeArchive(positional[1], members, password, error)) {
        std::fprintf(stderr, "swtool pack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
