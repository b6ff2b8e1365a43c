// swtool new DIR: a small working show to start from, made from the show's
// own generators: a script with comments, the cranium scene with the
// pictures it names, and the clouds' picture.
#include "tools/swtool/commands.h"

#include "scene/scene_file_parser.h"
#include "tools/common/png_writer.h"
#include "tools/scenes/scene_writer.h"
#include "tools/scenes/scenes.h"
#include "tools/scenes/textures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr const char* usage = "usage: swtool new DIR\n";

constexpr const char* starterScript = R"(// A starter show. Times are milliseconds of the music; each line of the
// timeline is: time, event (START, END, INIT or SIGNAL), effect number, and
// for SIGNAL a command code and its arguments. Check every edit with
//   swtool check --data DIR
DEMOSTART 0
DEMOEND 10000

// Names for numbers: effects and the commands they take.
DEFINE BACKGROUND 0
DEFINE CLOUDS 6
DEFINE CRANIUM 25
DEFINE FADE 62
DEFINE STEPMS 10
DEFINE FADEIN 6
DEFINE FADEOUT 7

SETUP
// Set once, before the show starts: the clouds take a step every 40 ms.
0 SIGNAL CLOUDS STEPMS 40

TIMELINE
// Every frame starts from a cleared screen (colour and depth).
1 START BACKGROUND
// The scene from the start, uncovered by the fade within 1.5 seconds
// (the fade's cover goes from opaque to clear).
1 START CRANIUM
1 INIT FADE
1 SIGNAL FADE FADEOUT 1500

// The clouds roll in behind it for a while.
3000 START CLOUDS
7000 END CLOUDS

// Covered again at the end.
8500 INIT FADE
8500 SIGNAL FADE FADEIN 1500
10000 END CRANIUM
LINETIME
)";

// A soft grey sky that tiles, for the clouds effect (data/textures/clouds.png).
bool writeCloudsPicture(const std::string& path)
{
    constexpr int size = 128;
    constexpr double turn = 2.0 * 3.14159265358979323846 / size;
    std::vector<uint8_t> rgb(static_cast<size_t>(size) * size * 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double wave = std::sin(x * turn * 2 + std::sin(y * turn * 3)) + std::sin(y * turn * 2 + std::cos(x * turn));
            const auto value = static_cast<uint8_t>(std::clamp(140.0 + 45.0 * wave, 0.0, 255.0));
            uint8_t* pixel = &rgb[(static_cast<size_t>(y) * size + x) * 3];
            pixel[0] = value;
            pixel[1] = value;
            pixel[2] = static_cast<uint8_t>(std::min(255, value + 20));
        }
    }
    return writePng(path, size, size, rgb, 3);
}

// The pictures the scene's materials name, as the player looks them up.
std::set<std::string> picturesOf(const std::vector<uint8_t>& sceneBytes)
{
    std::set<std::string> names;
    const SceneDescription description = parseSceneFile(sceneBytes.data(), sceneBytes.size());
    for (const SceneMaterial& material : description.materials) {
        for (const std::string& stored : material.maps) {
            if (!stored.empty())
                names.insert(stored.substr(stored.find_last_of('\\') + 1));
        }
    }
    return names;
}

bool writeText(const std::string& path, const char* text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "swtool new: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool writeScene(const std::string& data)
{
    std::vector<uint8_t> bytes;
    std::string message;
    if (!scenegen::buildCraniumScene().encode(bytes, message)) {
        std::fprintf(stderr, "swtool new: %s\n", message.c_str());
        return false;
    }
    if (!scenefile::saveFile(data + "/cranium.scn", bytes))
        return false;
    const std::set<std::string> wanted = picturesOf(bytes);
    for (const scenegen::Picture& picture : scenegen::paintSceneTextures()) {
        if (wanted.count(picture.file) != 0 &&
            !writePng(data + "/textures/" + picture.file, picture.width, picture.height, picture.rgb, 3))
            return false;
    }
    return true;
}

}  // namespace

int runNew(int argc, char** argv)
{
    if (argc != 1) {
        std::fputs(usage, stderr);
        return 1;
    }
    const std::string dir = argv[0];
    std::error_code error;
    // Never over a show that is there: its script would be lost.
    if (std::filesystem::exists(dir + "/data/script.scr", error)) {
        std::fprintf(stderr, "swtool new: %s already holds a show (data/script.scr)\n", dir.c_str());
        return 1;
    }
    const std::string data = dir + "/data";
    std::filesystem::create_directories(data + "/textures", error);
    if (error) {
        std::fprintf(stderr, "swtool new: cannot create %s\n", (data + "/textures").c_str());
        return 1;
    }
    if (!writeScene(data) || !writeCloudsPicture(data + "/textures/clouds.png") ||
        !writeText(data + "/script.scr", starterScript))
        return 1;
    std::printf("swtool new: a show in %s: data/script.scr, data/cranium.scn, data/textures/\n", dir.c_str());
    return 0;
}
