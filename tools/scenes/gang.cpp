// The corridor ("gang"): a long concrete passage with pipes along one wall,
// pillars, crates and a row of ceiling light boxes, flown through by one
// camera while a lamp travels with it. The scene clock of this scene runs
// five times faster than the others in the player, so 1500 units pass in
// about half a minute.
#include <cstdio>

#include "tools/scenes/scenes.h"
#include "tools/scenes/textures.h"

namespace scenegen {

namespace {

constexpr float corridorStart = 40.0f;
constexpr float corridorLength = 1600.0f;
constexpr float halfWidth = 30.0f;
constexpr float height = 50.0f;

std::string numbered(const char* stem, int n)
{
    char text[64];
    std::snprintf(text, sizeof text, "%s%02d", stem, n);
    return text;
}

void addShell(SceneDraft& scene)
{
    const int32_t wall = scene.addMaterial(texturedMaterial("concrete", tex::gangWall));
    const int32_t floor = scene.addMaterial(texturedMaterial("floor tiles", tex::gangFloor));
    const int32_t ceiling = scene.addMaterial(texturedMaterial("ceiling", tex::slate));

    scenefile::Mesh walls = namedMesh("walls");
    BoxShape shell;
    shell.centre = {0.0f, height * 0.5f, corridorStart - corridorLength * 0.5f};
    shell.half = {halfWidth, height * 0.5f, corridorLength * 0.5f};
    shell.tile = 50.0f;
    shell.maxEdge = 40.0f;
    shell.inward = true;
    shell.skipTop = true;
    shell.skipBottom = true;
    addBox(walls, shell, wall);
    scene.addMesh(walls, 0, at({}));

    const int cells = static_cast<int>(corridorLength / 40.0f);
    scenefile::Mesh floorMesh = namedMesh("floor");
    addGrid(floorMesh, {-halfWidth, 0.0f, corridorStart}, {2.0f * halfWidth, 0.0f, 0.0f}, {0.0f, 0.0f, -corridorLength},
            2, cells, paintWith(floor, 2.0f, corridorLength / 30.0f));
    scene.addMesh(floorMesh, 0, at({}));

    scenefile::Mesh ceilingMesh = namedMesh("ceiling");
    addGrid(ceilingMesh, {-halfWidth, height, corridorStart}, {0.0f, 0.0f, -corridorLength}, {2.0f * halfWidth, 0.0f, 0.0f},
            cells, 2, paintWith(ceiling, corridorLength / 60.0f, 1.0f));
    scene.addMesh(ceilingMesh, 0, at({}));
}

void addFittings(SceneDraft& scene)
{
    const int32_t pipeMaterial = scene.addMaterial(texturedMaterial("pipe", tex::gangPipe));
    const float pipes[2][3] = {{-26.0f, 44.0f, 1.6f}, {-21.5f, 46.0f, 1.1f}};
    for (int i = 0; i < 2; ++i) {
        scenefile::Mesh pipe = namedMesh(numbered("pipe", i + 1));
        TubeShape tube;
        tube.base = {0.0f, 0.0f, 0.0f};
        tube.axis = {0.0f, 0.0f, -1.0f};
        tube.height = corridorLength;
        tube.r0 = tube.r1 = pipes[i][2];
        tube.segments = 8;
        tube.rings = 40;
        tube.caps = false;
        addTube(pipe, tube, paintWith(pipeMaterial, 1.0f, corridorLength / 20.0f));
        scene.addMesh(pipe, 0, at({pipes[i][0], pipes[i][1], corridorStart}));
    }

    const int32_t pillarMaterial = scene.addMaterial(texturedMaterial("pillar", tex::gangWall));
    scenefile::Mesh pillars = namedMesh("pillars");
    for (float z = -80.0f; z > -corridorLength + 60.0f; z -= 160.0f) {
        for (float x : {-halfWidth + 2.5f, halfWidth - 2.5f}) {
            BoxShape b;
            b.centre = {x, height * 0.5f, z};
            b.half = {2.5f, height * 0.5f, 4.0f};
            b.tile = 25.0f;
            b.maxEdge = 25.0f;
            b.skipTop = b.skipBottom = true;
            addBox(pillars, b, pillarMaterial);
        }
    }
    scene.addMesh(pillars, 0, at({}));

    const int32_t crateMaterial = scene.addMaterial(texturedMaterial("crate", tex::metal));
    Random random(17);
    for (int i = 0; i < 6; ++i) {
        scenefile::Mesh crate = namedMesh(numbered("crate", i + 1));
        const float size = random.range(4.0f, 8.0f);
        BoxShape b;
        b.half = {size, size, size};
        b.centre = {0.0f, size, 0.0f};
        b.tile = 2.0f * size;
        b.skipBottom = true;
        addBox(crate, b, crateMaterial);
        const float side = (i % 2 == 0) ? 1.0f : -1.0f;
        const Float3 position{side * (halfWidth - size - 6.0f), 0.0f, -150.0f - 230.0f * static_cast<float>(i)};
        const Rotation turn = axisAngle({0, 1, 0}, random.range(-0.4f, 0.4f));
        const int32_t id = scene.addMesh(crate, 0, {position, turn});
        if (i == 0) {
            // An exporter writes the key tracks of nodes it also bakes; the
            // player keeps but does not play them.
            scenefile::PositionKey p;
            p.position = position;
            scenefile::RotationKey r;
            r.rotation = toFile(turn);
            scene.addKeys(id, {p}, {r});
        }
    }
}

void addLightBoxes(SceneDraft& scene)
{
    const int32_t panel = scene.addMaterial(texturedMaterial("light panel", tex::gangPanel));
    const int32_t bracketMaterial = scene.addMaterial(plainMaterial("bracket", {0.3f, 0.3f, 0.32f}));
    int n = 1;
    for (float z = 0.0f; z > -corridorLength + 80.0f; z -= 100.0f, ++n) {
        scenefile::Mesh box = namedMesh("lightbox");
        BoxShape b;
        b.half = {6.0f, 1.0f, 12.0f};
        b.tile = 12.0f;
        addBox(box, b, panel);
        const int32_t id = scene.addMesh(box, 0, at({0.0f, height - 4.0f, z}));
        scenefile::Mesh bracket = namedMesh(numbered("lampbracket", n));
        for (float bz : {-9.0f, 9.0f}) {
            BoxShape rod;
            rod.centre = {0.0f, 2.5f, bz};
            rod.half = {0.4f, 1.5f, 0.4f};
            addBox(bracket, rod, bracketMaterial);
        }
        scene.addMesh(bracket, id, at({}));
    }
}

// Where the flying camera is at scene time t: down the corridor with a slow
// sway, easing in and out.
Float3 flightPosition(float t, float length)
{
    const float along = ease(t, 0.0f, length);
    return {7.0f * std::sin(t * 0.004f), 22.0f + 4.0f * std::sin(t * 0.0061f), 20.0f - 1400.0f * along};
}

void addCamerasAndLights(SceneDraft& scene)
{
    const float length = scene.length();
    const int32_t flightTarget = scene.addTarget("Camera01.Target", flightPosition(60.0f, length));
    const int32_t flight = scene.addCamera("Camera01", flightPosition(0.0f, length), 55.0f, flightTarget);
    scene.animate(flight, [length](float t) { return at(flightPosition(t, length)); });
    scene.animate(flightTarget, [length](float t) {
        Float3 p = flightPosition(t + 60.0f, length);
        p.z -= 100.0f;  // always well ahead of the camera
        p.y -= 4.0f;
        return at(p);
    });

    const int32_t downTarget = scene.addTarget("Camera02.Target", {-5.0f, 25.0f, -300.0f});
    scene.addCamera("Camera02", {20.0f, 8.0f, 30.0f}, 50.0f, downTarget);

    const int32_t craneTarget = scene.addTarget("Camera03.Target", {0.0f, 12.0f, -480.0f});
    const int32_t crane = scene.addCamera("Camera03", {-15.0f, 45.0f, -760.0f}, 60.0f, craneTarget);
    scene.animate(crane, [length](float t) {
        return at(mix({-15.0f, 45.0f, -760.0f}, {15.0f, 8.0f, -700.0f}, ease(t, 0.0f, length)));
    });

    scenefile::Light lamp;
    lamp.name = "Omni01";
    lamp.position = flightPosition(0.0f, length);
    lamp.colour = {1.0f, 0.95f, 0.85f};
    lamp.range = 300.0f;
    const int32_t lampId = scene.addLight(lamp);
    scene.animate(lampId, [length](float t) {
        Float3 p = flightPosition(t, length);
        p.z -= 40.0f;
        p.y = 40.0f;
        return at(p);
    });

    scenefile::Light far;
    far.name = "Omni02";
    far.position = {0.0f, 40.0f, -1450.0f};
    far.colour = {0.5f, 0.6f, 0.8f};
    far.range = 500.0f;
    scene.addLight(far);

    scenefile::Light entry;
    entry.name = "Omni03";
    entry.position = {0.0f, 40.0f, 0.0f};
    entry.colour = {0.7f, 0.7f, 0.65f};
    entry.range = 250.0f;
    scene.addLight(entry);
}

}  // namespace

SceneDraft buildGangScene()
{
    SceneDraft scene(10, 151);
    addShell(scene);
    addFittings(scene);
    addLightBoxes(scene);
    addCamerasAndLights(scene);
    return scene;
}

}  // namespace scenegen
