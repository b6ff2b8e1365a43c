#include "effects/echo_tiles.h"

#include <algorithm>
#include <cmath>

namespace {

// Counts of texels with alpha above 0 in every rectangle from the origin:
// any rectangle's count in four look-ups.
class AlphaTable {
public:
    AlphaTable(const uint8_t* alpha, int width, int height)
        : width_(width), height_(height), sums_(static_cast<size_t>(width + 1) * static_cast<size_t>(height + 1), 0)
    {
        for (int y = 0; y < height; ++y) {
            int rowCount = 0;
            for (int x = 0; x < width; ++x) {
                rowCount += alpha[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] != 0;
                at(x + 1, y + 1) = at(x + 1, y) + rowCount;
            }
        }
    }

    // Whether a texel of columns x0..x1 and rows y0..y1 (inclusive, any
    // integers: the texture repeats) has alpha above 0.
    bool anyIn(int x0, int x1, int y0, int y1) const
    {
        for (const auto& [left, right] : wrapped(x0, x1, width_))
            for (const auto& [bottom, top] : wrapped(y0, y1, height_))
                if (count(left, right, bottom, top) > 0)
                    return true;
        return false;
    }

private:
    int& at(int x, int y) { return sums_[static_cast<size_t>(y) * static_cast<size_t>(width_ + 1) + static_cast<size_t>(x)]; }
    int at(int x, int y) const
    {
        return sums_[static_cast<size_t>(y) * static_cast<size_t>(width_ + 1) + static_cast<size_t>(x)];
    }
    int count(int x0, int x1, int y0, int y1) const
    {
        return at(x1 + 1, y1 + 1) - at(x0, y1 + 1) - at(x1 + 1, y0) + at(x0, y0);
    }
    // first..last folded into 0..size-1: one or two spans, or the whole.
    static std::vector<std::pair<int, int>> wrapped(int first, int last, int size)
    {
        if (last - first + 1 >= size)
            return {{0, size - 1}};
        const int start = ((first % size) + size) % size;
        const int end = start + (last - first);
        if (end < size)
            return {{start, end}};
        return {{start, size - 1}, {0, end - size}};
    }

    int width_;
    int height_;
    std::vector<int> sums_;
};

// The texels pixels first..last of an axis of `length` pixels can read when
// a texture of `size` texels is stretched over it, a texel wider each side.
std::pair<int, int> texelSpan(int first, int last, int length, int size)
{
    const double scale = static_cast<double>(size) / length;
    const int low = static_cast<int>(std::floor((first + 0.5) * scale - 0.5));
    const int high = static_cast<int>(std::floor((last + 0.5) * scale - 0.5)) + 1;
    return {low - 1, high + 1};
}

}  // namespace

EchoTiles EchoTiles::fromAlpha(const uint8_t* alpha, int textureWidth, int textureHeight, int viewportWidth,
                               int viewportHeight)
{
    EchoTiles tiles;
    if (textureWidth <= 0 || textureHeight <= 0 || viewportWidth <= 0 || viewportHeight <= 0)
        return tiles;
    tiles.viewportWidth_ = viewportWidth;
    tiles.viewportHeight_ = viewportHeight;
    tiles.columns_ = (viewportWidth + tileSize - 1) / tileSize;
    tiles.rows_ = (viewportHeight + tileSize - 1) / tileSize;
    tiles.marks_.assign(static_cast<size_t>(tiles.columns_) * static_cast<size_t>(tiles.rows_), 0);
    const AlphaTable table(alpha, textureWidth, textureHeight);
    for (int row = 0; row < tiles.rows_; ++row) {
        const int y0 = row * tileSize;
        const int y1 = std::min(viewportHeight, y0 + tileSize) - 1;
        const auto [bottom, top] = texelSpan(y0, y1, viewportHeight, textureHeight);
        for (int column = 0; column < tiles.columns_; ++column) {
            const int x0 = column * tileSize;
            const int x1 = std::min(viewportWidth, x0 + tileSize) - 1;
            const auto [left, right] = texelSpan(x0, x1, viewportWidth, textureWidth);
            tiles.marks_[static_cast<size_t>(row * tiles.columns_ + column)] = table.anyIn(left, right, bottom, top);
        }
    }
    return tiles;
}

namespace {

// Boxes of tiles, inclusive.
struct TileBox {
    int left, bottom, right, top;

    // Whether the boxes overlap or touch, corners included.
    bool touches(const TileBox& other) const
    {
        return left <= other.right + 1 && other.left <= right + 1 && bottom <= other.top + 1 &&
               other.bottom <= top + 1;
    }
    void include(const TileBox& other)
    {
        left = std::min(left, other.left);
        bottom = std::min(bottom, other.bottom);
        right = std::max(right, other.right);
        top = std::max(top, other.top);
    }
};

}  // namespace

std::vector<PixelBox> EchoTiles::rectangles() const
{
    // Runs of marked tiles in each row, then any two boxes that touch merged
    // into their bounding box until none touch.
    std::vector<TileBox> boxes;
    for (int row = 0; row < rows_; ++row)
        for (int column = 0; column < columns_;) {
            if (!marked(column, row)) {
                ++column;
                continue;
            }
            const int first = column;
            while (column < columns_ && marked(column, row))
                ++column;
            boxes.push_back({first, row, column - 1, row});
        }
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t i = 0; i < boxes.size() && !merged; ++i)
            for (size_t j = i + 1; j < boxes.size(); ++j) {
                if (!boxes[i].touches(boxes[j]))
                    continue;
                boxes[i].include(boxes[j]);
                boxes.erase(boxes.begin() + static_cast<std::ptrdiff_t>(j));
                merged = true;
                break;
            }
    }
    std::vector<PixelBox> rectangles;
    for (const TileBox& box : boxes) {
        const int x = box.left * tileSize;
        const int y = box.bottom * tileSize;
        rectangles.push_back({x, y, std::min(viewportWidth_, (box.right + 1) * tileSize) - x,
                              std::min(viewportHeight_, (box.top + 1) * tileSize) - y});
    }
    return rectangles;
}
