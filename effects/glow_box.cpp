#include "effects/glow_box.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::optional<TexelBounds> nonZeroTexels(const uint8_t* rgba, int width, int height)
{
    std::optional<TexelBounds> bounds;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rgba + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
        for (int x = 0; x < width; ++x) {
            const uint8_t* texel = row + static_cast<size_t>(x) * 4;
            if ((texel[0] | texel[1] | texel[2] | texel[3]) == 0)
                continue;
            if (!bounds) {
                bounds = TexelBounds{x, y, x, y};
                continue;
            }
            bounds->left = std::min(bounds->left, x);
            bounds->right = std::max(bounds->right, x);
            bounds->top = y;  // rows are visited bottom first
        }
    }
    return bounds;
}

namespace {

// The coordinates along one axis at which a linear sample can read one of
// the texels first..last (a texel's weight is zero half a texel beyond its
// neighbour's centre), widened by a texel; unbounded on an edge texel.
struct CoordinateSpan {
    double low;
    double high;
};

CoordinateSpan sampledSpan(int first, int last, int textureSize)
{
    const double size = textureSize;
    constexpr double unbounded = std::numeric_limits<double>::infinity();
    return {first == 0 ? -unbounded : (first - 1.5) / size,
            last == textureSize - 1 ? unbounded : (last + 2.5) / size};
}

// Pixels [low, high) of an axis of `length` pixels that coordinates span
// covers when the axis runs from -z to 1 + z; nothing when the mapping
// folds over.
std::optional<std::pair<int, int>> pixelSpan(const CoordinateSpan& span, float z, int length)
{
    const double extent = 1.0 + 2.0 * static_cast<double>(z);
    if (extent < 1e-3)
        return std::nullopt;
    auto toPixel = [&](double coordinate) {
        const double pixel = (coordinate + z) / extent * length;
        return std::clamp(pixel, -1.0, length + 1.0);
    };
    const int low = std::max(0, static_cast<int>(std::floor(toPixel(span.low))) - 1);
    const int high = std::min(length, static_cast<int>(std::ceil(toPixel(span.high))) + 1);
    return std::make_pair(low, high);
}

}  // namespace

PixelBox glowPassBox(const TexelBounds& texels, int textureSize, int viewportWidth, int viewportHeight,
                     int passCount, float zoomStep)
{
    const PixelBox whole{0, 0, viewportWidth, viewportHeight};
    const CoordinateSpan across = sampledSpan(texels.left, texels.right, textureSize);
    const CoordinateSpan up = sampledSpan(texels.bottom, texels.top, textureSize);
    int left = viewportWidth, right = 0, bottom = viewportHeight, top = 0;
    float z = 0.0f;
    for (int pass = 0; pass < passCount; ++pass) {
        const auto columns = pixelSpan(across, z, viewportWidth);
        const auto rows = pixelSpan(up, z, viewportHeight);
        if (!columns || !rows)
            return whole;
        left = std::min(left, columns->first);
        right = std::max(right, columns->second);
        bottom = std::min(bottom, rows->first);
        top = std::max(top, rows->second);
        z += zoomStep;
    }
    if (left >= right || bottom >= top)
        return {};
    return {left, bottom, right - left, top - bottom};
}
