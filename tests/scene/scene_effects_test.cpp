// Scene effects on the headless context: the clock drives the animation,
// script commands choose cameras, move, spin and fade objects, and each
// show scene sets itself up after loading.
#include <GL/gl.h>
#include <GL/glu.h>

#include <filesystem>
#include <memory>

#include "scene/scene_effects.h"
#include "scene/scene_file_reader.h"
#include "shell/extensions.h"
#include "tests/scene/scene_builders.h"
#include "tests/scene/scene_file_bytes.h"
#include "tests/support/commands.h"
#include "tests/support/temp_dir.h"
#include "tests/support/working_directory.h"

namespace {

Command textCommand(int code, const std::string& text)
{
    Command c;
    c.code = code;
    c.isText = 1;
    c.text = text;
    return c;
}

class SceneEffectsTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        clearFrame();
    }

    std::string write(const SceneFile& file)
    {
        path_ = dir_.write("effect.scn", file.str());
        return path_;
    }
    template <typename EffectClass>
    std::unique_ptr<EffectClass> make(const SceneFile& file)
    {
        write(file);
        return std::make_unique<EffectClass>(path_.c_str());
    }
    static Rgba frame(Effect& effect, int32_t time)
    {
        clearFrame();
        effect.render(time);
        return centrePixel();
    }

    TempDir dir_;
    std::string path_;
};

// A red square at the origin seen by "front" from +z; "aside" looks at a
// target far off to the side. A light at the front camera.
SceneFile twoCameraFile()
{
    SceneFile f;
    f.chunk(4, materialChunk(1, "red", 1, 0, 0))
        .chunk(2, squareChunk(2, 0, "square", 1))
        .chunk(6, pointChunk(3, "away", 500, 0, 0))
        .chunk(5, cameraChunk(4, "front", 0, 0, 5, 45.0f, 2))
        .chunk(5, cameraChunk(5, "aside", 0, 0, 5, 45.0f, 3))
        .chunk(7, lightChunk(6, "Omni01", 0, 0, 5, 0.0f, 0));
    return f;
}

TEST_F(SceneEffectsTest, CamerasAreChosenByCommand)
{
    auto effect = make<TreeScene>(twoCameraFile().end());
    effect->start(0);
    EXPECT_GE(frame(*effect, 0).r, 200);
    effect->command(numericCommand(20, {}));
    EXPECT_EQ(frame(*effect, 10).r, 0);  // "aside" sees nothing
    effect->command(textCommand(21, "front"));
    EXPECT_GE(frame(*effect, 20).r, 200);
    effect->command(textCommand(21, "square"));  // not a camera: unchanged
    EXPECT_EQ(effect->scene()->currentCamera()->name(), "front");
    // The scene leaves the state every effect leaves.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(SceneEffectsTest, TheNextCameraTakesTheFieldOfViewOfTheParameter)
{
    auto effect = make<TreeScene>(twoCameraFile().end());
    effect->start(0);
    effect->command(numericCommand(250, {30}));
    EXPECT_FLOAT_EQ(effect->scene()->currentCamera()->fov(), 30.0f);
    effect->command(numericCommand(20, {}));
    EXPECT_FLOAT_EQ(effect->scene()->currentCamera()->fov(), 45.0f);  // its own until animate
    effect->render(10);
    EXPECT_FLOAT_EQ(effect->scene()->currentCamera()->fov(), 30.0f);
    // A move of the parameter over time (254) with a script time offset.
    effect->command(numericCommand(254, {60, 100, 200}, 1000));
    effect->render(1100);
    EXPECT_FLOAT_EQ(effect->scene()->currentCamera()->fov(), 30.0f);
    effect->render(1200);
    EXPECT_NEAR(effect->scene()->currentCamera()->fov(), 45.0f, 0.5f);
    effect->render(1400);
    EXPECT_FLOAT_EQ(effect->scene()->currentCamera()->fov(), 60.0f);
}

TEST_F(SceneEffectsTest, SpinAndMoveFollowTheProgressFromTheOrigin)
{
    auto effect = make<TreeScene>(twoCameraFile().end());
    effect->start(0);
    effect->command(textCommand(255, "square"));
    effect->command(numericCommand(256, {0, 9000, 0}));
    effect->render(100);  // motion uses the previous frame's progress (0)
    SceneNode* square = effect->scene()->findByName("square");
    EXPECT_FLOAT_EQ(square->rotationDegrees().y, 0.0f);
    EXPECT_GE(centrePixel().r, 200);
    // Progress 1: a quarter turn about y, the square seen edge on.
    EXPECT_EQ(frame(*effect, 150).r, 0);
    EXPECT_FLOAT_EQ(square->rotationDegrees().y, 90.0f);
    // A later spin replaces the rates.
    effect->command(numericCommand(256, {0, 0, 4500}));
    effect->render(200);
    EXPECT_FLOAT_EQ(square->rotationDegrees().y, 0.0f);
    EXPECT_FLOAT_EQ(square->rotationDegrees().z, 1.5f * 45.0f);

    // Move: position = progress x velocity, not added to where it was.
    square->setPosition(7.0f, 7.0f, 7.0f);
    effect->command(numericCommand(257, {100, -200, 0}));
    effect->render(300);  // progress before: 2
    EXPECT_FLOAT_EQ(square->position().x, 2.0f);
    EXPECT_FLOAT_EQ(square->position().y, -4.0f);
    EXPECT_FLOAT_EQ(square->position().z, 0.0f);
    // A restart empties the tables.
    effect->start(1000);
    square->setPosition(0.0f, 0.0f, 0.0f);
    effect->render(1500);
    effect->render(1600);
    EXPECT_FLOAT_EQ(square->position().x, 0.0f);
}

TEST_F(SceneEffectsTest, FadeMovesTheAlphaReferenceOfTheMaterial)
{
    auto effect = make<TreeScene>(twoCameraFile().end());
    effect->start(0);
    effect->command(textCommand(255, "square"));
    effect->command(numericCommand(260, {10}));
    effect->render(0);
    Material* material = effect->scene()->findByName("square")->material();
    EXPECT_FLOAT_EQ(material->alphaRef(), 0.1f);
    effect->command(numericCommand(261, {90, 1000, 400}));
    effect->render(1000);
    EXPECT_FLOAT_EQ(material->alphaRef(), 0.1f);
    effect->render(1200);
    EXPECT_NEAR(material->alphaRef(), 0.5f, 0.01f);
    effect->render(1400);
    EXPECT_FLOAT_EQ(material->alphaRef(), 0.9f);
}

TEST_F(SceneEffectsTest, FogVisibilityAndMaterialCommands)
{
    auto effect = make<TreeScene>(twoCameraFile().end());
    effect->start(0);
    Scene& scene = *effect->scene();
    effect->command(numericCommand(232, {1}));
    effect->command(numericCommand(233, {0, 0, 255}));
    effect->command(numericCommand(236, {3}));
    effect->command(numericCommand(235, {3, 7}));
    EXPECT_EQ(scene.fogMode(), static_cast<GLenum>(GL_LINEAR));
    const Rgba fogged = frame(*effect, 10);
    EXPECT_NEAR(fogged.r, 128, 12);
    EXPECT_NEAR(fogged.b, 128, 12);
    effect->command(numericCommand(236, {2}));
    EXPECT_EQ(scene.fogMode(), static_cast<GLenum>(GL_EXP2));
    effect->command(numericCommand(236, {7}));
    EXPECT_EQ(scene.fogMode(), static_cast<GLenum>(GL_EXP));
    effect->command(numericCommand(234, {250}));
    EXPECT_FLOAT_EQ(scene.fogDensity(), 0.25f);
    effect->command(numericCommand(232, {0}));

    effect->command(textCommand(255, "square"));
    effect->command(numericCommand(259, {0}));
    EXPECT_EQ(frame(*effect, 20).r, 0);
    effect->command(numericCommand(301, {1}));
    EXPECT_GE(frame(*effect, 30).r, 200);
    effect->command(numericCommand(258, {50}));
    EXPECT_TRUE(scene.findByName("square")->material()->transparent());
    EXPECT_NEAR(frame(*effect, 40).r, 122, 8);
    effect->command(numericCommand(230, {2}));  // outline look by id
    EXPECT_EQ(scene.findByName("square")->material()->mode(), 8);
    effect->command(numericCommand(230, {77}));  // no such node: nothing
    effect->command(numericCommand(252, {2}));
    effect->command(numericCommand(253, {900}));
    EXPECT_FLOAT_EQ(scene.findCamera("aside")->nearDistance(), 2.0f);
    EXPECT_FLOAT_EQ(scene.findCamera("aside")->farDistance(), 900.0f);
    effect->command(numericCommand(251, {200}));
    EXPECT_FLOAT_EQ(scene.currentCamera()->aspect(), 2.0f);
}

// A red square left of the origin and a green one right of it, each with its
// own material, seen by "front" from +z with a light beside the camera.
SceneFile twoSquaresFile()
{
    const float left[3] = {-1.5f, 0, 0};
    const float right[3] = {1.5f, 0, 0};
    SceneFile f;
    f.chunk(4, materialChunk(1, "red", 1, 0, 0))
        .chunk(4, materialChunk(7, "green", 0, 1, 0))
        .chunk(2, squareChunk(2, 0, "left", 1, left))
        .chunk(2, squareChunk(3, 0, "right", 7, right))
        .chunk(6, pointChunk(4, "middle", 0, 0, 0))
        .chunk(5, cameraChunk(5, "front", 0, 0, 5, 45.0f, 4))
        .chunk(7, lightChunk(6, "Omni01", 0, 0, 5, 0.0f, 0));
    return f;
}

// Lit pixels of one row 30 pixels above the middle: red ones left of the
// middle, green ones right of it. A filled square covers about 230 of them,
// its outline (two sides and the diagonal) only a few.
struct RowCounts {
    int red = 0;
    int green = 0;
};
RowCounts litPixelsOfARow()
{
    const std::vector<uint8_t> rgb = readFrameRgb();
    RowCounts counts;
    const int y = 240 + 30;
    for (int x = 0; x < 640; ++x) {
        const uint8_t* pixel = &rgb[(static_cast<size_t>(y) * 640 + x) * 3];
        counts.red += x < 320 && pixel[0] > 100 ? 1 : 0;
        counts.green += x >= 320 && pixel[1] > 100 ? 1 : 0;
    }
    return counts;
}

TEST_F(SceneEffectsTest, WireframeCommandsDrawOutlinesOfOneObjectOrOfAll)
{
    auto effect = make<TreeScene>(twoSquaresFile().end());
    effect->start(0);
    frame(*effect, 0);
    RowCounts counts = litPixelsOfARow();
    EXPECT_GT(counts.red, 200);
    EXPECT_GT(counts.green, 200);

    // 262: the current object's material only.
    effect->command(textCommand(255, "right"));
    effect->command(numericCommand(262, {1}));
    frame(*effect, 10);
    counts = litPixelsOfARow();
    EXPECT_GT(counts.red, 200);
    EXPECT_GE(counts.green, 1);
    EXPECT_LE(counts.green, 12);
    GLint polygonMode[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_FILL) << "the material puts the fill back after drawing";
    effect->command(numericCommand(262, {0}));
    frame(*effect, 20);
    EXPECT_GT(litPixelsOfARow().green, 200);

    // 300: every object, then every object filled again.
    effect->command(numericCommand(300, {1}));
    frame(*effect, 30);
    counts = litPixelsOfARow();
    EXPECT_GE(counts.red, 1);
    EXPECT_LE(counts.red, 12);
    EXPECT_GE(counts.green, 1);
    EXPECT_LE(counts.green, 12);
    effect->command(numericCommand(300, {0}));
    frame(*effect, 40);
    counts = litPixelsOfARow();
    EXPECT_GT(counts.red, 200);
    EXPECT_GT(counts.green, 200);
}

float depthAt(int x, int y)
{
    float depth = 0.0f;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth;
}

TEST_F(SceneEffectsTest, DepthOnlyCommandFillsTheDepthOfTheVisibleObjects)
{
    auto effect = make<TreeScene>(twoSquaresFile().end());
    effect->start(0);
    // The left square's middle lies 1.5 units left of the origin: 174
    // pixels at a distance of 5 under a 45-degree field of view.
    const int leftX = 320 - 174;
    clearFrame();
    ASSERT_FLOAT_EQ(depthAt(leftX, 240), 1.0f);
    effect->command(numericCommand(302, {0}));
    // Depth of a point 5 units in front of the camera, near 1 and far 2000.
    EXPECT_NEAR(depthAt(leftX, 240), 0.5f + 0.5f * (2001.0f / 1999.0f - 4000.0f / (1999.0f * 5.0f)), 0.001f);
    EXPECT_FLOAT_EQ(depthAt(320, 240), 1.0f);  // between the squares
    // Through the current camera, whatever the modelview was before.
    clearFrame();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(100.0f, 0.0f, 0.0f);
    effect->command(numericCommand(302, {0}));
    EXPECT_LT(depthAt(leftX, 240), 0.81f);

    // A hidden object gives no depth (259 also hides the objects after the
    // current one: "right" is the last that draws).
    effect->command(textCommand(255, "right"));
    effect->command(numericCommand(259, {0}));
    clearFrame();
    effect->command(numericCommand(302, {0}));
    EXPECT_FLOAT_EQ(depthAt(640 - leftX, 240), 1.0f);
    EXPECT_LT(depthAt(leftX, 240), 0.81f);
}

TEST_F(SceneEffectsTest, LightCommandsReachTheCurrentLight)
{
    auto effect = make<TreeScene>(twoCameraFile().end());
    effect->start(0);
    effect->command(textCommand(280, "Omni01"));
    effect->command(numericCommand(284, {500, 250, 125}));
    Light* light = effect->scene()->currentLight();
    EXPECT_FLOAT_EQ(light->constantAttenuation(), 0.5f);
    EXPECT_FLOAT_EQ(light->linearAttenuation(), 0.25f);
    EXPECT_FLOAT_EQ(light->quadraticAttenuation(), 0.125f);
    effect->command(numericCommand(285, {40}));
    effect->command(numericCommand(286, {3}));
    EXPECT_FLOAT_EQ(light->spotCutoff(), 40.0f);
    EXPECT_FLOAT_EQ(light->spotExponent(), 3.0f);
    effect->command(numericCommand(287, {1}));
    EXPECT_TRUE(light->flicker());
    effect->command(numericCommand(287, {0}));
    effect->command(numericCommand(281, {1}));
    effect->command(numericCommand(282, {0}));
    effect->command(numericCommand(283, {0}));
    EXPECT_GE(frame(*effect, 10).r, 200);
    // Base codes still arrive: 10 sets the duration.
    effect->command(numericCommand(10, {50}));
    EXPECT_EQ(effect->duration(), 50);
}

TEST_F(SceneEffectsTest, TheClockPlaysTheSampledAnimation)
{
    SceneFile f = twoCameraFile();
    f.chunk(8, sampleController(2, 3, 10, 1.0f)).end();  // x = 0, 1, 2 at 0, 10, 20
    auto effect = make<TreeScene>(f);
    effect->start(1000);
    effect->render(1500);  // progress 5: halfway between samples 0 and 1
    EXPECT_FLOAT_EQ(effect->scene()->findByName("square")->position().x, 0.5f);
    effect->render(4000);
    EXPECT_FLOAT_EQ(effect->scene()->findByName("square")->position().x, 2.0f);
}

TEST_F(SceneEffectsTest, GangSceneFogsRunsFasterAndSwitchesItsLightBoxes)
{
    SceneFile f;
    f.chunk(4, materialChunk(1, "white", 1, 1, 1))
        .chunk(4, materialChunk(2, "box", 1, 1, 0))
        .chunk(3, dummyChunk(1, 0, "group"))
        .chunk(2, squareChunk(2, 1, "lightbox", 2))
        .chunk(2, squareChunk(3, 2, "inside", 1))
        .chunk(2, squareChunk(4, 0, "lightbox", 2))
        .chunk(5, cameraChunk(5, "Camera01", 0, 0, 5, 45.0f, 0))
        .end();
    auto effect = make<GangScene>(f);
    Scene& scene = *effect->scene();
    EXPECT_TRUE(scene.fog());
    EXPECT_EQ(scene.fogMode(), static_cast<GLenum>(GL_LINEAR));
    EXPECT_FLOAT_EQ(scene.fogStart(), 250.0f);
    EXPECT_FLOAT_EQ(scene.fogEnd(), 500.0f);
    EXPECT_FLOAT_EQ(scene.fogColour().r, 0.25f);
    EXPECT_EQ(effect->duration(), 20);
    ASSERT_EQ(effect->lightBoxes().size(), 2u);
    EXPECT_EQ(effect->lightBoxes()[0]->id(), 2);  // pre-order: the nested one first
    EXPECT_TRUE(effect->lightBoxes()[0]->material()->unlit());
    effect->start(0);
    effect->command(numericCommand(90, {0}));
    EXPECT_FALSE(scene.findById(2)->visible());
    EXPECT_FALSE(scene.findById(4)->visible());
    EXPECT_TRUE(scene.findById(3)->visible());  // children still drawn
    // The scene has no light: the lit inside square shows black, and only
    // the unlit boxes show (in the plain white of unlit faces).
    EXPECT_EQ(frame(*effect, 10).r, 0);
    effect->command(numericCommand(90, {1}));
    const Rgba boxes = frame(*effect, 20);
    EXPECT_GE(boxes.r, 250);
    EXPECT_GE(boxes.b, 250);
}

TEST_F(SceneEffectsTest, GallerySceneBakesTheNamedNodesThatExist)
{
    // Scene effects take their textures from "data/textures/" below the
    // working directory.
    dir_.write("data/textures/gallery_lightmap.tga", solidTga(64, 64, 0, 200, 0));
    auto inDir = std::make_unique<ScopedWorkingDirectory>(dir_.path());
    const std::vector<std::string> lightMap = {"", "", "", "", "", "gallery_lightmap.tga"};
    const float below[3] = {0.0f, -3.0f, 0.0f};
    const float aside[3] = {3.0f, 0.0f, 0.0f};
    SceneFile f;
    f.chunk(4, materialChunk(1, "wall", 1, 1, 1, 1.0f, lightMap))
        .chunk(4, materialChunk(2, "floor", 1, 1, 1, 1.0f, lightMap))
        .chunk(4, materialChunk(3, "other", 1, 1, 1, 1.0f, lightMap))
        .chunk(2, squareChunk(1, 0, "vegg01", 1))
        .chunk(2, squareChunk(2, 0, "gulv", 2, below))
        .chunk(2, squareChunk(3, 0, "statue", 3, aside))
        .chunk(3, dummyChunk(4, 0, "lamper"))
        .chunk(5, cameraChunk(5, "Camera01", 0, 0, 5, 45.0f, 0))
        .end();
    auto effect = make<GalleryScene>(f);  // no "stoetter" and others: fine
    inDir.reset();
    Scene& scene = *effect->scene();
    EXPECT_TRUE(scene.findByName("vegg01")->material()->baked());
    EXPECT_TRUE(scene.findByName("gulv")->material()->baked());
    EXPECT_FALSE(scene.findByName("statue")->material()->baked());
    effect->start(0);
    effect->render(10);
    // Baked: no lighting, the light map as it is (the scene has no light).
    const Rgba centre = centrePixel();
    EXPECT_EQ(centre.r, 0);
    EXPECT_NEAR(centre.g, 200, 2);
    // Not baked, the same material draws lit, and black without lights.
    scene.findByName("vegg01")->material()->setBaked(false);
    scene.findByName("gulv")->material()->setBaked(false);
    EXPECT_EQ(frame(*effect, 20).g, 0);
}

// A floor facing up, a blocker above it, "Spot01" shining down on the floor.
SceneFile shadowFile()
{
    SceneFile f;
    const float floorAt[3] = {0, 0, 0};
    const float blockerAt[3] = {0, 0, 0};
    f.chunk(4, materialChunk(1, "grey", 1, 1, 1));
    Bytes floor = meshChunk(1, 0, "floor", {-4, 0, 4, 4, 0, 4, 4, 0, -4, -4, 0, -4}, {},
                            {{{0, 1, 2}, {0, 0, 0}, 1, 1}, {{0, 2, 3}, {0, 0, 0}, 1, 1}}, floorAt);
    // The depth pass draws back faces only, so the blocker is a closed box
    // (y 1.8 to 2.2, x and z -1 to 1), its faces wound outwards.
    std::vector<float> corners;
    for (int i = 0; i < 8; ++i)
        corners.insert(corners.end(), {(i & 1) ? 1.0f : -1.0f, (i & 2) ? 2.2f : 1.8f, (i & 4) ? 1.0f : -1.0f});
    const int quads[6][4] = {{0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}, {0, 2, 3, 1}, {4, 5, 7, 6}};
    std::vector<MeshFace> sides;
    for (const auto& q : quads) {
        sides.push_back({{q[0], q[1], q[2]}, {0, 0, 0}, 1, 1});
        sides.push_back({{q[0], q[2], q[3]}, {0, 0, 0}, 1, 1});
    }
    Bytes blocker = meshChunk(2, 0, "blocker", corners, {}, sides, blockerAt);
    f.chunk(2, floor)
        .chunk(2, blocker)
        .chunk(6, pointChunk(3, "Spot01.Target", 0, 0, 0))
        .chunk(7, lightChunk(4, "Spot01", 0.01f, 6, 0, 0.0f, 3, 60.0f))
        .chunk(6, pointChunk(5, "Camera01.Target", 0, 0, 0))
        .chunk(5, cameraChunk(6, "Camera01", 0, 10, 6, 60.0f, 5))
        .end();
    return f;
}

TEST_F(SceneEffectsTest, CraniumSceneCastsShadowsFromSpot01)
{
    auto effect = make<CraniumScene>(shadowFile());
    Scene& scene = *effect->scene();
    ASSERT_NE(scene.shadowCaster(), nullptr);
    EXPECT_EQ(scene.shadowCaster()->name(), "Spot01");
    if (Extensions::textureUnits() < 4) {
        EXPECT_FALSE(scene.shadowsEnabled());
        GTEST_SKIP() << "fewer than 4 texture units: no shadows";
    }
    EXPECT_TRUE(scene.shadowsEnabled());
    EXPECT_TRUE(dynamic_cast<Mesh*>(scene.findByName("floor"))->shadowReceiver());
    effect->start(0);
    effect->render(10);
    // The spot reaches (3, 0, -0.5) past the blocker; (0, 0, 1) lies in the
    // blocker's shadow and is still seen by the camera. The shadowed point
    // has no light at all, in either pass.
    Matrix4 projection, view;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.333, 1.0, 2000.0);
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 10, 6, 0, 0, 0, 0, 1, 0);
    glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
    const auto pixelOf = [&](const Vec3& p) {
        const Vec3 eye = view.transformPoint(p);
        const float clipX = projection.get(0, 0) * eye.x;
        const float clipY = projection.get(1, 1) * eye.y;
        const float w = -eye.z;
        return readPixel(static_cast<int>((clipX / w * 0.5f + 0.5f) * 640.0f),
                         static_cast<int>((clipY / w * 0.5f + 0.5f) * 480.0f));
    };
    const Rgba lit = pixelOf(Vec3(3.0f, 0.0f, -0.5f));
    const Rgba shadowed = pixelOf(Vec3(0.0f, 0.0f, 1.0f));
    EXPECT_GE(lit.r, 40);
    EXPECT_LE(shadowed.r, 5);
    // Without shadows the same point is lit.
    scene.enableShadows(false);
    effect->render(20);
    EXPECT_GE(pixelOf(Vec3(0.0f, 0.0f, 1.0f)).r, 80);
}

TEST_F(SceneEffectsTest, AMissingSceneFileIsFatal)
{
    path_ = dir_.path().string() + "/none.scn";
    EXPECT_EXIT(TreeScene(path_.c_str()), ::testing::ExitedWithCode(1), "could not open file");
}

}  // namespace
