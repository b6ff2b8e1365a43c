// swtool scene: prints a scene file's contents without a GL context, and
// with --textures checks that every texture it names exists.
#include "tools/swtool/commands.h"

#include "tools/swtool/scene_listing.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

int runScene(int argc, char** argv)
{
    std::string path, textures;
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--textures" && i + 1 < argc)
            textures = argv[++i];
        else if (path.empty() && argument.rfind("--", 0) != 0)
            path = argument;
        else
            path.clear(), i = argc;
    }
    if (path.empty()) {
        std::fprintf(stderr, "usage: swtool scene FILE [--textures DIR]\n");
        return 1;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "swtool scene: cannot read %s\n", path.c_str());
        return 1;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const SceneListing listing = listScene(bytes);
    for (const std::string& line : listing.lines)
        std::printf("%s\n", line.c_str());
    if (!listing.problem.empty()) {
        std::fprintf(stderr, "swtool scene: %s: %s\n", path.c_str(), listing.problem.c_str());
        return 1;
    }
    bool allFound = true;
    if (!textures.empty()) {
        for (const std::string& name : std::set<std::string>(listing.textures.begin(), listing.textures.end())) {
            if (!std::filesystem::is_regular_file(std::filesystem::path(textures) / name)) {
                std::fprintf(stderr, "swtool scene: %s: texture \"%s\" is not in %s\n", path.c_str(), name.c_str(),
                             textures.c_str());
                allFound = false;
            }
        }
    }
    return allFound ? 0 : 1;
}
