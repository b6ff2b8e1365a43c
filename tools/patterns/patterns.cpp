#include "tools/patterns/patterns.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double pi = 3.14159265358979323846;

uint8_t toByte(double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); }

double smoothstep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// A grey picture from a brightness function of the pixel centre in -1..1,
// averaged over 4 x 4 samples per pixel so that thin lines stay smooth.
Picture greyPicture(int size, const std::function<double(double, double)>& brightness)
{
    Picture picture{size, size, 3, {}};
    picture.pixels.reserve(static_cast<size_t>(size) * size * 3);
    constexpr int samples = 4;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double sum = 0.0;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    const double u = (x + (sx + 0.5) / samples) / size * 2.0 - 1.0;
                    const double v = (y + (sy + 0.5) / samples) / size * 2.0 - 1.0;
                    sum += brightness(u, v);
                }
            picture.pixels.insert(picture.pixels.end(), 3, toByte(sum / (samples * samples)));
        }
    }
    return picture;
}

// A bright line wherever phase is near a whole number; width is the share
// of each period the line takes.
double thinLine(double phase, double width)
{
    const double distance = std::fabs(phase - std::round(phase));
    return 1.0 - smoothstep(width * 0.5, width, distance);
}

// The layers are added on screen, so each stays well below white.
constexpr double lineLevel = 0.55;

// Value noise on a lattice of `cells` per side that wraps round, so the
// texture tiles without seams.
double latticeValue(int x, int y, int cells, uint32_t seed)
{
    x = ((x % cells) + cells) % cells;
    y = ((y % cells) + cells) % cells;
    uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<double>(h & 0xFFFFu) / 65535.0;
}

double tiledNoise(double u, double v, int cells, uint32_t seed)
{
    const double x = u * cells, y = v * cells;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = smoothstep(0.0, 1.0, x - x0), fy = smoothstep(0.0, 1.0, y - y0);
    const double top = latticeValue(x0, y0, cells, seed) * (1 - fx) + latticeValue(x0 + 1, y0, cells, seed) * fx;
    const double bottom =
        latticeValue(x0, y0 + 1, cells, seed) * (1 - fx) + latticeValue(x0 + 1, y0 + 1, cells, seed) * fx;
    return top * (1 - fy) + bottom * fy;
}

}  // namespace

Picture ringPattern(int size)
{
    return greyPicture(size, [](double u, double v) {
        const double r = std::sqrt(u * u + v * v);
        return lineLevel * thinLine(r * 24.0, 0.3);
    });
}

Picture linePattern(int size)
{
    return greyPicture(size, [](double u, double v) { return lineLevel * thinLine((u + 0.08 * v) * 20.0, 0.28); });
}

Picture spokePattern(int size)
{
    return greyPicture(size, [](double u, double v) {
        const double r = std::sqrt(u * u + v * v);
        const double turns = (std::atan2(v, u) + pi) / (2.0 * pi);
        return lineLevel * thinLine(turns * 60.0, 0.35) * smoothstep(0.05, 0.35, r);
    });
}

Picture zonePattern(int size)
{
    return greyPicture(size, [](double u, double v) {
        const double r2 = u * u + v * v;
        return lineLevel * thinLine(r2 * 30.0, 0.3) * (1.0 - smoothstep(1.2, 1.42, std::sqrt(r2)));
    });
}

Picture cloudTexture(int size)
{
    Picture picture{size, size, 3, {}};
    picture.pixels.reserve(static_cast<size_t>(size) * size * 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size, v = (y + 0.5) / size;
            double n = 0.0, amplitude = 0.5, total = 0.0;
            for (int octave = 0; octave < 5; ++octave) {
                n += amplitude * tiledNoise(u, v, 4 << octave, 17u + static_cast<uint32_t>(octave));
                total += amplitude;
                amplitude *= 0.5;
            }
            const double cover = smoothstep(0.38, 0.72, n / total);
            const double sky[3] = {0.42, 0.55, 0.74}, cloud[3] = {0.97, 0.97, 1.0};
            for (int c = 0; c < 3; ++c)
                picture.pixels.push_back(toByte(sky[c] + (cloud[c] - sky[c]) * cover));
        }
    }
    return picture;
}

Picture darkSprite(int size)
{
    Picture picture{size, size, 4, {}};
    picture.pixels.reserve(static_cast<size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size * 2.0 - 1.0, v = (y + 0.5) / size * 2.0 - 1.0;
            const double r = std::sqrt(u * u + v * v);
            const double rim = 0.5 * std::exp(-std::pow((r - 0.72) / 0.09, 2.0));
            const double alpha = 1.0 - smoothstep(0.55, 0.95, r);
            picture.pixels.push_back(toByte(0.06 + rim));
            picture.pixels.push_back(toByte(0.06 + rim));
            picture.pixels.push_back(toByte(0.09 + rim));
            picture.pixels.push_back(toByte(std::max(alpha, rim)));
        }
    }
    return picture;
}
