// patterns DATA_DIR: paints the interference pictures into DATA_DIR/images
// and the cloud and sprite textures into DATA_DIR/textures.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/common/png_writer.h"
#include "tools/common/jpeg_writer.h"
#include "tools/patterns/patterns.h"

namespace {

bool savePng(const std::string& path, const Picture& picture)
{
    return writePng(path, picture.width, picture.height, picture.pixels, picture.channels);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: patterns DATA_DIR\n");
        return 1;
    }
    const std::filesystem::path data = argv[1];
    std::error_code error;
    std::filesystem::create_directories(data / "images", error);
    std::filesystem::create_directories(data / "textures", error);
    if (error) {
        std::fprintf(stderr, "patterns: cannot create the folders under %s\n", argv[1]);
        return 1;
    }
    const std::string images = (data / "images").string() + "/";
    const std::string textures = (data / "textures").string() + "/";
    const Picture rings = ringPattern(256);
    const bool written = writeJpeg(images + "interf3.jpg", rings.width, rings.height, rings.pixels, 92) &&
                         savePng(images + "interf4.png", linePattern(256)) &&
                         savePng(images + "interference1.png", spokePattern(256)) &&
                         savePng(images + "interference2.png", zonePattern(256)) &&
                         savePng(textures + "clouds.png", cloudTexture(256)) &&
                         savePng(textures + "particle_black2.png", darkSprite(64));
    return written ? 0 : 1;
}
