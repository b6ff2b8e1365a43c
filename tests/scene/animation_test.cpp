// Sampled animation: poses between samples, holding the last pose, nodes
// that never move, and cameras that follow their targets.
#include <GL/gl.h>

#include <cmath>

#include "tests/scene/scene_builders.h"

namespace {

class AnimationTest : public GLTest {};

Quaternion aboutZ(float radians)
{
    Quaternion q;
    q.set(0.0f, 0.0f, std::sin(radians / 2.0f), std::cos(radians / 2.0f));
    return q;
}

// Samples i at x = 10 i, turning 10 degrees about z per sample.
void giveSamples(SceneNode& node, int count, int32_t interval)
{
    std::vector<Vec3> positions;
    std::vector<Quaternion> rotations;
    for (int i = 0; i < count; ++i) {
        positions.emplace_back(10.0f * static_cast<float>(i), 1.0f, 0.0f);
        rotations.push_back(aboutZ(degreesToRadians(10.0f * static_cast<float>(i))));
    }
    node.setSamplePositions(std::move(positions));
    node.setSampleRotations(std::move(rotations));
    node.setSampleInterval(interval);
}

// The angle about z of the node's rotation, in degrees; the files' matrix is
// the transpose of the textbook one, so the angle reads with a minus.
float zAngle(const SceneNode& node)
{
    const Matrix4& m = node.rotationMatrix();
    return -std::atan2(m.get(0, 1), m.get(0, 0)) * 180.0f / 3.1415927f;
}

TEST_F(AnimationTest, PosesAreInterpolatedBetweenTheTwoSamplesAroundTheTime)
{
    Scene scene;
    auto* node = new Dummy(1, "moving");
    giveSamples(*node, 5, 160);
    auto* parent = new Dummy(2, "parent");
    auto* child = new Dummy(3, "child");
    giveSamples(*child, 5, 160);
    parent->addChild(child);
    scene.addObject(parent);
    scene.addObject(node);
    scene.setAnimation(5, 160);

    scene.setTime(400.0f);
    EXPECT_EQ(scene.sampleIndex(), 2);
    EXPECT_FLOAT_EQ(node->position().x, 25.0f);  // halfway between 20 and 30
    EXPECT_NEAR(zAngle(*node), 25.0f, 0.01f);
    EXPECT_FLOAT_EQ(child->position().x, 25.0f);  // children are reached too
    EXPECT_FLOAT_EQ(parent->position().x, 0.0f);  // no samples: untouched

    // Beyond the last sample: exactly the last one, no looping.
    scene.setTime(100000.0f);
    EXPECT_EQ(scene.sampleIndex(), 625);
    EXPECT_FLOAT_EQ(node->position().x, 40.0f);
    EXPECT_NEAR(zAngle(*node), 40.0f, 0.01f);

    // Before the first: sample 0 extrapolated towards sample 1.
    scene.setTime(-80.0f);
    EXPECT_EQ(scene.sampleIndex(), 0);
    EXPECT_FLOAT_EQ(node->position().x, -5.0f);
}

TEST_F(AnimationTest, KeyControllersAreStoredButNeverPlayed)
{
    Scene scene;
    auto* keyed = new Dummy(1, "keyed");
    keyed->setPosition(3.0f, 4.0f, 5.0f);
    PositionKey key;
    key.frame = 10;
    key.position = Vec3(100.0f, 0.0f, 0.0f);
    keyed->setPositionKeys({key, key});
    scene.addObject(keyed);
    auto* sampled = new Dummy(2, "sampled");
    giveSamples(*sampled, 3, 100);
    scene.addObject(sampled);
    scene.setAnimation(3, 100);
    EXPECT_EQ(keyed->controller(), SceneNode::Controller::keys);
    for (float t : {0.0f, 150.0f, 1000.0f}) {
        scene.setTime(t);
        EXPECT_FLOAT_EQ(keyed->position().x, 3.0f);
        EXPECT_FLOAT_EQ(keyed->position().z, 5.0f);
    }
    EXPECT_FLOAT_EQ(sampled->position().x, 20.0f);
}

TEST_F(AnimationTest, WithoutSampledControllersNothingMoves)
{
    Scene scene;
    auto* node = new Dummy(1, "still");
    node->setPosition(1.0f, 2.0f, 3.0f);
    scene.addObject(node);
    scene.setTime(500.0f);  // interval 0: no clock, no division by zero
    EXPECT_EQ(scene.sampleIndex(), 0);
    EXPECT_FLOAT_EQ(node->position().y, 2.0f);
    // A sampled node that holds no samples keeps its pose too.
    node->setSamplePositions({});
    scene.setAnimation(0, 50);
    scene.setTime(500.0f);
    EXPECT_FLOAT_EQ(node->position().y, 2.0f);
}

TEST_F(AnimationTest, SampledCamerasMoveAndStillLookAtTheirTarget)
{
    Scene scene;
    scene.addMaterial(makeColourMaterial(1, 1.0f, 1.0f, 0.0f));
    auto* target = new TargetNode(7, "aim");
    scene.addObject(target);
    auto* square = makeSquare(2, "square", 1, 0.5f);
    scene.addObject(square);
    addWhiteLight(scene, 3, Vec3(0.0f, 0.0f, 20.0f));
    addCameraLookingAtOrigin(scene, 10.0f, 7);
    Camera* camera = scene.currentCamera();
    // The camera slides sideways from x = -4 to x = 4 over two samples;
    // the target and the square move along from x = 0 to x = 8 once bound.
    camera->setSamplePositions({Vec3(-4, 0, 10), Vec3(4, 0, 10)});
    camera->setSampleRotations({Quaternion(), Quaternion()});
    target->setSamplePositions({Vec3(0, 0, 0), Vec3(8, 0, 0)});
    target->setSampleRotations({Quaternion(), Quaternion()});
    square->setSamplePositions({Vec3(0, 0, 0), Vec3(8, 0, 0)});
    square->setSampleRotations({Quaternion(), Quaternion()});
    scene.setAnimation(2, 100);
    scene.prepareObjects();
    scene.bindObjects();
    for (float t : {0.0f, 50.0f, 100.0f}) {
        scene.setTime(t);
        clearFrame();
        scene.render();
        EXPECT_GE(centrePixel().r, 200) << t;  // the square stays in the middle
        EXPECT_GE(centrePixel().g, 200) << t;
    }
    EXPECT_FLOAT_EQ(camera->position().x, 4.0f);
    EXPECT_FLOAT_EQ(target->position().x, 8.0f);
}

}  // namespace
