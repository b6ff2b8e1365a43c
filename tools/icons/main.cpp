// make_icons FRAME NAME OUT_DIR SIZE...: the program's icons, made from a
// frame of the show. The largest square at the centre of FRAME (a PNG file)
// is shrunk to each SIZE by averaging the pixels each icon pixel covers, and
// written as OUT_DIR/<SIZE>x<SIZE>/apps/NAME.png, the layout of the hicolor
// icon theme. Status 1 with a message when the frame cannot be read or an
// icon cannot be written.
#include "resources/images/image.h"
#include "resources/images/loaders.h"
#include "tools/common/png_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// One channel plane of floats, row after row.
struct Plane {
    int width = 0;
    int height = 0;
    std::vector<float> values;
    float at(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};

// The share of each of `from` source pixels in each of `to` target pixels
// along one axis: target pixel t covers the source span [t, t + 1) * from / to.
std::vector<std::vector<float>> coverage(int from, int to)
{
    std::vector<std::vector<float>> weights(to, std::vector<float>(from, 0.0f));
    const double step = static_cast<double>(from) / to;
    for (int t = 0; t < to; ++t) {
        const double begin = t * step;
        const double end = begin + step;
        for (int s = static_cast<int>(begin); s < from && s < end; ++s) {
            const double overlap = std::min<double>(end, s + 1) - std::max<double>(begin, s);
            weights[t][s] = static_cast<float>(overlap / step);
        }
    }
    return weights;
}

// plane shrunk to size x size (plane is square and at least that large).
Plane shrink(const Plane& plane, int size)
{
    const auto weights = coverage(plane.width, size);
    Plane rows{size, plane.height, std::vector<float>(static_cast<size_t>(size) * plane.height, 0.0f)};
    for (int y = 0; y < plane.height; ++y)
        for (int t = 0; t < size; ++t)
            for (int s = 0; s < plane.width; ++s)
                if (weights[t][s] > 0.0f)
                    rows.values[static_cast<size_t>(y) * size + t] += weights[t][s] * plane.at(s, y);
    Plane out{size, size, std::vector<float>(static_cast<size_t>(size) * size, 0.0f)};
    for (int t = 0; t < size; ++t)
        for (int s = 0; s < plane.height; ++s)
            if (weights[t][s] > 0.0f)
                for (int x = 0; x < size; ++x)
                    out.values[static_cast<size_t>(t) * size + x] += weights[t][s] * rows.at(x, s);
    return out;
}

// The red, green and blue planes of the centre square of a 32-bit image.
std::vector<Plane> centreSquare(const Image& image)
{
    const int side = std::min(image.width, image.height);
    const int left = (image.width - side) / 2;
    const int top = (image.height - side) / 2;
    std::vector<Plane> planes(3, Plane{side, side, std::vector<float>(static_cast<size_t>(side) * side)});
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const uint8_t* pixel = image.pixels + (static_cast<size_t>(top + y) * image.width + left + x) * 4;
            for (int c = 0; c < 3; ++c)
                planes[c].values[static_cast<size_t>(y) * side + x] = pixel[c];
        }
    return planes;
}

bool writeIcon(const std::vector<Plane>& square, int size, const std::filesystem::path& file)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(size) * size * 3);
    for (int c = 0; c < 3; ++c) {
        const Plane small = shrink(square[c], size);
        for (size_t i = 0; i < small.values.size(); ++i)
            pixels[i * 3 + c] = static_cast<uint8_t>(std::min(255.0f, small.values[i] + 0.5f));
    }
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    return writePng(file.string(), size, size, pixels, 3, PngCompression::small);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: make_icons FRAME NAME OUT_DIR SIZE...\n");
        return 1;
    }
    imageVerbose = false;
    Image* frame = loadPng(argv[1]);
    if (frame == nullptr || !imageTo32Bit(frame)) {
        std::fprintf(stderr, "make_icons: cannot read the frame %s\n", argv[1]);
        imageFree(frame);
        return 1;
    }
    const std::vector<Plane> square = centreSquare(*frame);
    imageFree(frame);
    const std::string name = argv[2];
    const std::filesystem::path outDir = argv[3];
    for (int i = 4; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > square[0].width) {
            std::fprintf(stderr, "make_icons: no icon of size %s from a square of %d\n", argv[i], square[0].width);
            return 1;
        }
        const std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
        if (!writeIcon(square, size, outDir / sizeName / "apps" / (name + ".png")))
            return 1;
    }
    return 0;
}
