// A small gallery: plaster walls ("vegg01" to "vegg05", the last a free-standing
// partition), parquet floor ("gulv"), ceiling ("overhode03") with beams, pillars
// ("soyle03"), two stands ("stativ01", "stativ02") on supports ("stoetter"),
// lamps ("lamper") on cables ("cables", "stativcables"), a vertebra sculpture
// ("spine") in a glass case, a mirror ball and three paintings. The room
// surfaces carry light maps (set-2 coordinates 0..1 across each surface);
// the player draws them baked, without lighting.
#include <cmath>

#include "tools/scenes/scenes.h"
#include "tools/scenes/textures.h"

namespace scenegen {

namespace {

constexpr float halfX = 100.0f;
constexpr float halfZ = 60.0f;
constexpr float roomHeight = 60.0f;
const Float3 stand1{-55.0f, 0.0f, 25.0f};
const Float3 stand2{55.0f, 0.0f, -25.0f};
constexpr float standHeight = 30.0f;

int32_t lightMapped(SceneDraft& scene, const std::string& name, const std::string& diffuse, const std::string& lightMap)
{
    scenefile::Material m = texturedMaterial(name, diffuse);
    m.lightMap = storedTexture(lightMap);
    return scene.addMaterial(m);
}

void addMeshLit(SceneDraft& scene, scenefile::Mesh mesh) { scene.addMesh(std::move(mesh), 0, at({}), true); }

void addRoom(SceneDraft& scene)
{
    const int32_t wall = lightMapped(scene, "plaster", tex::plaster, tex::lightmapWall);
    const int32_t floor = lightMapped(scene, "parquet", tex::parquet, tex::lightmapFloor);
    const int32_t ceiling = lightMapped(scene, "ceiling plaster", tex::plaster, tex::lightmapSoft);

    scenefile::Mesh gulv = namedMesh("gulv");
    addGrid(gulv, {-halfX, 0.0f, halfZ}, {2.0f * halfX, 0.0f, 0.0f}, {0.0f, 0.0f, -2.0f * halfZ}, 10, 6,
            paintWith(floor, 5.0f, 3.0f));
    addMeshLit(scene, gulv);

    struct WallSpec {
        const char* name;
        Float3 origin, u;
    };
    const WallSpec walls[4] = {{"vegg01", {-halfX, 0, -halfZ}, {2 * halfX, 0, 0}},
                               {"vegg02", {halfX, 0, halfZ}, {-2 * halfX, 0, 0}},
                               {"vegg03", {-halfX, 0, halfZ}, {0, 0, -2 * halfZ}},
                               {"vegg04", {halfX, 0, -halfZ}, {0, 0, 2 * halfZ}}};
    for (const WallSpec& w : walls) {
        scenefile::Mesh mesh = namedMesh(w.name);
        const float width = length(w.u);
        addGrid(mesh, w.origin, w.u, {0.0f, roomHeight, 0.0f}, static_cast<int>(width / 20.0f), 3,
                paintWith(wall, width / 40.0f, roomHeight / 40.0f));
        addMeshLit(scene, mesh);
    }
    scenefile::Mesh partition = namedMesh("vegg05");
    BoxShape divider;
    divider.centre = {0.0f, 20.0f, 0.0f};
    divider.half = {2.0f, 20.0f, 30.0f};
    divider.tile = 40.0f;
    divider.maxEdge = 15.0f;
    divider.skipBottom = true;
    addBox(partition, divider, wall);
    addMeshLit(scene, partition);

    scenefile::Mesh overhode = namedMesh("overhode03");
    addGrid(overhode, {-halfX, roomHeight, -halfZ}, {2.0f * halfX, 0.0f, 0.0f}, {0.0f, 0.0f, 2.0f * halfZ}, 10, 6,
            paintWith(ceiling, 5.0f, 3.0f));
    addMeshLit(scene, overhode);

    const int32_t beamPaint = scene.addMaterial(plainMaterial("beams", {0.45f, 0.42f, 0.4f}));
    scenefile::Mesh beams = namedMesh("overhode01");
    for (float x = -75.0f; x <= 75.0f; x += 50.0f) {
        BoxShape beam;
        beam.centre = {x, roomHeight - 2.0f, 0.0f};
        beam.half = {2.0f, 2.0f, halfZ};
        beam.skipTop = true;
        beam.maxEdge = 20.0f;
        addBox(beams, beam, beamPaint);
    }
    scene.addMesh(beams, 0, at({}));

    const int32_t pillarStone = lightMapped(scene, "pillar marble", tex::marble, tex::lightmapSoft);
    scenefile::Mesh pillars = namedMesh("soyle03");
    for (float x : {-80.0f, 80.0f}) {
        for (float z : {-40.0f, 40.0f}) {
            TubeShape column;
            column.base = {x, 0.0f, z};
            column.height = roomHeight;
            column.r0 = column.r1 = 4.0f;
            column.segments = 12;
            column.rings = 3;
            column.caps = false;
            addTube(pillars, column, paintWith(pillarStone, 1.0f, 3.0f));
        }
    }
    addMeshLit(scene, pillars);
}

void addStands(SceneDraft& scene)
{
    const int32_t standPaint = lightMapped(scene, "stand", tex::plaster, tex::lightmapSoft);
    const int32_t steel = lightMapped(scene, "support steel", tex::metal, tex::lightmapSoft);
    const Float3 stands[2] = {stand1, stand2};
    for (int i = 0; i < 2; ++i) {
        scenefile::Mesh stand = namedMesh(i == 0 ? "stativ01" : "stativ02");
        BoxShape top;
        top.centre = stands[i] + Float3{0.0f, standHeight - 2.0f, 0.0f};
        top.half = {10.0f, 2.0f, 10.0f};
        top.tile = 20.0f;
        addBox(stand, top, standPaint);
        addMeshLit(scene, stand);
    }
    scenefile::Mesh supports = namedMesh("stoetter");
    for (const Float3& s : stands) {
        for (float dx : {-7.0f, 7.0f}) {
            for (float dz : {-7.0f, 7.0f}) {
                BoxShape leg;
                leg.centre = s + Float3{dx, (standHeight - 4.0f) * 0.5f, dz};
                leg.half = {1.0f, (standHeight - 4.0f) * 0.5f, 1.0f};
                leg.tile = 8.0f;
                leg.skipBottom = leg.skipTop = true;
                addBox(supports, leg, steel);
            }
        }
    }
    addMeshLit(scene, supports);

    // Lamps hang on cables from a run along the ceiling; one cable also feeds each stand.
    scenefile::Mesh lamps = namedMesh("lamper");
    scenefile::Mesh cables = namedMesh("cables");
    for (float x = -60.0f; x <= 60.0f; x += 40.0f) {
        for (float z : {-30.0f, 30.0f}) {
            TubeShape shade;
            shade.base = {x, roomHeight - 18.0f, z};
            shade.height = 6.0f;
            shade.r0 = 5.0f;
            shade.r1 = 1.5f;
            shade.segments = 10;
            addTube(lamps, shade, paintWith(steel));
            addSweep(cables, {{x, roomHeight - 12.0f, z}, {x, roomHeight, z}}, 0.3f, 0.3f, 4, {1, 0, 0},
                     paintWith(steel));
        }
    }
    addSweep(cables, {{-95.0f, roomHeight - 1.0f, -58.0f}, {95.0f, roomHeight - 1.0f, -58.0f}}, 0.5f, 0.5f, 5,
             {0, 1, 0}, paintWith(steel));
    addMeshLit(scene, lamps);
    addMeshLit(scene, cables);

    scenefile::Mesh standCables = namedMesh("stativcables");
    for (const Float3& s : stands) {
        std::vector<Float3> path;
        for (int k = 0; k <= 8; ++k) {
            const float t = static_cast<float>(k) / 8.0f;
            const Float3 from = s + Float3{0.0f, standHeight, 8.0f};
            const Float3 to{s.x, roomHeight, s.z + 8.0f};
            path.push_back(mix(from, to, t) + Float3{4.0f * std::sin(t * pi), 0.0f, 0.0f});
        }
        addSweep(standCables, path, 0.35f, 0.35f, 4, {0, 0, 1}, paintWith(steel));
    }
    addMeshLit(scene, standCables);
}

void addExhibits(SceneDraft& scene)
{
    const int32_t spineStone = lightMapped(scene, "spine marble", tex::marble, tex::lightmapSoft);
    scenefile::Mesh spine = namedMesh("spine");
    for (int k = 0; k < 9; ++k) {
        const float y = 2.0f + 3.6f * static_cast<float>(k);
        const float bend = 2.5f * std::sin(static_cast<float>(k) * 0.5f);
        TubeShape vertebra;
        vertebra.base = {bend, y, 0.0f};
        vertebra.height = 2.4f;
        vertebra.r0 = 3.0f - 0.15f * static_cast<float>(k);
        vertebra.r1 = vertebra.r0 * 0.9f;
        vertebra.segments = 10;
        addTube(spine, vertebra, paintWith(spineStone));
    }
    const Float3 spineBase = stand2 + Float3{0.0f, standHeight, 0.0f};
    const int32_t spineId = scene.addMesh(spine, 0, at(spineBase), true);
    scene.animate(spineId, [spineBase](float t) { return Pose{spineBase, axisAngle({0, 1, 0}, t * 0.004f)}; });

    scenefile::Material glassMaterial = plainMaterial("glass", {0.7f, 0.85f, 0.9f});
    glassMaterial.opacity = 0.3f;
    glassMaterial.twoSided = true;
    const int32_t glass = scene.addMaterial(glassMaterial);
    scenefile::Mesh caseMesh = namedMesh("glass01");
    BoxShape glassBox;
    glassBox.centre = spineBase + Float3{0.0f, 18.0f, 0.0f};
    glassBox.half = {9.0f, 18.0f, 9.0f};
    glassBox.skipBottom = true;
    addBox(caseMesh, glassBox, glass);
    scene.addMesh(caseMesh, 0, at({}));

    scenefile::Material mirror;
    mirror.name = "mirror ball";
    mirror.reflectionMap = storedTexture(tex::chrome);
    mirror.dynamicReflection = true;
    const int32_t mirrorBall = scene.addMaterial(mirror);
    scenefile::Mesh ball = namedMesh("kule01");
    addSphere(ball, {}, 9.0f, 24, 16, paintWith(mirrorBall));
    scene.addMesh(ball, 0, at(stand1 + Float3{0.0f, standHeight + 9.0f, 0.0f}));

    struct Hanging {
        const char* name;
        const std::string* picture;
        Float3 centre;
        Float3 facing;  // unit normal of the picture
    };
    const Hanging paintings[3] = {{"bilde01", &tex::painting1, {-40.0f, 30.0f, -halfZ + 0.6f}, {0, 0, 1}},
                                  {"bilde02", &tex::painting2, {2.6f, 22.0f, 0.0f}, {1, 0, 0}},
                                  {"bilde03", &tex::painting3, {-2.6f, 22.0f, 0.0f}, {-1, 0, 0}}};
    for (const Hanging& h : paintings) {
        const int32_t canvas = scene.addMaterial(texturedMaterial(std::string(h.name) + " canvas", *h.picture));
        scenefile::Mesh picture = namedMesh(h.name);
        // u runs to the picture's right as seen from the front, v up.
        const Float3 u = cross(Float3{0, 1, 0}, h.facing) * 26.0f;
        const Float3 v{0.0f, 26.0f, 0.0f};
        addGrid(picture, h.centre - u * 0.5f - v * 0.5f, u, v, 1, 1, paintWith(canvas));
        scene.addMesh(picture, 0, at({}));
    }
}

void addCamerasAndLights(SceneDraft& scene)
{
    for (const char* name : {"Omni01", "Omni02"}) {
        scenefile::Light lamp;
        lamp.name = name;
        // Off the partition's plane, so each of its faces has a lamp in front.
        lamp.position = name[5] == '1' ? Float3{-50.0f, 55.0f, 30.0f} : Float3{50.0f, 55.0f, -30.0f};
        lamp.colour = {1.0f, 0.93f, 0.8f};
        lamp.range = 300.0f;
        scene.addLight(lamp);
    }
    const float length = scene.length();
    auto walk = [length](float t) {
        const float a = 1.7f + 2.0f * pi * t / length;
        return at({75.0f * std::cos(a), 25.0f + 3.0f * std::sin(t * 0.05f), 45.0f * std::sin(a)});
    };
    auto look = [length](float t) {
        const float a = 1.7f + 2.0f * pi * t / length + 1.2f;
        return at({30.0f * std::cos(a), 22.0f, 20.0f * std::sin(a)});
    };
    const int32_t walkTarget = scene.addTarget("Camera01.Target", look(0.0f).position);
    const int32_t walker = scene.addCamera("Camera01", walk(0.0f).position, 55.0f, walkTarget);
    scene.animate(walker, walk);
    scene.animate(walkTarget, look);
    const int32_t corner = scene.addTarget("Camera02.Target", {20.0f, 15.0f, -20.0f});
    scene.addCamera("Camera02", {-90.0f, 45.0f, 55.0f}, 60.0f, corner);
    const int32_t ballTarget = scene.addTarget("Camera03.Target", stand1 + Float3{0.0f, standHeight + 9.0f, 0.0f});
    scene.addCamera("Camera03", {-30.0f, 38.0f, 50.0f}, 45.0f, ballTarget);
}

}  // namespace

SceneDraft buildGalleryScene()
{
    SceneDraft scene(10, 121);
    addRoom(scene);
    addStands(scene);
    addExhibits(scene);
    addCamerasAndLights(scene);
    return scene;
}

}  // namespace scenegen
