// The welding robot: a three-joint arm on a turret beside a low bench, its
// torch ("weld - tip") brought down onto the seam between two plates inside
// each welding window and lifted away between them. The bench top lies where
// the player's spark bounce box expects it (top y -30 over x -5.8, z -175,
// floor y -40).
#include <algorithm>
#include <cmath>

#include "tools/scenes/scenes.h"
#include "tools/scenes/textures.h"

namespace scenegen {

namespace {

constexpr float floorY = -40.0f;
const Float3 benchCentre{-5.8f, -35.0f, -175.0f};
const Float3 robotBase{-55.0f, floorY, -175.0f};
constexpr float baseHeight = 8.0f;
constexpr float shoulderHeight = 17.0f;  // above the turret
constexpr float upperArm = 40.0f;
constexpr float foreArm = 35.0f;
constexpr float torch = 12.0f;
constexpr float seamY = -28.0f;
constexpr float seamZ = -173.2f;
constexpr float hover = 14.0f;
constexpr float sceneEnd = 4100.0f;

struct Key {
    float time;
    Float3 point;
};

// The torch tip's path: rest, then for each window down onto the seam,
// along it while the sparks fly, and up again; back to rest in long pauses.
std::vector<Key> tipSchedule()
{
    const Float3 rest{-30.0f, 0.0f, -160.0f};
    std::vector<Key> keys{{0.0f, rest}};
    Random random(23);
    const std::vector<Window>& windows = weldingWindows();
    for (size_t i = 0; i < windows.size(); ++i) {
        const Window& w = windows[i];
        const float x = random.range(-18.0f, 2.0f);
        const Float3 a{x, seamY, seamZ};
        const Float3 b{x + 4.0f, seamY, seamZ};
        const Float3 up{0.0f, hover, 0.0f};
        if (w.from - keys.back().time > 260.0f) {
            keys.push_back({keys.back().time + 100.0f, rest});
            keys.push_back({w.from - 140.0f, rest});
        }
        keys.push_back({w.from - 30.0f, a + up});
        keys.push_back({w.from - 2.0f, a});
        keys.push_back({w.to, b});
        keys.push_back({w.to + 25.0f, b + up});
    }
    keys.push_back({keys.back().time + 80.0f, rest});
    return keys;
}

Float3 tipAt(const std::vector<Key>& keys, float t)
{
    if (t <= keys.front().time)
        return keys.front().point;
    for (size_t i = 1; i < keys.size(); ++i) {
        if (t <= keys[i].time)
            return mix(keys[i - 1].point, keys[i].point, ease(t, keys[i - 1].time, keys[i].time));
    }
    return keys.back().point;
}

struct ArmPose {
    float yaw, shoulder, elbow, wrist;
};

// Joint angles that put the tip at `tip` with the torch pointing straight down.
ArmPose reach(Float3 tip)
{
    const Float3 toTip = tip - robotBase;
    const float r = std::hypot(toTip.x, toTip.z);
    const float wy = tip.y + torch - (robotBase.y + baseHeight + shoulderHeight);
    const float d = std::min(std::hypot(r, wy), upperArm + foreArm - 0.01f);
    const float cosElbow = (d * d - upperArm * upperArm - foreArm * foreArm) / (2.0f * upperArm * foreArm);
    const float elbow = -std::acos(std::clamp(cosElbow, -1.0f, 1.0f));
    const float shoulder =
        std::atan2(wy, r) - std::atan2(foreArm * std::sin(elbow), upperArm + foreArm * std::cos(elbow));
    return {std::atan2(-toTip.z, toTip.x), shoulder, elbow, -0.5f * pi - shoulder - elbow};
}

Rotation aboutZ(float angle) { return axisAngle({0, 0, 1}, angle); }

void addWorkshop(SceneDraft& scene)
{
    const int32_t plate = scene.addMaterial(texturedMaterial("checker plate", tex::plate));
    scenefile::Mesh floor = namedMesh("floor");
    addGrid(floor, {-230.0f, floorY, 20.0f}, {400.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -400.0f}, 10, 10,
            paintWith(plate, 10.0f, 10.0f));
    scene.addMesh(floor, 0, at({}));

    const int32_t concrete = scene.addMaterial(texturedMaterial("back wall", tex::gangWall));
    scenefile::Mesh wall = namedMesh("back wall");
    addGrid(wall, {-230.0f, floorY, -290.0f}, {400.0f, 0.0f, 0.0f}, {0.0f, 160.0f, 0.0f}, 10, 4,
            paintWith(concrete, 8.0f, 3.2f));
    scene.addMesh(wall, 0, at({}));

    const int32_t benchSteel = scene.addMaterial(texturedMaterial("bench steel", tex::metal));
    scenefile::Mesh bench = namedMesh("workbench");
    BoxShape top;
    top.centre = benchCentre;
    top.half = {25.0f, 5.0f, 25.0f};
    top.tile = 25.0f;
    top.maxEdge = 10.0f;
    addBox(bench, top, benchSteel);
    scene.addMesh(bench, 0, at({}));

    const int32_t workMetal = scene.addMaterial(texturedMaterial("workpiece", tex::metal));
    scenefile::Mesh base = namedMesh("workpiece01");
    BoxShape flat;
    flat.centre = {-5.8f, -29.0f, -175.0f};
    flat.half = {15.0f, 1.0f, 10.0f};
    flat.tile = 15.0f;
    addBox(base, flat, workMetal);
    scene.addMesh(base, 0, at({}));
    scenefile::Mesh upright = namedMesh("workpiece02");
    BoxShape fin;
    fin.centre = {-5.8f, -23.0f, -175.0f};
    fin.half = {15.0f, 5.0f, 1.0f};
    fin.tile = 15.0f;
    addBox(upright, fin, workMetal);
    scene.addMesh(upright, 0, at({}));
}

void addRobot(SceneDraft& scene)
{
    const std::vector<Key> schedule = tipSchedule();
    const int32_t hazard = scene.addMaterial(texturedMaterial("robot base", tex::hazard));
    const int32_t armPaint = scene.addMaterial(texturedMaterial("robot paint", tex::metal));
    scenefile::Material chrome;
    chrome.name = "torch chrome";
    chrome.reflectionMap = storedTexture(tex::chrome);
    const int32_t torchChrome = scene.addMaterial(chrome);

    scenefile::Mesh baseMesh = namedMesh("robot base");
    TubeShape pedestal;
    pedestal.height = baseHeight;
    pedestal.r0 = 12.0f;
    pedestal.r1 = 10.0f;
    pedestal.segments = 16;
    addTube(baseMesh, pedestal, paintWith(hazard, 4.0f, 0.5f));
    const int32_t baseId = scene.addMesh(baseMesh, 0, at(robotBase));

    const ArmPose start = reach(tipAt(schedule, 0.0f));
    scenefile::Mesh turretMesh = namedMesh("turret");
    TubeShape drum;
    drum.height = 10.0f;
    drum.r0 = drum.r1 = 8.0f;
    drum.segments = 16;
    addTube(turretMesh, drum, paintWith(armPaint, 2.0f, 1.0f));
    BoxShape post;
    post.centre = {0.0f, 13.0f, 0.0f};
    post.half = {4.0f, 5.0f, 5.0f};
    post.tile = 10.0f;
    addBox(turretMesh, post, armPaint);
    const int32_t turret = scene.addMesh(turretMesh, baseId, {{0, baseHeight, 0}, axisAngle({0, 1, 0}, start.yaw)});

    scenefile::Mesh upperMesh = namedMesh("upper arm");
    BoxShape beam;
    beam.centre = {upperArm * 0.5f, 0.0f, 0.0f};
    beam.half = {upperArm * 0.5f, 3.0f, 3.0f};
    beam.tile = 12.0f;
    beam.maxEdge = 10.0f;
    addBox(upperMesh, beam, armPaint);
    TubeShape joint;
    joint.base = {0.0f, 0.0f, -4.5f};
    joint.axis = {0.0f, 0.0f, 1.0f};
    joint.height = 9.0f;
    joint.r0 = joint.r1 = 4.5f;
    addTube(upperMesh, joint, paintWith(armPaint));
    const int32_t upper = scene.addMesh(upperMesh, turret, {{0, shoulderHeight, 0}, aboutZ(start.shoulder)});

    scenefile::Mesh foreMesh = namedMesh("forearm");
    beam.centre = {foreArm * 0.5f, 0.0f, 0.0f};
    beam.half = {foreArm * 0.5f, 2.3f, 2.3f};
    addBox(foreMesh, beam, armPaint);
    joint.base = {0.0f, 0.0f, -3.5f};
    joint.height = 7.0f;
    joint.r0 = joint.r1 = 3.5f;
    addTube(foreMesh, joint, paintWith(armPaint));
    const int32_t fore = scene.addMesh(foreMesh, upper, {{upperArm, 0, 0}, aboutZ(start.elbow)});

    scenefile::Mesh wristMesh = namedMesh("wrist");
    TubeShape nozzle;
    nozzle.axis = {1.0f, 0.0f, 0.0f};
    nozzle.height = torch;
    nozzle.r0 = 1.8f;
    nozzle.r1 = 0.6f;
    nozzle.segments = 10;
    addTube(wristMesh, nozzle, paintWith(torchChrome));
    const int32_t wrist = scene.addMesh(wristMesh, fore, {{foreArm, 0, 0}, aboutZ(start.wrist)});
    scene.addDummy("weld - tip", wrist, at({torch, 0.0f, 0.0f}));

    scene.animate(turret, [schedule](float t) {
        return Pose{{0, baseHeight, 0}, axisAngle({0, 1, 0}, reach(tipAt(schedule, t)).yaw)};
    });
    scene.animate(upper, [schedule](float t) {
        return Pose{{0, shoulderHeight, 0}, aboutZ(reach(tipAt(schedule, t)).shoulder)};
    });
    scene.animate(fore, [schedule](float t) { return Pose{{upperArm, 0, 0}, aboutZ(reach(tipAt(schedule, t)).elbow)}; });
    scene.animate(wrist, [schedule](float t) { return Pose{{foreArm, 0, 0}, aboutZ(reach(tipAt(schedule, t)).wrist)}; });

    scene.addParticleSystem("Spray01", {-5.8f, seamY, seamZ});

    const float length = scene.length();
    const int32_t wideTarget = scene.addTarget("Camera01.Target", {-20.0f, -25.0f, -175.0f});
    const int32_t wide = scene.addCamera("Camera01", {70.0f, 20.0f, -80.0f}, 50.0f, wideTarget);
    scene.animate(wide, [length](float t) {
        return at(mix({70.0f, 20.0f, -80.0f}, {40.0f, 35.0f, -60.0f}, 0.5f - 0.5f * std::cos(2.0f * pi * t / length)));
    });
    const int32_t closeTarget = scene.addTarget("Camera02.Target", tipAt(schedule, 0.0f));
    const int32_t close = scene.addCamera("Camera02", {30.0f, -5.0f, -175.0f}, 40.0f, closeTarget);
    scene.animate(closeTarget, [schedule](float t) { return at(tipAt(schedule, t)); });
    scene.animate(close, [](float t) {
        const float a = 0.3f + t * 0.0012f;
        return at({-5.8f + 55.0f * std::cos(a), -8.0f, -175.0f + 55.0f * std::sin(a)});
    });
    const int32_t topTarget = scene.addTarget("Camera03.Target", {-20.0f, -30.0f, -175.0f});
    scene.addCamera("Camera03", {-10.0f, 70.0f, -120.0f}, 60.0f, topTarget);
}

void addLights(SceneDraft& scene)
{
    const int32_t spotTarget = scene.addTarget("Spot01.Target", {-5.8f, -30.0f, -175.0f});
    scenefile::Light spot;
    spot.name = "Spot01";
    spot.position = {30.0f, 60.0f, -120.0f};
    spot.colour = {1.0f, 0.95f, 0.85f};
    spot.targetId = spotTarget;
    spot.spotExponent = 6.0f;
    spot.spotCutoff = 45.0f;
    scene.addLight(spot);

    scenefile::Light fill;
    fill.name = "Omni01";
    fill.position = {-90.0f, 40.0f, -90.0f};
    fill.colour = {0.35f, 0.4f, 0.5f};
    fill.range = 400.0f;
    scene.addLight(fill);
}

}  // namespace

SceneDraft buildWelderScene()
{
    SceneDraft scene(10, static_cast<int32_t>(sceneEnd / 10.0f) + 1);
    addWorkshop(scene);
    addRobot(scene);
    addLights(scene);
    return scene;
}

}  // namespace scenegen
