#include "tools/common/jpeg_writer.h"

#include <jpeglib.h>

#include <cstdio>

bool writeJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb, int quality)
{
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
        std::fprintf(stderr, "patterns: %s: pixel count does not match %dx%d\n", path.c_str(), width, height);
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "patterns: cannot write %s\n", path.c_str());
        return false;
    }
    // libjpeg's default error handler ends the process on a compressor
    // error, which is acceptable for a build tool.
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
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const size_t stride = static_cast<size_t>(width) * 3;
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(rgb.data() + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (std::fclose(file) != 0) {
        std::fprintf(stderr, "patterns: cannot finish %s\n", path.c_str());
        return false;
    }
    return true;
}
