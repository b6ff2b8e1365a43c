// The node forest, lookups, visibility, cameras, lights and fog, drawn on the
// headless context.
#include <GL/gl.h>

#include "tests/scene/scene_builders.h"

namespace {

class SceneGraphTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        clearFrame();
    }
};

// Three top-level dummies, each with one child.
void addThreeWithChildren(Scene& scene)
{
    for (int i = 1; i <= 3; ++i) {
        auto* parent = new Dummy(i, "top" + std::to_string(i));
        parent->addChild(new Dummy(10 + i, "child" + std::to_string(i)));
        scene.addObject(parent);
    }
}

TEST_F(SceneGraphTest, HidingTheSecondOfThreeReachesTheFollowingSiblingsOnly)
{
    Scene scene;
    addThreeWithChildren(scene);
    SceneNode* second = scene.findByName("top2");
    ASSERT_NE(second, nullptr);
    second->setVisible(false, true);
    EXPECT_TRUE(scene.findByName("top1")->visible());
    EXPECT_TRUE(scene.findByName("child1")->visible());
    for (const char* hidden : {"top2", "child2", "top3", "child3"})
        EXPECT_FALSE(scene.findByName(hidden)->visible()) << hidden;
    // Not recursive: only the node itself.
    scene.setAllVisible(true);
    second->setVisible(false, false);
    EXPECT_FALSE(second->visible());
    EXPECT_TRUE(scene.findByName("child2")->visible());
    EXPECT_TRUE(scene.findByName("top3")->visible());
}

TEST_F(SceneGraphTest, LookupsSearchDepthFirstAndThenTheOtherLists)
{
    Scene scene;
    addThreeWithChildren(scene);
    scene.findByName("child1")->addChild(new Dummy(40, "shared"));
    scene.findByName("top3")->addChild(new Dummy(41, "shared"));
    addWhiteLight(scene, 50, Vec3());
    addCameraLookingAtOrigin(scene, 5.0f, 0);
    EXPECT_EQ(scene.findByName("shared")->id(), 40);  // the first child's subtree comes first
    EXPECT_EQ(scene.findById(12)->name(), "child2");
    EXPECT_EQ(scene.findById(0)->name(), "top1");
    EXPECT_EQ(scene.findById(50)->name(), "Omni01");
    EXPECT_EQ(scene.findById(500)->name(), "Camera01");
    EXPECT_EQ(scene.findById(77), nullptr);
    EXPECT_EQ(scene.findByName("nothing"), nullptr);
    // Selections: empty names mean the first, unknown objects mean none.
    scene.selectObject("child3");
    EXPECT_EQ(scene.currentObject()->name(), "child3");
    scene.selectObject("");
    EXPECT_EQ(scene.currentObject()->name(), "top1");
    scene.selectLight("Omni01");
    EXPECT_EQ(scene.currentLight()->id(), 50);
    EXPECT_EQ(scene.findLight("top1"), nullptr);
}

TEST_F(SceneGraphTest, CamerasAreChosenByNameAndInTurn)
{
    Scene scene;
    addThreeWithChildren(scene);
    addCameraLookingAtOrigin(scene, 5.0f, 0, "one");
    scene.nextCamera();
    EXPECT_EQ(scene.currentCamera()->name(), "one");  // alone it stays current
    addCameraLookingAtOrigin(scene, 5.0f, 0, "two");
    addCameraLookingAtOrigin(scene, 5.0f, 0, "three");
    scene.bindObjects();
    EXPECT_EQ(scene.currentCamera()->name(), "one");
    scene.nextCamera();
    EXPECT_EQ(scene.currentCamera()->name(), "two");
    scene.nextCamera();
    scene.nextCamera();
    EXPECT_EQ(scene.currentCamera()->name(), "one");  // wraps
    scene.selectCamera("three");
    EXPECT_EQ(scene.currentCamera()->name(), "three");
    scene.selectCamera("top1");  // not a camera: unchanged
    EXPECT_EQ(scene.currentCamera()->name(), "three");
    scene.selectCamera("");
    EXPECT_EQ(scene.currentCamera()->name(), "one");
    // Target id 0 is the first top-level object.
    EXPECT_EQ(scene.currentCamera()->target(), scene.firstObject());
    scene.setNearAll(3.0f);
    scene.setFarAll(300.0f);
    EXPECT_FLOAT_EQ(scene.findCamera("two")->nearDistance(), 3.0f);
    EXPECT_FLOAT_EQ(scene.findCamera("three")->farDistance(), 300.0f);
}

// A red square at the origin, a white light at the camera.
std::unique_ptr<Scene> litSquareScene(float cameraDistance = 5.0f)
{
    auto scene = std::make_unique<Scene>();
    scene->addMaterial(makeColourMaterial(1, 1.0f, 0.0f, 0.0f));
    scene->addObject(makeSquare(1, "square", 1));
    addWhiteLight(*scene, 2, Vec3(0.0f, 0.0f, cameraDistance));
    addCameraLookingAtOrigin(*scene, cameraDistance, 0);
    scene->prepareObjects();
    scene->bindObjects();
    return scene;
}

TEST_F(SceneGraphTest, ASquareIsDrawnInItsMaterialColourWhereTheCameraLooks)
{
    auto scene = litSquareScene();
    scene->render();
    const Rgba centre = centrePixel();
    EXPECT_GE(centre.r, 240);  // lit per corner: N.L = 5 / sqrt(27) there
    EXPECT_LE(centre.g, 5);
    EXPECT_LE(centre.b, 5);
    // The square of side 2 at distance 5 with a 45 degree view covers about
    // 0.48 of the height: well inside at 100 pixels from the centre, nothing
    // at the corner.
    EXPECT_GE(readPixelFromTop(320, 160).r, 200);
    EXPECT_EQ(readPixelFromTop(10, 10).r, 0);
    // Hidden, nothing is drawn.
    clearFrame();
    scene->setAllVisible(false);
    scene->render();
    EXPECT_EQ(centrePixel().r, 0);
}

TEST_F(SceneGraphTest, ChildrenInheritTheWholeTransformOfTheirParent)
{
    auto scene = std::make_unique<Scene>();
    scene->addMaterial(makeColourMaterial(1, 0.0f, 1.0f, 0.0f));
    auto* holder = new Dummy(1, "holder");
    holder->setPosition(1.5f, 0.0f, 0.0f);
    holder->setScale(0.5f, 0.5f, 0.5f);
    holder->addChild(makeSquare(2, "square", 1));
    scene->addObject(new TargetNode(3, "aim"));
    scene->addObject(holder);
    addWhiteLight(*scene, 4, Vec3(0.0f, 0.0f, 10.0f));
    addCameraLookingAtOrigin(*scene, 5.0f, 3);
    scene->prepareObjects();
    scene->bindObjects();
    scene->render();
    // Camera centre sees nothing; the shrunken square sits to the right.
    EXPECT_EQ(centrePixel().g, 0);
    // x = 1.5 at distance 5: 1.5 / (5 tan 22.5) * 240 = 173 pixels right.
    EXPECT_GE(readPixelFromTop(320 + 173, 240).g, 200);
    // Half size: its edge at 1.5 + 0.5 = 2.0 (231 px); beyond that nothing.
    EXPECT_EQ(readPixelFromTop(320 + 250, 240).g, 0);
    EXPECT_EQ(readPixelFromTop(320 + 100, 240).g, 0);
}

TEST_F(SceneGraphTest, ACameraWithoutTargetViewsThroughTheIdentity)
{
    auto scene = litSquareScene();
    scene->addCamera(new Camera(600, "free"));  // at (0, 0, 5), no target id set
    scene->selectCamera("free");
    // Unbound cameras have no target: the view matrix stays identity, so
    // the square at the origin lies behind the near plane (z = 0 > -1).
    scene->render();
    EXPECT_EQ(centrePixel().r, 0);
    scene->firstObject()->setPosition(0.0f, 0.0f, -5.0f);
    clearFrame();
    scene->render();
    EXPECT_GE(centrePixel().r, 200);
}

TEST_F(SceneGraphTest, LightsAreNumberedInLoadOrderAndSetUpEachFrame)
{
    Scene scene;
    scene.addObject(new Dummy(1, "d"));
    addCameraLookingAtOrigin(scene, 5.0f, 0);
    Light* a = addWhiteLight(scene, 10, Vec3(1, 2, 3), "a");
    Light* b = addWhiteLight(scene, 11, Vec3(), "b");
    Light* c = addWhiteLight(scene, 12, Vec3(), "c");
    EXPECT_EQ(a->glLight(), static_cast<GLenum>(GL_LIGHT0));
    EXPECT_EQ(c->glLight(), static_cast<GLenum>(GL_LIGHT2));
    c->setSpotCutoff(30.0f);
    b->setProjectedTexture(nullptr);  // a projector is not a GL light
    EXPECT_FALSE(b->enabled());
    scene.bindObjects();
    scene.render();
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    GLfloat value[4];
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, value);
    EXPECT_FLOAT_EQ(value[0], 180.0f);  // a point light
    glGetLightfv(GL_LIGHT2, GL_SPOT_CUTOFF, value);
    EXPECT_FLOAT_EQ(value[0], 30.0f);
    glGetLightfv(GL_LIGHT2, GL_SPOT_DIRECTION, value);
    // No target: along -z of the camera frame (GL keeps it in eye space).
    Matrix4 view;
    glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
    const Vec3 expected(-view.get(2, 0), -view.get(2, 1), -view.get(2, 2));
    EXPECT_NEAR(value[0], expected.x, 1e-5);
    EXPECT_NEAR(value[1], expected.y, 1e-5);
    EXPECT_NEAR(value[2], expected.z, 1e-5);
}

TEST_F(SceneGraphTest, FlickerOffRestoresTheSavedDiffuse)
{
    Scene scene;
    auto* light = new Light(1, "file light");
    light->setColour(Color4{0.5f, 0.25f, 0.0f, 1.0f});  // as the reader does
    scene.addLight(light);
    light->setFlicker(true);
    light->setupFrame();
    light->setFlicker(false);
    EXPECT_FLOAT_EQ(light->diffuse().r, 1.0f);
    EXPECT_FLOAT_EQ(light->diffuse().g, 1.0f);
    GLfloat sent[4];
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, sent);
    EXPECT_FLOAT_EQ(sent[0], 1.0f);
    EXPECT_FLOAT_EQ(sent[3], 1.0f);
    // setColour scales only the ambient.
    EXPECT_FLOAT_EQ(light->ambient().r, 0.15f);
    EXPECT_FLOAT_EQ(light->specular().g, 0.25f);
    // setDiffuse keeps the previous diffuse.
    light->setDiffuse(Color4{0.1f, 0.1f, 0.1f, 1.0f});
    light->setDiffuse(Color4{0.2f, 0.2f, 0.2f, 1.0f});
    EXPECT_FLOAT_EQ(light->savedDiffuse().r, 0.1f);
}

TEST_F(SceneGraphTest, LinearFogUsesStartAndEndTheOthersDensity)
{
    auto scene = litSquareScene();
    scene->setFog(true);
    scene->setFogMode(GL_LINEAR);
    scene->setFogRange(3.0f, 7.0f);
    scene->setFogDensity(0.25f);
    scene->setFogColour(0.0f, 0.0f, 1.0f, 1.0f);
    glFogf(GL_FOG_DENSITY, 1.0f);
    scene->render();
    EXPECT_FALSE(glIsEnabled(GL_FOG));  // off again after the frame
    GLfloat value = 0.0f;
    glGetFloatv(GL_FOG_START, &value);
    EXPECT_FLOAT_EQ(value, 3.0f);
    glGetFloatv(GL_FOG_DENSITY, &value);
    EXPECT_FLOAT_EQ(value, 1.0f);  // not sent in linear mode
    // Distance 5 between 3 and 7: half fog, half red.
    const Rgba centre = centrePixel();
    EXPECT_NEAR(centre.r, 128, 12);
    EXPECT_NEAR(centre.b, 128, 12);

    for (GLenum mode : {GL_EXP, GL_EXP2}) {
        scene->setFogMode(mode);
        scene->setFogRange(11.0f, 12.0f);
        clearFrame();
        scene->render();
        glGetFloatv(GL_FOG_DENSITY, &value);
        EXPECT_FLOAT_EQ(value, 0.25f);
        glGetFloatv(GL_FOG_START, &value);
        EXPECT_FLOAT_EQ(value, 3.0f);  // start and end untouched
    }
}

TEST_F(SceneGraphTest, RenderWithoutObjectsOrCameraIsFatal)
{
    EXPECT_EXIT(
        {
            Scene scene;
            addCameraLookingAtOrigin(scene, 5.0f, 0);
            scene.render();
        },
        ::testing::ExitedWithCode(1), "no objects in scene");
    EXPECT_EXIT(
        {
            Scene scene;
            scene.addObject(new Dummy(1, "d"));
            scene.render();
        },
        ::testing::ExitedWithCode(1), "no current camera");
}

TEST_F(SceneGraphTest, CloneCopiesFieldsAndChildren)
{
    auto* parent = new Dummy(1, "p");
    parent->setPosition(1, 2, 3);
    parent->addChild(new TargetNode(2, "c"));
    parent->addChild(new Dummy(3, "d"));
    std::unique_ptr<SceneNode> copy(parent->clone());
    delete parent;
    EXPECT_NE(dynamic_cast<Dummy*>(copy.get()), nullptr);
    EXPECT_FLOAT_EQ(copy->position().y, 2.0f);
    ASSERT_NE(copy->firstChild(), nullptr);
    EXPECT_NE(dynamic_cast<TargetNode*>(copy->firstChild()), nullptr);
    EXPECT_EQ(copy->firstChild()->next()->name(), "d");
}

}  // namespace
