#pragma once
// Pictures written by tests under a scratch folder laid out like the show's
// data tree, and the image library pointed at them while effects load.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"
#include "tests/support/temp_dir.h"
#include "tools/common/jpeg_writer.h"
#include "tools/common/png_writer.h"

inline std::vector<uint8_t> solidPixels(int width, int height, std::vector<uint8_t> pixel)
{
    std::vector<uint8_t> pixels;
    for (int i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), pixel.begin(), pixel.end());
    return pixels;
}

// A scratch folder with data/images/ and data/textures/, made the current
// directory while effects are constructed; the image library reads from it
// until the object goes.
class LooseDataFolder {
public:
    LooseDataFolder() : previous_(std::filesystem::current_path())
    {
        std::filesystem::create_directories(dir_.path() / "data" / "images");
        std::filesystem::create_directories(dir_.path() / "data" / "textures");
        TextureManager::setImageLibrary(&cache_);
    }
    ~LooseDataFolder()
    {
        leave();
        TextureManager::setImageLibrary(nullptr);
    }
    LooseDataFolder(const LooseDataFolder&) = delete;
    LooseDataFolder& operator=(const LooseDataFolder&) = delete;

    std::string path(const std::string& relative) const { return (dir_.path() / relative).string(); }
    void enter() { std::filesystem::current_path(dir_.path()); }
    void leave() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
    TempDir dir_;
    ImageCache cache_;
};
