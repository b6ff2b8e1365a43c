// A skull on a marble pedestal under a spot light ("Spot01", the shadow
// caster): the cranium is one deformed sphere (brow, sockets, nose, cheek
// bones), the lower jaw a swept bar hinged below it that chatters, and two
// embers glow in the sockets. The skull turns slowly; the spot drifts so the
// shadow moves over the floor.
#include <cmath>

#include "tools/scenes/scenes.h"
#include "tools/scenes/textures.h"

namespace scenegen {

namespace {

const Float3 skullCentre{0.0f, 72.0f, 0.0f};
const Float3 hinge{0.0f, -9.0f, -4.0f};  // jaw pivot in the skull's frame

// A bump (amount > 0) or hollow (amount < 0) of the skull's surface around
// direction `towards`, `width` wide (in 1 - cos of the angle).
float feature(Float3 d, Float3 towards, float width, float amount)
{
    return amount * std::exp(-(1.0f - dot(d, normalized(towards))) / width);
}

Float3 skullSurface(Float3 d)
{
    const float rx = 20.0f, ry = 21.0f, rz = 25.0f;
    float r = 1.0f / std::sqrt(d.x * d.x / (rx * rx) + d.y * d.y / (ry * ry) + d.z * d.z / (rz * rz));
    if (d.y < -0.2f && d.z > -0.2f)
        r *= 1.0f - 0.35f * smoothstep01((-0.2f - d.y) / 0.6f);  // narrower face below the cheeks
    for (float side : {-1.0f, 1.0f}) {
        r += feature(d, {side * 0.38f, 0.02f, 0.92f}, 0.02f, -7.0f);   // eye socket
        r += feature(d, {side * 0.36f, 0.24f, 0.9f}, 0.015f, 1.8f);    // brow ridge
        r += feature(d, {side * 0.65f, -0.18f, 0.72f}, 0.02f, 2.2f);   // cheek bone
        r += feature(d, {side * 0.95f, 0.05f, 0.15f}, 0.05f, -2.0f);   // temple
    }
    r += feature(d, {0.0f, -0.22f, 1.0f}, 0.01f, -5.0f);  // nose
    r += feature(d, {0.0f, 0.35f, -1.0f}, 0.2f, 2.5f);    // back of the head
    return d * r;
}

// The mandible's path: a U around the front, rising at the back to the hinge.
std::vector<Float3> jawPath()
{
    std::vector<Float3> path;
    path.push_back({-13.0f, 2.0f, -2.0f});
    for (int i = 0; i <= 12; ++i) {
        const float a = -1.6f + 3.2f * static_cast<float>(i) / 12.0f;
        path.push_back({13.0f * std::sin(a), -8.0f, 4.0f + 18.0f * std::cos(a)});
    }
    path.push_back({13.0f, 2.0f, -2.0f});
    return path;
}

scenefile::Mesh teethRow(const std::string& name, float y, float radius, float centreZ, int32_t material)
{
    scenefile::Mesh mesh = namedMesh(name);
    for (int i = 0; i < 10; ++i) {
        const float a = -0.9f + 1.8f * (static_cast<float>(i) + 0.5f) / 10.0f;
        BoxShape tooth;
        tooth.centre = {radius * std::sin(a), y, centreZ + radius * std::cos(a)};
        tooth.half = {1.4f, 2.0f, 1.2f};
        tooth.tile = 3.0f;
        addBox(mesh, tooth, material);
    }
    return mesh;
}

void addRoom(SceneDraft& scene)
{
    const int32_t slate = scene.addMaterial(texturedMaterial("slate floor", tex::slate));
    scenefile::Mesh floor = namedMesh("floor");
    addGrid(floor, {-150.0f, 0.0f, 150.0f}, {300.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -300.0f}, 15, 15,
            paintWith(slate, 6.0f, 6.0f));
    scene.addMesh(floor, 0, at({}));

    const int32_t marble = scene.addMaterial(texturedMaterial("pedestal marble", tex::marble));
    scenefile::Mesh pedestal = namedMesh("pedestal");
    TubeShape column;
    column.height = 40.0f;
    column.r0 = 16.0f;
    column.r1 = 13.0f;
    column.segments = 20;
    column.rings = 3;
    addTube(pedestal, column, paintWith(marble, 3.0f, 2.0f));
    BoxShape top;
    top.centre = {0.0f, 43.0f, 0.0f};
    top.half = {18.0f, 3.0f, 18.0f};
    top.tile = 18.0f;
    addBox(pedestal, top, marble);
    scene.addMesh(pedestal, 0, at({}));
}

void addSkull(SceneDraft& scene)
{
    scenefile::Material boneMaterial = texturedMaterial("bone", tex::bone);
    boneMaterial.bumpMap = storedTexture(tex::boneBump);
    const int32_t bone = scene.addMaterial(boneMaterial);
    const int32_t teeth = scene.addMaterial(plainMaterial("teeth", {0.9f, 0.86f, 0.72f}));
    scenefile::Material ember = plainMaterial("ember", {1.0f, 0.5f, 0.2f});
    ember.additiveMap = storedTexture(tex::eyeGlow);
    const int32_t glow = scene.addMaterial(ember);

    scenefile::Mesh skull = namedMesh("cranium");
    addBlob(skull, {}, 32, 24, paintWith(bone, 2.0f, 1.0f), skullSurface);
    const int32_t skullId = scene.addMesh(skull, 0, at(skullCentre));
    scene.animate(skullId, [](float t) {
        const Rotation turn = then(axisAngle({1, 0, 0}, 0.08f * std::sin(t * 0.011f)),
                                   axisAngle({0, 1, 0}, 0.6f * std::sin(t * 0.007f)));
        return Pose{skullCentre, turn};
    });

    scene.addMesh(teethRow("upper teeth", -12.0f, 13.0f, 4.0f, teeth), skullId, at({}));
    for (float side : {-1.0f, 1.0f}) {
        scenefile::Mesh eye = namedMesh(side < 0 ? "eye.L" : "eye.R");
        addSphere(eye, {}, 3.5f, 10, 6, paintWith(glow));
        scene.addMesh(eye, skullId, at({side * 7.5f, 0.5f, 17.5f}));
    }

    scenefile::Mesh jaw = namedMesh("jaw");
    std::vector<Float3> path = jawPath();
    for (Float3& p : path)
        p = p - hinge;
    addSweep(jaw, path, 2.2f, 3.2f, 8, {0.0f, 1.0f, 0.0f}, paintWith(bone, 1.0f, 4.0f));
    const int32_t jawId = scene.addMesh(jaw, skullId, at(hinge));
    scene.addMesh(teethRow("lower teeth", -6.0f - hinge.y, 12.5f, 4.0f - hinge.z, teeth), jawId, at({}));
    scene.animate(jawId, [](float t) {
        // Bursts of chatter: the jaw opens in quick beats, then rests.
        const float burst = std::fmax(0.0f, std::sin(t * 0.02f));
        const float open = 0.25f * burst * (0.5f + 0.5f * std::sin(t * 0.5f));
        return Pose{hinge, axisAngle({1, 0, 0}, open)};
    });
}

void addCamerasAndLights(SceneDraft& scene)
{
    const float length = scene.length();
    const int32_t spotTarget = scene.addTarget("Spot01.Target", skullCentre);
    scenefile::Light spot;
    spot.name = "Spot01";
    spot.position = {60.0f, 150.0f, 90.0f};
    spot.colour = {1.0f, 0.95f, 0.9f};
    spot.targetId = spotTarget;
    spot.spotExponent = 4.0f;
    spot.spotCutoff = 35.0f;
    const int32_t spotId = scene.addLight(spot);
    scene.animate(spotId, [](float t) {
        const float a = 0.98f + 0.5f * std::sin(t * 0.004f);
        return at({108.0f * std::cos(a), 150.0f, 108.0f * std::sin(a)});
    });
    scenefile::Light rim;
    rim.name = "Omni01";
    rim.position = {-60.0f, 90.0f, -90.0f};
    rim.colour = {0.3f, 0.35f, 0.5f};
    rim.range = 400.0f;
    scene.addLight(rim);

    const int32_t skullTarget = scene.addTarget("Camera01.Target", skullCentre);
    auto orbit = [length](float t) {
        const float a = 1.2f + 1.6f * t / length;
        return at({120.0f * std::cos(a), 85.0f, 120.0f * std::sin(a)});
    };
    const int32_t circling = scene.addCamera("Camera01", orbit(0.0f).position, 45.0f, skullTarget);
    scene.animate(circling, orbit);
    const int32_t faceTarget = scene.addTarget("Camera02.Target", {0.0f, 68.0f, 0.0f});
    scene.addCamera("Camera02", {0.0f, 76.0f, 75.0f}, 40.0f, faceTarget);
    const int32_t lowTarget = scene.addTarget("Camera03.Target", {0.0f, 70.0f, 0.0f});
    scene.addCamera("Camera03", {-90.0f, 30.0f, 40.0f}, 50.0f, lowTarget);
}

}  // namespace

SceneDraft buildCraniumScene()
{
    SceneDraft scene(10, 91);
    addRoom(scene);
    addSkull(scene);
    addCamerasAndLights(scene);
    return scene;
}

}  // namespace scenegen
