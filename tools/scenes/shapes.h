#pragma once
// Shapes appended to a mesh record: every shape adds its own vertices,
// set-1 coordinates (tiled by the repeats given), set-2 coordinates (0..1
// across each surface, for light maps) and counter-clockwise faces (seen from
// outside) of one material and one smoothing group.
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/scenes/geometry.h"

namespace scenegen {

struct Surface {
    int32_t material = 0;
    uint32_t smoothing = 1;
    float uRepeat = 1.0f;  // texture repeats across the surface
    float vRepeat = 1.0f;
};

// A lattice of (nu + 1) x (nv + 1) points at(i, j). With wrapU the last column
// is the first one again (shared vertices, so normals smooth across the
// seam); collapseBottom / collapseTop make row 0 / row nv a single vertex
// (poles, cap centres). Triangles that would repeat a vertex are left out.
// The face normal follows d(at)/di x d(at)/dj.
struct LatticeShape {
    int nu = 1, nv = 1;
    bool wrapU = false;
    bool collapseBottom = false;
    bool collapseTop = false;
};
void addLattice(scenefile::Mesh& mesh, const LatticeShape& shape, const Surface& surface,
                const std::function<Float3(int i, int j)>& at);

// Flat rectangle from origin spanning u and v, facing u x v.
void addGrid(scenefile::Mesh& mesh, Float3 origin, Float3 u, Float3 v, int nu, int nv, const Surface& surface);

// Axis-aligned box. `tile` is the world size of one texture repeat;
// `maxEdge` the longest edge of a cell (finer cells light better). Inward
// boxes face their inside (rooms, corridors).
struct BoxShape {
    Float3 centre;
    Float3 half{1.0f, 1.0f, 1.0f};
    float tile = 1.0f;
    float maxEdge = 1.0e9f;
    bool inward = false;
    bool skipTop = false;
    bool skipBottom = false;
};
void addBox(scenefile::Mesh& mesh, const BoxShape& box, int32_t material);

// Tube along `axis` from `base`, radius going from r0 to r1, optional caps.
struct TubeShape {
    Float3 base;
    Float3 axis{0.0f, 1.0f, 0.0f};
    float height = 1.0f;
    float r0 = 1.0f, r1 = 1.0f;
    int segments = 12;
    int rings = 1;
    bool caps = true;
};
void addTube(scenefile::Mesh& mesh, const TubeShape& tube, const Surface& surface);

// A closed surface around centre whose radius along a unit direction is
// radius(direction); latitude from -Y to +Y, longitude from +X over -Z.
void addBlob(scenefile::Mesh& mesh, Float3 centre, int longitudes, int latitudes, const Surface& surface,
             const std::function<Float3(Float3 direction)>& surfacePoint);

// A tube of elliptic cross-section (rx, ry) swept along a path of points
// (at least two), without end caps; the cross-section's rx axis stays
// square to the path and to `side`.
void addSweep(scenefile::Mesh& mesh, const std::vector<Float3>& path, float rx, float ry, int segments, Float3 side,
              const Surface& surface);

inline void addSphere(scenefile::Mesh& mesh, Float3 centre, float radius, int longitudes, int latitudes,
                      const Surface& surface)
{
    addBlob(mesh, centre, longitudes, latitudes, surface, [radius](Float3 d) { return d * radius; });
}

}  // namespace scenegen
