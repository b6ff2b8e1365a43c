#include "tools/swtool/frame_compare.h"

#include <algorithm>
#include <cstdlib>

DifferenceSums compareFrames(const RgbFrame& a, const RgbFrame& b, const std::vector<uint8_t>* edges)
{
    DifferenceSums sums;
    const size_t pixels = size_t(a.width) * size_t(a.height);
    sums.pixels = pixels;
    for (size_t p = 0; p < pixels; ++p) {
        bool differs = false;
        for (size_t c = 0; c < 3; ++c) {
            const int difference = int(b.rgb[p * 3 + c]) - int(a.rgb[p * 3 + c]);
            const int magnitude = std::abs(difference);
            differs = differs || magnitude != 0;
            sums.maxAbs = std::max(sums.maxAbs, magnitude);
            sums.sumAbs += uint64_t(magnitude);
            sums.sumSigned += difference;
        }
        if (!differs)
            continue;
        ++sums.differing;
        if (edges != nullptr && (*edges)[p] != 0)
            ++sums.edgeDiffering;
    }
    return sums;
}

std::vector<uint8_t> edgeMask(const RgbFrame& multisampled, const RgbFrame& plain)
{
    const int width = multisampled.width;
    const int height = multisampled.height;
    std::vector<uint8_t> mask(size_t(width) * size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t at = (size_t(y) * size_t(width) + size_t(x)) * 3;
            if (std::equal(&multisampled.rgb[at], &multisampled.rgb[at] + 3, &plain.rgb[at]))
                continue;
            // Marks the 3 x 3 block around a differing pixel: a sample
            // pattern moves an edge by up to a pixel either way.
            for (int ny = std::max(0, y - 1); ny <= std::min(height - 1, y + 1); ++ny)
                for (int nx = std::max(0, x - 1); nx <= std::min(width - 1, x + 1); ++nx)
                    mask[size_t(ny) * size_t(width) + size_t(nx)] = 1;
        }
    }
    return mask;
}

void addSums(DifferenceSums& total, const DifferenceSums& frame)
{
    total.pixels += frame.pixels;
    total.differing += frame.differing;
    total.maxAbs = std::max(total.maxAbs, frame.maxAbs);
    total.sumAbs += frame.sumAbs;
    total.sumSigned += frame.sumSigned;
    total.edgeDiffering += frame.edgeDiffering;
}

double meanAbsDifference(const DifferenceSums& sums)
{
    return sums.pixels == 0 ? 0.0 : double(sums.sumAbs) / (double(sums.pixels) * 3.0);
}

double meanSignedDifference(const DifferenceSums& sums)
{
    return sums.pixels == 0 ? 0.0 : double(sums.sumSigned) / (double(sums.pixels) * 3.0);
}

double edgeShare(const DifferenceSums& sums)
{
    return sums.differing == 0 ? 1.0 : double(sums.edgeDiffering) / double(sums.differing);
}
