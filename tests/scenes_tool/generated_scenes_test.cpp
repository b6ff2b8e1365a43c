// The five generated scenes: the same bytes on every run, well formed and
// linked as a reader needs them (parents, targets and owners before use,
// materials present, textures that exist), with the nodes the scene effects
// look for, and a welding robot whose torch really meets the work.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "tests/scenes_tool/scene_walk.h"
#include "tools/scenes/scenes.h"
#include "tools/scenes/textures.h"

namespace {

std::vector<uint8_t> encoded(const scenegen::ShowScene& scene)
{
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(scene.build().encode(bytes, error)) << scene.file << ": " << error;
    return bytes;
}

scenewalk::Scene walked(const std::string& file)
{
    for (const scenegen::ShowScene& s : scenegen::showScenes())
        if (s.file == file)
            return scenewalk::walk(encoded(s));
    ADD_FAILURE() << "no scene " << file;
    return {};
}

TEST(GeneratedScenes, TheShowsFiveFiles)
{
    std::vector<std::string> files;
    for (const scenegen::ShowScene& s : scenegen::showScenes())
        files.push_back(s.file);
    EXPECT_EQ(files, (std::vector<std::string>{"gang.scn", "welderscene4.scn", "tree.scn", "cranium.scn", "gallery.scn"}));
}

TEST(GeneratedScenes, SameBytesOnEveryRun)
{
    for (const scenegen::ShowScene& s : scenegen::showScenes()) {
        const std::vector<uint8_t> first = encoded(s);
        EXPECT_FALSE(first.empty());
        EXPECT_EQ(first, encoded(s)) << s.file;
    }
    const std::vector<scenegen::Picture> a = scenegen::paintSceneTextures();
    const std::vector<scenegen::Picture> b = scenegen::paintSceneTextures();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(a[i].rgb, b[i].rgb) << a[i].file;
}

std::string fileOf(const std::string& stored)
{
    const size_t slash = stored.rfind('\\');
    return slash == std::string::npos ? stored : stored.substr(slash + 1);
}

TEST(GeneratedScenes, WellFormedAndLinkedInFileOrder)
{
    std::set<std::string> painted;
    for (const scenegen::Picture& p : scenegen::paintSceneTextures()) {
        EXPECT_EQ(p.file.rfind("scn_", 0), 0u) << p.file;
        EXPECT_EQ(p.rgb.size(), static_cast<size_t>(p.width * p.height * 3));
        // Powers of two, so the texture manager need not rescale them.
        EXPECT_EQ(p.width & (p.width - 1), 0);
        painted.insert(p.file);
    }
    for (const scenegen::ShowScene& s : scenegen::showScenes()) {
        SCOPED_TRACE(s.file);
        const std::vector<uint8_t> bytes = encoded(s);
        EXPECT_LT(bytes.size(), 300u * 1024u);
        const scenewalk::Scene scene = scenewalk::walk(bytes);
        EXPECT_TRUE(scene.problems.empty()) << scene.problems.front();
        EXPECT_TRUE(scene.ended);
        EXPECT_GE(scene.count(5), 2u);  // cameras
        EXPECT_GE(scene.count(7), 1u);  // lights

        std::set<int32_t> materialIds;
        for (const scenewalk::Material& m : scene.materials) {
            materialIds.insert(m.id);
            for (const std::string& map : m.maps) {
                if (!map.empty()) {
                    EXPECT_TRUE(painted.count(fileOf(map))) << m.name << " names " << map;
                }
            }
        }
        std::set<int32_t> seen;
        for (const scenewalk::Node& n : scene.nodes) {
            EXPECT_GT(n.id, 0) << n.name;  // id 0 would stand for the first object
            EXPECT_TRUE(seen.insert(n.id).second) << "id used twice: " << n.id;
            if ((n.type == 2 || n.type == 3) && n.parent != 0) {
                EXPECT_TRUE(seen.count(n.parent)) << n.name << ": parent must come first";
            }
            if (n.type == 2) {
                ASSERT_FALSE(n.faceMaterials.empty()) << n.name;
                // The player draws a whole mesh with its first face's material.
                for (int32_t m : n.faceMaterials)
                    EXPECT_EQ(m, n.faceMaterials.front()) << n.name;
                EXPECT_TRUE(materialIds.count(n.faceMaterials.front())) << n.name;
            }
        }
        for (const scenewalk::Node& n : scene.nodes) {
            if (n.type == 5 || (n.type == 7 && n.target != 0)) {
                const scenewalk::Node* target = scene.byId(n.target);
                ASSERT_NE(target, nullptr) << n.name;
                EXPECT_EQ(target->type, 6) << n.name;
            }
        }
        // One scene clock: every sampled track has the same count and interval.
        ASSERT_FALSE(scene.tracks.empty());
        const scenewalk::Track* first = nullptr;
        for (const scenewalk::Track& t : scene.tracks) {
            EXPECT_TRUE(seen.count(t.owner)) << "controller owner " << t.owner;
            if (t.kind != 1)
                continue;
            EXPECT_EQ(t.type, 5);
            if (first == nullptr)
                first = &t;
            EXPECT_EQ(t.samples.size(), first->samples.size());
            EXPECT_EQ(t.interval, first->interval);
        }
        ASSERT_NE(first, nullptr);
        EXPECT_GE(first->interval * static_cast<int32_t>(first->samples.size() - 1), 600);
    }
}

TEST(GeneratedScenes, NodesTheSceneEffectsLookFor)
{
    const scenewalk::Scene gang = walked("gang.scn");
    std::vector<int32_t> boxes;
    for (const scenewalk::Node& n : gang.nodes)
        if (n.name == "lightbox")
            boxes.push_back(n.id);
    EXPECT_GE(boxes.size(), 10u);
    for (int32_t box : boxes) {
        bool hasChild = false;
        for (const scenewalk::Node& n : gang.nodes)
            hasChild = hasChild || n.parent == box;
        EXPECT_TRUE(hasChild);  // hiding a light box leaves its bracket
    }

    const scenewalk::Scene welder = walked("welderscene4.scn");
    ASSERT_NE(welder.byName("weld - tip"), nullptr);
    ASSERT_NE(welder.byName("Spray01"), nullptr);
    EXPECT_EQ(welder.byName("Spray01")->type, 9);
    const scenewalk::Scene cranium = walked("cranium.scn");
    for (const scenewalk::Scene* scene : {&welder, &cranium}) {
        const scenewalk::Node* spot = scene->byName("Spot01");
        ASSERT_NE(spot, nullptr);
        EXPECT_EQ(spot->type, 7);
        EXPECT_NE(spot->target, 0);  // the shadow pass needs a direction
    }

    const scenewalk::Scene gallery = walked("gallery.scn");
    for (const char* name : {"vegg01", "overhode03", "stativ01", "stativ02", "stoetter", "vegg05", "stativcables",
                             "cables", "spine", "gulv", "lamper", "soyle03"}) {
        const scenewalk::Node* n = gallery.byName(name);
        ASSERT_NE(n, nullptr) << name;
        ASSERT_EQ(n->type, 2) << name;
        EXPECT_GT(n->tex2Count, 0u) << name;  // light-map coordinates
        const scenewalk::Material& m = gallery.materials.at(static_cast<size_t>(n->faceMaterials.front()));
        EXPECT_FALSE(m.maps[0].empty()) << name;
        EXPECT_FALSE(m.maps[5].empty()) << name;
    }
    bool mirror = false;
    bool glass = false;
    for (const scenewalk::Material& m : gallery.materials) {
        mirror = mirror || m.dynamicReflection;
        glass = glass || m.opacity < 1.0f;
    }
    EXPECT_TRUE(mirror);
    EXPECT_TRUE(glass);
}

// Column-order 4 x 4 matrices, with rotations as the scene files mean them.
using Mat = std::array<float, 16>;

Mat multiply(const Mat& a, const Mat& b)
{
    Mat m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
    return m;
}

// Translation, then the stored quaternion's matrix, then scale.
Mat nodeMatrix(const std::array<float, 3>& p, const std::array<float, 4>& q, const std::array<float, 3>& scale)
{
    const float x = q[0], y = q[1], z = q[2], w = q[3];
    const float n = x * x + y * y + z * z + w * w;
    const float s = n != 0.0f ? 2.0f / n : 1.0f;
    Mat m = {1 - s * (y * y + z * z), s * (x * y - w * z),     s * (x * z + w * y),     0,
             s * (x * y + w * z),     1 - s * (x * x + z * z), s * (y * z - w * x),     0,
             s * (x * z - w * y),     s * (y * z + w * x),     1 - s * (x * x + y * y), 0,
             p[0],                    p[1],                    p[2],                    1};
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            m[c * 4 + r] *= scale[static_cast<size_t>(c)];
    return m;
}

// World matrix of a node at sample k (nodes without samples keep their file pose).
Mat worldAt(const scenewalk::Scene& scene, const scenewalk::Node& node, size_t k)
{
    std::array<float, 3> p = node.position;
    std::array<float, 4> q = node.rotation;
    if (const scenewalk::Track* t = scene.trackOf(node.id)) {
        const auto& s = t->samples.at(k);
        p = {s[0], s[1], s[2]};
        q = {s[3], s[4], s[5], s[6]};
    }
    const Mat local = nodeMatrix(p, q, node.scale);
    if (node.parent == 0)
        return local;
    return multiply(worldAt(scene, *scene.byId(node.parent), k), local);
}

TEST(WelderScene, TorchMeetsTheSeamInsideEveryWindowAndLiftsBetween)
{
    const scenewalk::Scene scene = walked("welderscene4.scn");
    const scenewalk::Node* tip = scene.byName("weld - tip");
    ASSERT_NE(tip, nullptr);
    const scenewalk::Node* wrist = scene.byId(tip->parent);
    ASSERT_NE(wrist, nullptr);
    const scenewalk::Track* track = scene.trackOf(wrist->id);
    ASSERT_NE(track, nullptr);
    const float interval = static_cast<float>(track->interval);
    for (const scenegen::Window& w : scenegen::weldingWindows()) {
        const auto k = static_cast<size_t>(std::lround((w.from + w.to) * 0.5f / interval));
        ASSERT_LT(k, track->samples.size());
        const Mat m = worldAt(scene, *tip, k);
        EXPECT_NEAR(m[13], -28.0f, 1.0f) << "window at " << w.from;  // on the seam (y)
        EXPECT_NEAR(m[14], -173.2f, 1.0f) << "window at " << w.from;
        EXPECT_GT(m[12], -21.0f);
        EXPECT_LT(m[12], 10.0f);
        // The torch (the wrist's +x) points straight down.
        const Mat wm = worldAt(scene, *wrist, k);
        EXPECT_NEAR(wm[1], -1.0f, 0.02f);
    }
    // Long pauses: back at rest, well above the bench.
    for (float t : {900.0f, 3500.0f}) {
        const Mat m = worldAt(scene, *tip, static_cast<size_t>(t / interval));
        EXPECT_GT(m[13], -10.0f) << t;
    }
    // The clock covers the last welding window.
    EXPECT_GT(interval * static_cast<float>(track->samples.size() - 1), scenegen::weldingWindows().back().to);
}

}  // namespace
