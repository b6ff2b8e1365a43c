#include "tools/scenes/textures.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/common/png_writer.h"
#include "tools/scenes/geometry.h"

namespace scenegen {

namespace {

float hash(int x, int y, int seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xffffffu) / 16777216.0f;
}

int wrap(int i, int period) { return ((i % period) + period) % period; }

// Value noise that repeats every `period` lattice cells, so textures tile.
float noise(float x, float y, int period, int seed)
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const float sx = smoothstep01(x - fx);
    const float sy = smoothstep01(y - fy);
    auto at = [&](int dx, int dy) { return hash(wrap(ix + dx, period), wrap(iy + dy, period), seed); };
    const float top = at(0, 0) + (at(1, 0) - at(0, 0)) * sx;
    const float bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * sx;
    return top + (bottom - top) * sy;
}

// Sum of octaves over the unit square (s, t in 0..1), tiling, in 0..1.
float fbm(float s, float t, int basePeriod, int octaves, int seed)
{
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    int period = basePeriod;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * noise(s * static_cast<float>(period), t * static_cast<float>(period), period, seed + o);
        total += weight;
        weight *= 0.5f;
        period *= 2;
    }
    return sum / total;
}

using Painter = std::function<Float3(float s, float t)>;

Picture paint(const std::string& file, int size, const Painter& painter)
{
    Picture p{file, size, size, {}};
    p.rgb.reserve(static_cast<size_t>(size * size * 3));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Float3 c = painter((static_cast<float>(x) + 0.5f) / static_cast<float>(size),
                                     (static_cast<float>(y) + 0.5f) / static_cast<float>(size));
            for (float v : {c.x, c.y, c.z})
                p.rgb.push_back(static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f));
        }
    }
    return p;
}

Float3 grey(float v) { return {v, v, v}; }

// Distance to the nearest line of a grid of `cells` cells per side, in cells.
float gridDistance(float s, float cells)
{
    const float f = s * cells - std::floor(s * cells);
    return std::min(f, 1.0f - f);
}

float leafShape(float s, float t, float cx, float cy, float angle, float length)
{
    const float dx = s - cx;
    const float dy = t - cy;
    const float along = (dx * std::cos(angle) + dy * std::sin(angle)) / length;
    const float across = (-dx * std::sin(angle) + dy * std::cos(angle)) / length;
    if (along < -0.5f || along > 0.5f)
        return 0.0f;
    const float width = 0.32f * std::cos(along * pi);  // pointed at both ends
    return std::fabs(across) < width ? 1.0f : 0.0f;
}

float leafCluster(float s, float t)
{
    float m = 0.0f;
    m = std::max(m, leafShape(s, t, 0.35f, 0.35f, 0.6f, 0.55f));
    m = std::max(m, leafShape(s, t, 0.65f, 0.40f, -0.7f, 0.5f));
    m = std::max(m, leafShape(s, t, 0.50f, 0.68f, 1.5f, 0.55f));
    return m;
}

float boneHeight(float s, float t) { return fbm(s, t, 4, 4, 71) * 0.8f + 0.2f * fbm(s, t, 16, 2, 72); }

Float3 painting(float s, float t, int kind)
{
    const float frame = std::min(std::min(s, 1.0f - s), std::min(t, 1.0f - t));
    if (frame < 0.06f)
        return Float3{0.35f, 0.24f, 0.1f} * (0.8f + 0.4f * frame / 0.06f);
    if (kind == 1) {  // a low sun over banded sky
        const float band = std::floor(t * 9.0f) / 9.0f;
        Float3 c = mix(Float3{0.15f, 0.1f, 0.35f}, Float3{0.95f, 0.5f, 0.2f}, band);
        const float d = std::hypot(s - 0.62f, t - 0.62f);
        if (d < 0.14f)
            c = {1.0f, 0.9f, 0.6f};
        return c;
    }
    if (kind == 2) {  // rings
        const float d = std::hypot(s - 0.45f, t - 0.5f);
        const float ring = 0.5f + 0.5f * std::sin(d * 40.0f);
        return mix(Float3{0.05f, 0.2f, 0.3f}, Float3{0.9f, 0.85f, 0.7f}, ring * (1.0f - d));
    }
    // mountains under a pale sky
    const float ridge = 0.45f + 0.12f * std::sin(s * 9.0f) + 0.08f * std::sin(s * 23.0f + 1.0f);
    if (t > ridge)
        return mix(Float3{0.2f, 0.3f, 0.25f}, Float3{0.05f, 0.1f, 0.08f}, (t - ridge) * 2.0f);
    return mix(Float3{0.7f, 0.8f, 0.9f}, Float3{0.95f, 0.9f, 0.8f}, t * 2.0f);
}

}  // namespace

std::vector<Picture> paintSceneTextures()
{
    std::vector<Picture> out;
    out.push_back(paint(tex::gangWall, 64, [](float s, float t) {
        float v = 0.45f + 0.25f * fbm(s, t, 4, 4, 1);
        if (t > 0.62f && t < 0.7f)
            v *= 0.55f;  // painted stripe
        if (gridDistance(s, 1.0f) < 0.02f)
            v *= 0.6f;  // panel seam
        return Float3{v, v * 0.98f, v * 0.92f};
    }));
    out.push_back(paint(tex::gangFloor, 64, [](float s, float t) {
        const float v = 0.3f + 0.2f * fbm(s, t, 8, 3, 2);
        const bool grout = gridDistance(s, 2.0f) < 0.04f || gridDistance(t, 2.0f) < 0.04f;
        return grout ? grey(0.12f) : Float3{v * 0.9f, v, v * 0.9f};
    }));
    out.push_back(paint(tex::gangPanel, 64, [](float s, float t) {
        const float edge = std::min(std::min(s, 1.0f - s), std::min(t, 1.0f - t));
        if (edge < 0.08f)
            return grey(0.2f);
        const float grille = gridDistance(s, 8.0f) < 0.08f ? 0.85f : 1.0f;
        return Float3{0.85f, 0.95f, 1.0f} * grille;
    }));
    out.push_back(paint(tex::gangPipe, 32, [](float s, float t) {
        const float v = 0.35f + 0.25f * std::sin(s * 2.0f * pi) + 0.1f * fbm(s, t, 4, 2, 3);
        return Float3{v * 0.8f, v, v * 0.85f};
    }));
    out.push_back(paint(tex::metal, 64, [](float s, float t) {
        const float v = 0.55f + 0.2f * fbm(s * 0.25f, t, 16, 3, 4);
        return Float3{v * 0.95f, v, v * 1.05f};
    }));
    out.push_back(paint(tex::chrome, 128, [](float s, float t) {
        // An environment seen in a mirror ball: sky above, a horizon, floor below, two windows.
        const float d = std::hypot(s - 0.5f, t - 0.5f) * 2.0f;
        if (d > 1.0f)
            return grey(0.1f);
        Float3 c = t < 0.55f ? mix(Float3{0.9f, 0.95f, 1.0f}, Float3{0.4f, 0.55f, 0.75f}, t / 0.55f)
                             : mix(Float3{0.25f, 0.22f, 0.2f}, Float3{0.05f, 0.05f, 0.05f}, (t - 0.55f) / 0.45f);
        if (std::fabs(s - 0.3f) < 0.06f && std::fabs(t - 0.35f) < 0.1f)
            c = grey(1.0f);
        if (std::fabs(s - 0.72f) < 0.05f && std::fabs(t - 0.3f) < 0.08f)
            c = grey(1.0f);
        return c;
    }));
    out.push_back(paint(tex::hazard, 64, [](float s, float t) {
        const float stripe = s + t - std::floor(s + t);
        return (static_cast<int>(stripe * 4.0f) % 2 == 0) ? Float3{0.95f, 0.75f, 0.1f} : grey(0.08f);
    }));
    out.push_back(paint(tex::plate, 64, [](float s, float t) {
        const float v = 0.3f + 0.1f * fbm(s, t, 8, 2, 5);
        const float u = s * 4.0f - std::floor(s * 4.0f) - 0.5f;
        const float w = t * 4.0f - std::floor(t * 4.0f) - 0.5f;
        const float diamond = std::fabs(u - w) < 0.08f && std::fabs(u + w) < 0.5f ? 0.15f : 0.0f;
        return grey(v + diamond);
    }));
    out.push_back(paint(tex::bark, 64, [](float s, float t) {
        const float v = 0.25f + 0.3f * fbm(s, t * 0.25f, 8, 3, 6);
        return Float3{v * 1.2f, v * 0.85f, v * 0.55f};
    }));
    out.push_back(paint(tex::leaf, 64, [](float s, float t) {
        const float v = 0.5f + 0.5f * fbm(s, t, 8, 2, 7);
        return Float3{0.2f * v, 0.55f * v + 0.1f, 0.12f * v};
    }));
    out.push_back(paint(tex::leafMask, 64, [](float s, float t) { return grey(leafCluster(s, t)); }));
    out.push_back(paint(tex::grass, 64, [](float s, float t) {
        const float v = 0.4f + 0.4f * fbm(s, t, 8, 4, 8);
        return Float3{0.25f * v, 0.5f * v, 0.15f * v};
    }));
    out.push_back(paint(tex::bone, 128, [](float s, float t) {
        const float v = 0.75f + 0.25f * boneHeight(s, t);
        return Float3{v, v * 0.93f, v * 0.78f};
    }));
    out.push_back(paint(tex::boneBump, 128, [](float s, float t) {
        // Normals of the bone's height field, packed as colour (n * 0.5 + 0.5).
        const float e = 1.0f / 128.0f;
        const float dx = (boneHeight(s + e, t) - boneHeight(s - e, t)) / (2.0f * e);
        const float dy = (boneHeight(s, t + e) - boneHeight(s, t - e)) / (2.0f * e);
        const Float3 n = normalized({-dx * 0.05f, dy * 0.05f, 1.0f});
        return n * 0.5f + Float3{0.5f, 0.5f, 0.5f};
    }));
    out.push_back(paint(tex::marble, 64, [](float s, float t) {
        const float vein = std::fabs(std::sin((s + t) * 2.0f * pi + 6.0f * fbm(s, t, 4, 4, 9)));
        const float v = 0.7f + 0.3f * std::pow(vein, 0.3f);
        return Float3{v, v * 0.97f, v * 0.95f};
    }));
    out.push_back(paint(tex::eyeGlow, 64, [](float s, float t) {
        const float d = std::hypot(s - 0.5f, t - 0.5f) * 2.0f;
        const float g = std::max(0.0f, 1.0f - d);
        return Float3{g, g * g * 0.6f, g * g * g * 0.2f};
    }));
    out.push_back(paint(tex::slate, 64, [](float s, float t) {
        const float v = 0.18f + 0.12f * fbm(s, t, 8, 3, 10);
        const bool seam = gridDistance(s, 2.0f) < 0.02f || gridDistance(t, 2.0f) < 0.02f;
        return seam ? grey(0.05f) : Float3{v * 0.9f, v * 0.95f, v * 1.1f};
    }));
    out.push_back(paint(tex::plaster, 64, [](float s, float t) {
        const float v = 0.82f + 0.1f * fbm(s, t, 8, 3, 11);
        return Float3{v, v * 0.98f, v * 0.94f};
    }));
    out.push_back(paint(tex::parquet, 64, [](float s, float t) {
        const int plank = static_cast<int>(s * 4.0f);
        const float shift = hash(plank, 0, 12) * 0.7f;
        const float grain = fbm(s * 0.5f, t + shift, 8, 3, 13 + plank);
        const float v = 0.45f + 0.3f * grain;
        const bool seam = gridDistance(s, 4.0f) < 0.04f;
        return seam ? Float3{0.15f, 0.09f, 0.05f} : Float3{v, v * 0.7f, v * 0.42f};
    }));
    out.push_back(paint(tex::lightmapSoft, 64, [](float s, float t) {
        const float edge = std::min(std::min(s, 1.0f - s), std::min(t, 1.0f - t));
        return grey(0.45f + 0.55f * smoothstep01(edge * 5.0f));
    }));
    out.push_back(paint(tex::lightmapWall, 64, [](float s, float t) {
        const float edge = std::min(std::min(s, 1.0f - s), std::min(t, 1.0f - t));
        float spots = 0.0f;
        for (float cx : {0.25f, 0.75f})
            spots += std::exp(-((s - cx) * (s - cx) * 40.0f + (t - 0.3f) * (t - 0.3f) * 12.0f));
        const float v = 0.35f + 0.35f * smoothstep01(edge * 4.0f) + 0.4f * spots;
        return Float3{v, v * 0.96f, v * 0.88f};
    }));
    out.push_back(paint(tex::lightmapFloor, 64, [](float s, float t) {
        float pools = 0.0f;
        for (float cx : {0.2f, 0.5f, 0.8f})
            for (float cy : {0.3f, 0.7f})
                pools += std::exp(-((s - cx) * (s - cx) + (t - cy) * (t - cy)) * 60.0f);
        const float edge = std::min(std::min(s, 1.0f - s), std::min(t, 1.0f - t));
        const float v = 0.3f + 0.3f * smoothstep01(edge * 6.0f) + 0.45f * pools;
        return Float3{v, v * 0.95f, v * 0.85f};
    }));
    out.push_back(paint(tex::painting1, 128, [](float s, float t) { return painting(s, t, 1); }));
    out.push_back(paint(tex::painting2, 128, [](float s, float t) { return painting(s, t, 2); }));
    out.push_back(paint(tex::painting3, 128, [](float s, float t) { return painting(s, t, 3); }));
    return out;
}

bool writeSceneTextures(const std::string& dir)
{
    for (const Picture& p : paintSceneTextures()) {
        if (!writePng(dir + "/" + p.file, p.width, p.height, p.rgb, 3))
            return false;
    }
    return true;
}

}  // namespace scenegen
