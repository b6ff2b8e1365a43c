#pragma once
// Pictures written by tests under a scratch folder laid out like the show's
// data tree, and the image library pointed at them while effects load.
#include <gtest/gtest.h>

#include <jpeglib.h>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"
#include "tests/support/temp_dir.h"

// width x height pixels of `channels` bytes (3 or 4), top row first.
inline bool writeTestPng(const std::string& path, int width, int height, const std::vector<uint8_t>& pixels,
                         int channels)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}

// An RGB JPEG at quality 100.
inline bool writeTestJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(rgb.data() + static_cast<size_t>(info.next_scanline) * width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

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
