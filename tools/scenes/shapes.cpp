#include "tools/scenes/shapes.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace scenegen {

void addLattice(scenefile::Mesh& mesh, const LatticeShape& shape, const Surface& surface,
                const std::function<Float3(int i, int j)>& at)
{
    const int nu = shape.nu;
    const int nv = shape.nv;
    const int columns = shape.wrapU ? nu : nu + 1;
    std::vector<int32_t> vertexIndex(static_cast<size_t>((nu + 1) * (nv + 1)));
    int32_t bottom = -1;
    int32_t top = -1;
    auto slot = [nu](int i, int j) { return static_cast<size_t>(j * (nu + 1) + i); };
    for (int j = 0; j <= nv; ++j) {
        for (int i = 0; i <= nu; ++i) {
            int32_t& index = vertexIndex[slot(i, j)];
            int32_t* shared = nullptr;
            if (j == 0 && shape.collapseBottom)
                shared = &bottom;
            else if (j == nv && shape.collapseTop)
                shared = &top;
            if (shared != nullptr && *shared >= 0) {
                index = *shared;
            } else if (i >= columns) {
                index = vertexIndex[slot(i - columns, j)];
            } else {
                index = static_cast<int32_t>(mesh.vertices.size());
                mesh.vertices.push_back(at(i, j));
                if (shared != nullptr)
                    *shared = index;
            }
        }
    }
    const auto texBase = static_cast<int32_t>(mesh.tex1.size());
    for (int j = 0; j <= nv; ++j) {
        for (int i = 0; i <= nu; ++i) {
            const float s = static_cast<float>(i) / static_cast<float>(nu);
            const float t = static_cast<float>(j) / static_cast<float>(nv);
            mesh.tex1.push_back({s * surface.uRepeat, t * surface.vRepeat});
            mesh.tex2.push_back({s, t});
        }
    }
    auto corner = [&](int i, int j) {
        return std::pair{vertexIndex[slot(i, j)], texBase + static_cast<int32_t>(slot(i, j))};
    };
    auto triangle = [&](std::pair<int32_t, int32_t> a, std::pair<int32_t, int32_t> b, std::pair<int32_t, int32_t> c) {
        if (a.first == b.first || b.first == c.first || a.first == c.first)
            return;
        scenefile::Face f;
        f.vertex = {a.first, b.first, c.first};
        f.tex1 = {a.second, b.second, c.second};
        f.tex2 = f.tex1;
        f.materialId = surface.material;
        f.smoothing = surface.smoothing;
        mesh.faces.push_back(f);
    };
    for (int j = 0; j < nv; ++j) {
        for (int i = 0; i < nu; ++i) {
            triangle(corner(i, j), corner(i + 1, j), corner(i + 1, j + 1));
            triangle(corner(i, j), corner(i + 1, j + 1), corner(i, j + 1));
        }
    }
}

void addGrid(scenefile::Mesh& mesh, Float3 origin, Float3 u, Float3 v, int nu, int nv, const Surface& surface)
{
    LatticeShape shape;
    shape.nu = nu;
    shape.nv = nv;
    addLattice(mesh, shape, surface, [&](int i, int j) {
        return origin + u * (static_cast<float>(i) / static_cast<float>(nu)) +
               v * (static_cast<float>(j) / static_cast<float>(nv));
    });
}

void addBox(scenefile::Mesh& mesh, const BoxShape& box, int32_t material)
{
    const Float3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const float halves[3] = {box.half.x, box.half.y, box.half.z};
    // Per face: normal axis and sign, then the u and v axes (with signs) such
    // that u x v is the outward normal.
    struct Side {
        int n;
        float sign;
        int u;
        float uSign;
        int v;
        float vSign;
    };
    const Side sides[6] = {{0, 1, 2, -1, 1, 1}, {0, -1, 2, 1, 1, 1}, {1, 1, 0, 1, 2, -1},
                           {1, -1, 0, 1, 2, 1}, {2, 1, 0, 1, 1, 1},  {2, -1, 0, -1, 1, 1}};
    for (const Side& side : sides) {
        if ((side.n == 1 && side.sign > 0 && box.skipTop) || (side.n == 1 && side.sign < 0 && box.skipBottom))
            continue;
        Float3 u = axes[side.u] * (2.0f * halves[side.u] * side.uSign);
        Float3 v = axes[side.v] * (2.0f * halves[side.v] * side.vSign);
        const Float3 origin = box.centre + axes[side.n] * (halves[side.n] * side.sign) - u * 0.5f - v * 0.5f;
        if (box.inward)
            std::swap(u, v);
        const float lu = length(u);
        const float lv = length(v);
        Surface surface;
        surface.material = material;
        surface.uRepeat = lu / box.tile;
        surface.vRepeat = lv / box.tile;
        const int nu = std::max(1, static_cast<int>(std::ceil(lu / box.maxEdge)));
        const int nv = std::max(1, static_cast<int>(std::ceil(lv / box.maxEdge)));
        addGrid(mesh, origin, u, v, nu, nv, surface);
    }
}

void addTube(scenefile::Mesh& mesh, const TubeShape& tube, const Surface& surface)
{
    const Float3 a = normalized(tube.axis);
    const Float3 reference = std::fabs(a.y) < 0.9f ? Float3{0, 1, 0} : Float3{1, 0, 0};
    const Float3 e1 = normalized(cross(a, reference));
    const Float3 e2 = cross(a, e1);
    auto radial = [&](int i) {
        const float theta = 2.0f * pi * static_cast<float>(i % tube.segments) / static_cast<float>(tube.segments);
        return e1 * std::cos(theta) + e2 * std::sin(theta);
    };
    LatticeShape side;
    side.nu = tube.segments;
    side.nv = tube.rings;
    side.wrapU = true;
    addLattice(mesh, side, surface, [&](int i, int j) {
        const float t = static_cast<float>(j) / static_cast<float>(tube.rings);
        return tube.base + radial(i) * (tube.r0 + (tube.r1 - tube.r0) * t) + a * (tube.height * t);
    });
    if (!tube.caps)
        return;
    Surface cap = surface;
    cap.uRepeat = 1.0f;
    cap.vRepeat = 1.0f;
    cap.smoothing = surface.smoothing << 1;
    LatticeShape fan;
    fan.nu = tube.segments;
    fan.nv = 1;
    fan.wrapU = true;
    const Float3 topCentre = tube.base + a * tube.height;
    fan.collapseTop = true;
    addLattice(mesh, fan, cap, [&](int i, int j) { return j == 0 ? topCentre + radial(i) * tube.r1 : topCentre; });
    fan.collapseTop = false;
    fan.collapseBottom = true;
    cap.smoothing = surface.smoothing << 2;
    addLattice(mesh, fan, cap, [&](int i, int j) { return j == 0 ? tube.base : tube.base + radial(i) * tube.r0; });
}

void addBlob(scenefile::Mesh& mesh, Float3 centre, int longitudes, int latitudes, const Surface& surface,
             const std::function<Float3(Float3 direction)>& surfacePoint)
{
    LatticeShape shape;
    shape.nu = longitudes;
    shape.nv = latitudes;
    shape.wrapU = true;
    shape.collapseBottom = true;
    shape.collapseTop = true;
    addLattice(mesh, shape, surface, [&](int i, int j) {
        const float theta = 2.0f * pi * static_cast<float>(i) / static_cast<float>(longitudes);
        const float phi = -0.5f * pi + pi * static_cast<float>(j) / static_cast<float>(latitudes);
        const Float3 d{std::cos(phi) * std::cos(theta), std::sin(phi), -std::cos(phi) * std::sin(theta)};
        return centre + surfacePoint(d);
    });
}

void addSweep(scenefile::Mesh& mesh, const std::vector<Float3>& path, float rx, float ry, int segments, Float3 side,
              const Surface& surface)
{
    if (path.size() < 2)
        return;
    const int last = static_cast<int>(path.size()) - 1;
    LatticeShape shape;
    shape.nu = segments;
    shape.nv = last;
    shape.wrapU = true;
    addLattice(mesh, shape, surface, [&](int i, int j) {
        const Float3 along = normalized(path[static_cast<size_t>(std::min(j + 1, last))] -
                                        path[static_cast<size_t>(std::max(j - 1, 0))]);
        // e1 x e2 = along keeps the faces turned outwards.
        const Float3 e1 = normalized(cross(along, side));
        const Float3 e2 = cross(along, e1);
        const float theta = 2.0f * pi * static_cast<float>(i % segments) / static_cast<float>(segments);
        return path[static_cast<size_t>(j)] + e1 * (rx * std::cos(theta)) + e2 * (ry * std::sin(theta));
    });
}

}  // namespace scenegen
