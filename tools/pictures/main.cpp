// pictures: paints the show's pictures from formulas, the same every run.
//   pictures DATA_DIR
// writes DATA_DIR/textures/particle1.png, dot3.png, dot.png and
// particle_spark.png and, under DATA_DIR/images/,
// ripples.png (tiles in both directions, for scrolling), dusk.png,
// reeds.png and title.png (transparent around their shapes, for sparks and
// blending) and moon.tga.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/pictures/canvas.h"
#include "tools/pictures/lettering.h"

namespace {

constexpr float pi = 3.14159265f;

// A round sprite of size x size whose colour depends only on the squared
// distance r2 from the centre (1 at the edge); its alpha fades out between
// rimStart and the edge.
template <typename Shade>
Canvas roundSprite(int size, float rimStart, Shade shade)
{
    Canvas canvas(size, size);
    const float half = static_cast<float>(size) / 2.0f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - half) / half;
            const float dy = (static_cast<float>(y) + 0.5f - half) / half;
            const float r2 = dx * dx + dy * dy;
            Pixel p = shade(r2);
            p.a *= smoothstep(1.0f, rimStart, std::sqrt(r2));
            canvas.at(x, y) = p;
        }
    }
    return canvas;
}

// A soft round spark: a white-hot core inside a warm halo that fades to
// nothing before the edge.
Canvas spark()
{
    return roundSprite(32, 0.85f, [](float r2) {
        const float core = std::exp(-r2 * 14.0f);
        return Pixel{1.0f, 0.82f + 0.18f * core, 0.55f + 0.45f * core,
                     std::fmin(1.0f, core + 0.55f * std::exp(-r2 * 4.0f))};
    });
}

// The head of a light trail: a white point in a wide soft glow, drawn
// additively, so all of its shape is in the alpha.
Canvas glowDot()
{
    return roundSprite(64, 0.9f, [](float r2) {
        return Pixel{1.0f, 1.0f, 1.0f, std::fmin(1.0f, std::exp(-r2 * 30.0f) + 0.35f * std::exp(-r2 * 6.0f))};
    });
}

// The welding glow at the torch tip: a blue-white flare.
Canvas flare()
{
    return roundSprite(64, 0.85f, [](float r2) {
        const float core = std::exp(-r2 * 24.0f);
        return Pixel{0.75f + 0.25f * core, 0.85f + 0.15f * core, 1.0f,
                     std::fmin(1.0f, core + 0.45f * std::exp(-r2 * 5.0f))};
    });
}

// One welding spark: a hot orange point.
Canvas weldSpark()
{
    return roundSprite(16, 0.8f, [](float r2) {
        const float core = std::exp(-r2 * 9.0f);
        return Pixel{1.0f, 0.55f + 0.45f * core, 0.15f + 0.6f * core, core};
    });
}

// Still water seen from above: plane waves whose wave numbers are whole
// multiples of the picture size, so the picture repeats seamlessly, lit
// from the upper left.
Canvas ripples()
{
    struct Wave {
        int kx, ky;
        float amplitude, phase;
    };
    const Wave waves[] = {{3, 1, 1.0f, 0.0f}, {-2, 3, 0.8f, 1.3f}, {5, -4, 0.35f, 2.1f},
                          {1, 6, 0.3f, 4.0f}, {-7, -2, 0.2f, 0.7f}, {9, 5, 0.12f, 5.2f}};
    Canvas canvas(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            float sx = 0.0f;  // slopes of the height field
            float sy = 0.0f;
            for (const Wave& w : waves) {
                const float angle =
                    2.0f * pi * static_cast<float>(w.kx * x + w.ky * y) / 256.0f + w.phase;
                sx += w.amplitude * static_cast<float>(w.kx) * std::cos(angle);
                sy += w.amplitude * static_cast<float>(w.ky) * std::cos(angle);
            }
            const float light = std::fmax(0.0f, (-sx - sy) * 0.08f);
            const float glint = std::pow(std::fmin(1.0f, light), 6.0f);
            Pixel& p = canvas.at(x, y);
            p.r = 0.02f + 0.25f * light + glint;
            p.g = 0.10f + 0.35f * light + glint;
            p.b = 0.22f + 0.45f * light + glint;
        }
    }
    return canvas;
}

// Dusk over a lake: a sky from indigo to orange, a low sun, and below the
// horizon the same sky mirrored, darker and broken by ripples.
Canvas dusk()
{
    constexpr int horizon = 150;
    auto sky = [](float x, float y) {
        const float t = std::fmin(1.0f, y / static_cast<float>(horizon));
        Pixel p{mix(0.07f, 1.0f, t * t), mix(0.05f, 0.55f, t * t * t), mix(0.22f, 0.28f, t), 1.0f};
        const float d = std::hypot(x - 128.0f, y - 118.0f);
        const float sun = smoothstep(24.0f, 20.0f, d) + 0.35f * std::exp(-d * d / 1800.0f);
        p.r += sun;
        p.g += 0.8f * sun;
        p.b += 0.5f * sun;
        return p;
    };
    Canvas canvas(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            if (y < horizon) {
                canvas.at(x, y) = sky(static_cast<float>(x), static_cast<float>(y));
                continue;
            }
            const float depth = static_cast<float>(y - horizon);
            const float wobble = std::sin(depth * depth * 0.02f + static_cast<float>(x) * 0.05f) * (1.0f + depth * 0.08f);
            Pixel p = sky(static_cast<float>(x) + wobble, static_cast<float>(horizon) - depth * 0.9f);
            const float shade = 0.55f - 0.25f * depth / 106.0f;
            canvas.at(x, y) = Pixel{p.r * shade, p.g * shade, p.b * (shade + 0.1f), 1.0f};
        }
    }
    return canvas;
}

// Reeds at the water's edge: dark tapering stalks bending away from the
// bottom, some with a seed head, on a transparent ground.
Canvas reeds()
{
    Canvas canvas(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            canvas.at(x, y) = Pixel{0.03f, 0.07f, 0.05f, 0.0f};
    auto stamp = [&canvas](float cx, float cy, float radius) {
        const int left = static_cast<int>(cx - radius - 2.0f);
        const int top = static_cast<int>(cy - radius - 2.0f);
        for (int y = top; y <= static_cast<int>(cy + radius + 2.0f); ++y) {
            for (int x = left; x <= static_cast<int>(cx + radius + 2.0f); ++x) {
                if (x < 0 || y < 0 || x >= 256 || y >= 256)
                    continue;
                const float d = std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy);
                Pixel& p = canvas.at(x, y);
                p.a = std::fmax(p.a, smoothstep(radius + 0.8f, radius - 0.4f, d));
            }
        }
    };
    // A small congruential generator of our own keeps the stalks the same
    // on every machine.
    uint32_t seed = 0x51EED;
    auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
    };
    for (int stalk = 0; stalk < 23; ++stalk) {
        const float base = 8.0f + 240.0f * next();
        const float height = 110.0f + 130.0f * next();
        const float bend = (next() - 0.5f) * 70.0f;
        const float thickness = 1.2f + 1.6f * next();
        const bool seedHead = next() < 0.4f;
        for (float t = 0.0f; t <= 1.0f; t += 0.002f) {
            const float x = base + bend * t * t;
            const float y = 256.0f - height * t;
            stamp(x, y, thickness * (1.0f - 0.7f * t));
            if (seedHead && t > 0.72f && t < 0.86f)
                stamp(x, y, thickness * 2.2f);
        }
    }
    return canvas;
}

// A pale moon with a few soft craters and a faint halo on black, so that
// added over a sky only the moon shows.
Canvas moon()
{
    struct Crater {
        float x, y, r, depth;
    };
    const Crater craters[] = {{52, 50, 9, 0.18f}, {75, 70, 6, 0.15f}, {60, 82, 12, 0.12f}, {80, 44, 4, 0.2f}};
    Canvas canvas(128, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const float fx = static_cast<float>(x) + 0.5f;
            const float fy = static_cast<float>(y) + 0.5f;
            const float d = std::hypot(fx - 64.0f, fy - 64.0f);
            const float disc = smoothstep(40.5f, 39.0f, d);
            float surface = 0.92f - 0.2f * d / 40.0f;
            for (const Crater& c : craters)
                surface -= c.depth * smoothstep(c.r, c.r * 0.4f, std::hypot(fx - c.x, fy - c.y));
            const float halo = 0.25f * std::exp(-(d - 40.0f) * (d - 40.0f) / 120.0f) * (1.0f - disc);
            Pixel& p = canvas.at(x, y);
            p.r = disc * surface + halo * 0.6f;
            p.g = disc * surface + halo * 0.7f;
            p.b = disc * surface * 0.95f + halo;
        }
    }
    return canvas;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pictures DATA_DIR\n");
        return 1;
    }
    const std::filesystem::path data = argv[1];
    std::error_code error;
    std::filesystem::create_directories(data / "textures", error);
    std::filesystem::create_directories(data / "images", error);
    const std::string textures = (data / "textures").string() + "/";
    const std::string images = (data / "images").string() + "/";
    const bool written = spark().writePng(textures + "particle1.png", true) &&
                         glowDot().writePng(textures + "dot3.png", true) &&
                         flare().writePng(textures + "dot.png", true) &&
                         weldSpark().writePng(textures + "particle_spark.png", true) &&
                         ripples().writePng(images + "ripples.png", false) &&
                         dusk().writePng(images + "dusk.png", false) &&
                         reeds().writePng(images + "reeds.png", true) &&
                         lettering({"STILL", "WATER"}).writePng(images + "title.png", true) &&
                         moon().writeTga(images + "moon.tga");
    return written ? 0 : 1;
}
