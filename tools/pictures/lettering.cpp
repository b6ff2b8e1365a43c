#include "tools/pictures/lettering.h"

#include <cstring>

namespace {

struct Glyph {
    char letter;
    const char* rows[7];
};

constexpr Glyph font[] = {
    {'S', {".###.", "#...#", "#....", ".###.", "....#", "#...#", ".###."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
};

const Glyph* glyphOf(char letter)
{
    for (const Glyph& glyph : font)
        if (glyph.letter == letter)
            return &glyph;
    return nullptr;
}

constexpr int cell = 8;  // picture pixels per font pixel
constexpr int letterWidth = 5 * cell;
constexpr int letterHeight = 7 * cell;
constexpr int spacing = cell;
constexpr int lineGap = 4 * cell;
constexpr int oversampling = 4;

// Is the point (x, y), in picture pixels from the top-left of a line of
// text, inside the letters? Every lit font pixel is a disc a little wider
// than its cell, so that neighbours merge and the corners come out round.
bool inside(const char* text, float x, float y)
{
    constexpr float radius = 0.85f * cell;
    const int advance = letterWidth + spacing;
    if (x < 0.0f)
        return false;
    const int column = static_cast<int>(x) / advance;
    if (column >= static_cast<int>(std::strlen(text)))
        return false;
    const Glyph* glyph = glyphOf(text[column]);
    if (glyph == nullptr)
        return false;
    const float localX = x - static_cast<float>(column * advance);
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col) {
            if (glyph->rows[row][col] != '#')
                continue;
            const float dx = localX - (static_cast<float>(col) + 0.5f) * cell;
            const float dy = y - (static_cast<float>(row) + 0.5f) * cell;
            if (dx * dx + dy * dy < radius * radius)
                return true;
        }
    }
    return false;
}

}  // namespace

Canvas lettering(std::initializer_list<const char*> lines)
{
    constexpr int size = 256;
    Canvas canvas(size, size);
    const int count = static_cast<int>(lines.size());
    const int blockHeight = count * letterHeight + (count - 1) * lineGap;
    int top = (size - blockHeight) / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            canvas.at(x, y) = Pixel{0.0f, 0.0f, 0.0f, 0.0f};
    for (const char* text : lines) {
        const int length = static_cast<int>(std::strlen(text));
        const int left = (size - (length * (letterWidth + spacing) - spacing)) / 2;
        for (int y = top - cell; y < top + letterHeight + cell; ++y) {
            for (int x = 0; x < size; ++x) {
                int hits = 0;
                for (int sy = 0; sy < oversampling; ++sy)
                    for (int sx = 0; sx < oversampling; ++sx)
                        hits += inside(text, static_cast<float>(x - left) + (sx + 0.5f) / oversampling,
                                       static_cast<float>(y - top) + (sy + 0.5f) / oversampling);
                if (hits == 0)
                    continue;
                const float shade = static_cast<float>(y - top) / letterHeight;
                canvas.at(x, y) = Pixel{mix(0.85f, 0.45f, shade), mix(1.0f, 0.8f, shade), 1.0f,
                                        static_cast<float>(hits) / (oversampling * oversampling)};
            }
        }
        top += letterHeight + lineGap;
    }
    return canvas;
}
