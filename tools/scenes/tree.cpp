// A lone tree on a grassy mound: a tapering trunk, three levels of branches
// (each a child of the branch it grows from, so the whole crown sways
// together), tufts of two-sided leaf cards at the twig ends, two rocks and a
// few leaves drifting down, circled by the camera.
#include <cmath>
#include <cstdio>

#include "tools/scenes/scenes.h"
#include "tools/scenes/textures.h"

namespace scenegen {

namespace {

struct Materials {
    int32_t bark;
    int32_t leaves;
};

struct Counters {
    int branch = 0;
    int tuft = 0;
};

std::string numbered(const char* stem, int n)
{
    char text[64];
    std::snprintf(text, sizeof text, "%s%02d", stem, n);
    return text;
}

// Leaf cards around the end of a twig, in the twig's frame (twig along +Y).
scenefile::Mesh leafTuft(const std::string& name, float twigLength, int32_t material, Random& random)
{
    scenefile::Mesh mesh = namedMesh(name);
    for (int i = 0; i < 11; ++i) {
        const Float3 centre{random.range(-6.0f, 6.0f), twigLength * random.range(0.5f, 1.1f), random.range(-6.0f, 6.0f)};
        const float size = random.range(7.0f, 11.0f);
        const Rotation turn = then(axisAngle({1, 0, 0}, random.range(-1.2f, 1.2f)),
                                   axisAngle({0, 1, 0}, random.range(0.0f, 2.0f * pi)));
        const Float3 u = rotate(turn, {size, 0.0f, 0.0f});
        const Float3 v = rotate(turn, {0.0f, size, 0.0f});
        addGrid(mesh, centre - u * 0.5f - v * 0.5f, u, v, 1, 1, paintWith(material));
    }
    return mesh;
}

// One branch (a tapering tube along +Y in its own frame) and, below the last
// level, the branches growing from it. Every branch sways a little about
// its own base; the amplitude grows towards the twigs.
void addBranch(SceneDraft& scene, const Materials& materials, Counters& counters, Random& random, int32_t parent,
               const Pose& pose, float length, float radius, int level)
{
    scenefile::Mesh mesh = namedMesh(numbered("branch", ++counters.branch));
    TubeShape tube;
    tube.height = length;
    tube.r0 = radius;
    tube.r1 = radius * 0.6f;
    tube.segments = level == 1 ? 8 : 6;
    tube.caps = false;
    addTube(mesh, tube, paintWith(materials.bark, 1.0f, length / 20.0f));
    const int32_t id = scene.addMesh(mesh, parent, pose);

    const float amplitude = 0.025f * static_cast<float>(level);
    const float speed = random.range(0.03f, 0.05f);
    const float phase = random.range(0.0f, 2.0f * pi);
    scene.animate(id, [pose, amplitude, speed, phase](float t) {
        const Rotation sway = then(axisAngle({1, 0, 0}, amplitude * std::sin(t * speed + phase)),
                                   axisAngle({0, 0, 1}, amplitude * 0.7f * std::sin(t * speed * 1.3f + phase * 2.0f)));
        return Pose{pose.position, then(sway, pose.rotation)};
    });

    if (level == 3) {
        scene.addMesh(leafTuft(numbered("leaves", ++counters.tuft), length, materials.leaves, random), id, at({}));
        return;
    }
    const int children = level == 1 ? 3 : 2;
    for (int i = 0; i < children; ++i) {
        const float yaw = 2.0f * pi * static_cast<float>(i) / static_cast<float>(children) + random.range(-0.4f, 0.4f);
        const float tilt = random.range(0.5f, 0.8f);
        const Rotation turn = then(axisAngle({0, 0, 1}, tilt), axisAngle({0, 1, 0}, yaw));
        const Float3 base{0.0f, length * random.range(0.6f, 0.95f), 0.0f};
        addBranch(scene, materials, counters, random, id, {base, turn}, length * 0.7f, radius * 0.55f, level + 1);
    }
}

void addGround(SceneDraft& scene)
{
    const int32_t grass = scene.addMaterial(texturedMaterial("grass", tex::grass));
    scenefile::Mesh ground = namedMesh("ground");
    LatticeShape mound;
    mound.nu = 24;
    mound.nv = 24;
    addLattice(ground, mound, paintWith(grass, 10.0f, 10.0f), [](int i, int j) {
        const float x = -200.0f + 400.0f * static_cast<float>(i) / 24.0f;
        const float z = 200.0f - 400.0f * static_cast<float>(j) / 24.0f;
        return Float3{x, 12.0f * std::exp(-(x * x + z * z) / 9000.0f) - 12.0f, z};
    });
    scene.addMesh(ground, 0, at({}));

    const int32_t stone = scene.addMaterial(texturedMaterial("rock", tex::slate));
    const Float3 rocks[2] = {{45.0f, -3.0f, 30.0f}, {-60.0f, -6.0f, -25.0f}};
    for (int r = 0; r < 2; ++r) {
        scenefile::Mesh rock = namedMesh(numbered("rock", r + 1));
        const float seed = static_cast<float>(r) * 1.7f;
        addBlob(rock, {}, 12, 8, paintWith(stone, 2.0f, 1.0f), [seed](Float3 d) {
            const float lumps = 1.0f + 0.18f * std::sin(d.x * 5.0f + seed) * std::sin(d.z * 4.0f + seed);
            return Float3{d.x * 9.0f, d.y * 5.0f, d.z * 7.0f} * lumps;
        });
        scene.addMesh(rock, 0, at(rocks[r]));
    }
}

void addFallingLeaves(SceneDraft& scene, int32_t material, Random& random)
{
    const float length = scene.length();
    for (int i = 0; i < 5; ++i) {
        scenefile::Mesh leaf = namedMesh(numbered("fallingleaf", i + 1));
        addGrid(leaf, {-3.0f, -3.0f, 0.0f}, {6.0f, 0.0f, 0.0f}, {0.0f, 6.0f, 0.0f}, 1, 1, paintWith(material));
        const Float3 from{random.range(-40.0f, 40.0f), random.range(70.0f, 100.0f), random.range(-40.0f, 40.0f)};
        const float start = random.range(0.0f, length * 0.5f);
        const float spin = random.range(0.05f, 0.09f);
        auto pose = [from, start, spin, length](float t) {
            const float fall = std::fmax(0.0f, (t - start) / (length - start));
            const float a = t * spin;
            const Float3 p{from.x + 12.0f * std::sin(a * 0.5f), from.y - (from.y + 10.0f) * fall,
                           from.z + 12.0f * std::cos(a * 0.4f)};
            return Pose{p, then(axisAngle({1, 0, 0}, a), axisAngle({0, 1, 0}, a * 0.7f))};
        };
        const int32_t id = scene.addMesh(leaf, 0, pose(0.0f));
        scene.animate(id, pose);
    }
}

void addCamerasAndLights(SceneDraft& scene)
{
    const float length = scene.length();
    auto orbit = [length](float t) {
        const float a = 0.4f + 2.0f * pi * 0.6f * t / length;
        return at({160.0f * std::cos(a), 40.0f + 30.0f * ease(t, 0.0f, length), -160.0f * std::sin(a)});
    };
    const int32_t crown = scene.addTarget("Camera01.Target", {0.0f, 70.0f, 0.0f});
    const int32_t circling = scene.addCamera("Camera01", orbit(0.0f).position, 50.0f, crown);
    scene.animate(circling, orbit);
    const int32_t up = scene.addTarget("Camera02.Target", {0.0f, 85.0f, 0.0f});
    scene.addCamera("Camera02", {60.0f, 5.0f, 90.0f}, 60.0f, up);
    const int32_t whole = scene.addTarget("Camera03.Target", {0.0f, 50.0f, 0.0f});
    scene.addCamera("Camera03", {-200.0f, 120.0f, -40.0f}, 45.0f, whole);

    scenefile::Light sun;
    sun.name = "Sun";
    sun.position = {300.0f, 400.0f, 200.0f};
    sun.colour = {1.0f, 0.92f, 0.75f};
    scene.addLight(sun);
    scenefile::Light sky;
    sky.name = "Sky";
    sky.position = {-200.0f, 150.0f, -250.0f};
    sky.colour = {0.3f, 0.4f, 0.6f};
    scene.addLight(sky);
}

}  // namespace

SceneDraft buildTreeScene()
{
    SceneDraft scene(10, 61);
    addGround(scene);
    scenefile::Material leaves = texturedMaterial("leaves", tex::leaf);
    leaves.opacityMap = storedTexture(tex::leafMask);
    leaves.twoSided = true;
    const Materials materials{scene.addMaterial(texturedMaterial("bark", tex::bark)), scene.addMaterial(leaves)};
    Counters counters;
    Random random(5);
    scenefile::Mesh trunk = namedMesh("trunk");
    TubeShape stem;
    stem.height = 60.0f;
    stem.r0 = 6.5f;
    stem.r1 = 3.5f;
    stem.segments = 12;
    stem.rings = 4;
    addTube(trunk, stem, paintWith(materials.bark, 2.0f, 3.0f));
    const int32_t trunkId = scene.addMesh(trunk, 0, at({0.0f, -2.0f, 0.0f}));
    for (int i = 0; i < 4; ++i) {
        const float yaw = 2.0f * pi * static_cast<float>(i) / 4.0f + 0.3f;
        const Rotation turn = then(axisAngle({0, 0, 1}, random.range(0.35f, 0.6f)), axisAngle({0, 1, 0}, yaw));
        const Float3 base{0.0f, 60.0f * random.range(0.7f, 0.95f), 0.0f};
        addBranch(scene, materials, counters, random, trunkId, {base, turn}, 38.0f, 3.0f, 1);
    }
    addFallingLeaves(scene, materials.leaves, random);
    addCamerasAndLights(scene);
    return scene;
}

}  // namespace scenegen
