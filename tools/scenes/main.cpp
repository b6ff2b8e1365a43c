// scenegen: builds the show's five scene files and the textures they name,
// the same bytes on every run.
//   scenegen DATA_DIR
// writes DATA_DIR/gang.scn, welderscene4.scn, tree.scn, cranium.scn,
// gallery.scn and DATA_DIR/textures/scn_*.png.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "tools/scenes/scenes.h"
#include "tools/scenes/textures.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: scenegen DATA_DIR\n");
        return 1;
    }
    const std::string dataDir = argv[1];
    const std::string textureDir = dataDir + "/textures";
    std::error_code error;
    std::filesystem::create_directories(textureDir, error);
    if (error) {
        std::fprintf(stderr, "scenes: cannot create %s\n", textureDir.c_str());
        return 1;
    }
    if (!scenegen::writeSceneTextures(textureDir))
        return 1;
    for (const scenegen::ShowScene& scene : scenegen::showScenes()) {
        std::vector<uint8_t> bytes;
        std::string message;
        if (!scene.build().encode(bytes, message)) {
            std::fprintf(stderr, "%s (%s)\n", message.c_str(), scene.file.c_str());
            return 1;
        }
        if (!scenefile::saveFile(dataDir + "/" + scene.file, bytes))
            return 1;
        std::printf("scenes: %s, %zu bytes\n", scene.file.c_str(), bytes.size());
    }
    return 0;
}
