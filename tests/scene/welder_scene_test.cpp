// The welder scene: spark windows on the scene clock, the spark pool,
// bouncing, the glow's occlusion test and the welder's commands.
#include <GL/gl.h>

#include <memory>

#include "scene/welder_scene.h"
#include "tests/scene/scene_builders.h"
#include "tests/scene/scene_file_bytes.h"
#include "tests/support/commands.h"
#include "tests/support/temp_dir.h"

namespace {

class WelderSceneTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        clearFrame();
    }

    // A robot reduced to its tip at the origin under an arm, the spray
    // node, a wall (8 x 8) at z = 2 between the tip and the camera at z = 10,
    // and 1000 samples at interval 4 on the arm (which stays put).
    std::unique_ptr<WelderScene> makeWelder()
    {
        SceneFile f;
        const float wallAt[3] = {0.0f, 0.0f, 2.0f};
        f.chunk(4, materialChunk(1, "grey", 0.5f, 0.5f, 0.5f))
            .chunk(3, dummyChunk(1, 0, "arm"))
            .chunk(3, dummyChunk(2, 1, "weld - tip"))
            .chunk(2, meshChunk(3, 0, "wall", {-4, -4, 0, 4, -4, 0, 4, 4, 0, -4, 4, 0}, {},
                                {{{0, 1, 2}, {0, 0, 0}, 1, 1}, {{0, 2, 3}, {0, 0, 0}, 1, 1}}, wallAt))
            .chunk(9, pointChunk(4, "Spray01", 0, 0, 0))
            .chunk(6, pointChunk(5, "aim", 0, 0, 0))
            .chunk(5, cameraChunk(6, "Camera01", 0, 0, 10, 45.0f, 5))
            .chunk(8, sampleController(1, 1000, 4, 0.0f))
            .end();
        path_ = dir_.write("welder.scn", f.str());
        return std::make_unique<WelderScene>(path_.c_str());
    }

    TempDir dir_;
    std::string path_;
};

TEST_F(WelderSceneTest, SparkWindowsAreOpenStrictlyInside)
{
    EXPECT_TRUE(WelderScene::insideSparkWindow(300.0f));
    EXPECT_FALSE(WelderScene::insideSparkWindow(308.0f));
    EXPECT_FALSE(WelderScene::insideSparkWindow(288.0f));
    EXPECT_TRUE(WelderScene::insideSparkWindow(3970.0f));
    EXPECT_FALSE(WelderScene::insideSparkWindow(1000.0f));
}

TEST_F(WelderSceneTest, SparksFlyOnlyDuringTheWindowsOfTheSceneTime)
{
    auto welder = makeWelder();
    SparkEmitter* emitter = welder->emitter();
    ASSERT_NE(emitter, nullptr);
    ASSERT_NE(welder->glow(), nullptr);
    // Both hang under the tip, the glow as the emitter's next sibling.
    SceneNode* tip = welder->scene()->findByName("weld - tip");
    EXPECT_EQ(tip->firstChild(), emitter);
    EXPECT_EQ(emitter->next(), welder->glow());
    EXPECT_EQ(emitter->name(), "sparky");
    EXPECT_EQ(welder->glow()->name(), "blender");

    welder->command(numericCommand(93, {100}));
    welder->command(numericCommand(97, {30}));
    welder->start(0);
    welder->activate();
    welder->render(28000);  // scene time 280: closed
    EXPECT_FALSE(emitter->emitting());
    welder->render(30000);  // 300: open
    EXPECT_TRUE(emitter->emitting());
    welder->render(30100);  // ten for each 1000 / 60 ms since the last frame
    EXPECT_EQ(emitter->activeCount(), 60);
    welder->render(30800);  // 308 exactly: closed again
    EXPECT_FALSE(emitter->emitting());
    // A restart takes every spark back and stops emitting.
    welder->start(0);
    EXPECT_EQ(emitter->activeCount(), 0);
    EXPECT_FALSE(emitter->emitting());
}

TEST_F(WelderSceneTest, ThePoolHoldsTwoThousandSparks)
{
    SparkEmitter emitter(2000, "sparky");
    EXPECT_EQ(emitter.capacity(), 2000);
    for (int i = 0; i < 198; ++i)
        emitter.emit();
    EXPECT_EQ(emitter.activeCount(), 1980);
    emitter.emit();  // 1980 + 10 < 2000
    EXPECT_EQ(emitter.activeCount(), 1990);
    emitter.emit();  // 1990 + 10 is not below 2000
    EXPECT_EQ(emitter.activeCount(), 1990);
    // Sparks die when their life falls below 0 and go back to the pool.
    emitter.setFade(1.0f);
    emitter.setDivisor(1);
    emitter.restartClock(0.0f);
    emitter.update(2.0f);  // life at most 1.0 - 2.0
    EXPECT_EQ(emitter.activeCount(), 0);
    emitter.setEmitting(true);
    emitter.update(3.0f);
    EXPECT_EQ(emitter.activeCount(), 10);
    emitter.reset();
    EXPECT_EQ(emitter.activeCount(), 0);
}

// The sparks' clock keeps its fractions and emission follows elapsed time:
// a second of sparks at 30, 60 or 144 frames a second ages them alike and
// emits as many.
TEST_F(WelderSceneTest, ASecondOfSparksIsTheSameAtAnyFrameRate)
{
    std::vector<float> lives;
    std::vector<int> counts;
    for (const double fps : {30.0, 60.0, 144.0}) {
        SparkEmitter emitter(2000, "sparky");
        emitter.setFade(0.01f);
        emitter.setDivisor(1);
        emitter.restartClock(0.0f);
        emitter.setEmitting(true);
        emitter.advance(0.0f, 1000.0 / 60.0);  // one burst at the start
        const float firstLife = emitter.activeSpark(0).life;
        const double frameMs = 1000.0 / fps;
        double previous = 0.0;
        for (double t = frameMs; t < 1000.0 + frameMs / 2; t += frameMs) {
            // Progress in thousandths, as a scene of 1000 ms sees it.
            emitter.advance(static_cast<float>(t / 1000.0), t - previous);
            previous = t;
        }
        lives.push_back(firstLife - emitter.activeSpark(0).life);
        counts.push_back(emitter.activeCount());
    }
    for (size_t i = 1; i < lives.size(); ++i) {
        EXPECT_NEAR(lives[i], lives[0], 0.01f * lives[0]) << "the spark clock";
        EXPECT_NEAR(counts[i], counts[0], 0.01 * counts[0] + 10) << "sparks emitted";
    }
    EXPECT_NEAR(counts[0], 610, 10);
}

TEST_F(WelderSceneTest, NewSparksStartAtTheOriginWithTheirSpread)
{
    SparkEmitter emitter(2000, "sparky");
    emitter.setOrigin(Vec3(1.0f, 2.0f, 3.0f));
    emitter.setSpread(Vec3(10.0f, 20.0f, 0.0f));
    emitter.setAcceleration(Vec3(0.0f, -9.0f, 0.0f));
    emitter.setFade(0.5f);
    emitter.emit();
    ASSERT_EQ(emitter.activeCount(), 10);
    for (int i = 0; i < 10; ++i) {
        const Spark& s = emitter.activeSpark(i);
        EXPECT_FLOAT_EQ(s.position.x, 1.0f);
        EXPECT_FLOAT_EQ(s.trail[0].z, 3.0f);
        EXPECT_GE(s.velocity.x, -5.0f);
        EXPECT_LE(s.velocity.x, 5.0f);
        EXPECT_GE(s.velocity.y, 0.0f);
        EXPECT_LE(s.velocity.y, 20.0f);
        EXPECT_FLOAT_EQ(s.velocity.z, 0.0f);
        EXPECT_FLOAT_EQ(s.acceleration.y, -9.0f);
        EXPECT_GE(s.life, 0.8f);
        EXPECT_LE(s.life, 1.0f);
        EXPECT_FLOAT_EQ(s.fadeRate, -0.5f);
    }
}

TEST_F(WelderSceneTest, ASparkBelowTheFloorReversesAndDampsEachStep)
{
    Spark spark;
    spark.setPosition(Vec3(100.0f, -39.5f, 0.0f));  // away from the bench
    spark.velocity = Vec3(0.0f, -10.0f, 0.0f);
    spark.update(0.1f);  // y -40.5: below, bounced
    EXPECT_FLOAT_EQ(spark.position.y, -40.5f);
    EXPECT_FLOAT_EQ(spark.velocity.y, 9.0f);
    spark.update(0.1f);  // y -39.6: above, no bounce
    EXPECT_FLOAT_EQ(spark.velocity.y, 9.0f);
    // Deep below, it reverses every step it stays below.
    spark.setPosition(Vec3(100.0f, -50.0f, 0.0f));
    spark.velocity = Vec3(0.0f, 1.0f, 0.0f);
    spark.update(0.1f);
    EXPECT_FLOAT_EQ(spark.velocity.y, -0.9f);
    spark.update(0.1f);
    EXPECT_FLOAT_EQ(spark.velocity.y, 0.81f);
    // The trail keeps the last ten positions, oldest first.
    EXPECT_FLOAT_EQ(spark.trail[9].y, spark.position.y);
    EXPECT_FLOAT_EQ(spark.trail[7].y, -50.0f);
    // The bench top: below its top inside its extent.
    Spark onBench;
    onBench.setPosition(Vec3(-5.8f, -29.0f, -175.0f));
    onBench.velocity = Vec3(0.0f, -20.0f, 0.0f);
    onBench.update(0.1f);
    EXPECT_FLOAT_EQ(onBench.velocity.y, 18.0f);
}

TEST_F(WelderSceneTest, TheGlowShinesWhileTheTipIsSeenAndFadesBehindTheWall)
{
    auto welder = makeWelder();
    GlowFlare* glow = welder->glow();
    ASSERT_NE(glow, nullptr);
    welder->start(0);
    Scene& scene = *welder->scene();
    scene.findByName("wall")->setVisible(false, false);
    welder->render(100);
    EXPECT_FLOAT_EQ(glow->intensity(), 0.8f);
    EXPECT_GE(centrePixel().r, 100);  // the glow at the tip, in the middle
    // The wall hides the tip: a frame later (the test's answer is taken
    // when the next frame draws) the glow fades by 200 x the time step
    // (progress 1 per 100 ms, so 1 / 1000 per frame here).
    scene.findByName("wall")->setVisible(true, false);
    welder->render(200);
    EXPECT_FLOAT_EQ(glow->intensity(), 0.8f) << "the answer of the frame before";
    welder->render(300);
    EXPECT_NEAR(glow->intensity(), 0.6f, 1e-5);
    welder->render(400);
    EXPECT_NEAR(glow->intensity(), 0.4f, 1e-5);
    for (int t = 500; t <= 900; t += 100)
        welder->render(t);
    EXPECT_FLOAT_EQ(glow->intensity(), 0.0f);  // never below 0
}

TEST_F(WelderSceneTest, HiddenSparksTakeTheGlowWithThem)
{
    auto welder = makeWelder();
    ASSERT_NE(welder->glow(), nullptr);
    welder->start(0);
    welder->scene()->findByName("wall")->setVisible(false, false);
    welder->render(100);
    EXPECT_GE(centrePixel().r, 100);
    welder->command(numericCommand(90, {0}));
    clearFrame();
    welder->render(200);
    EXPECT_LT(centrePixel().r, 10);  // no glow left where it was last seen
    welder->command(numericCommand(90, {1}));
    clearFrame();
    welder->render(300);
    EXPECT_GE(centrePixel().r, 100);
}

TEST_F(WelderSceneTest, CommandsSteerTheSparksAndTheBounceBox)
{
    auto welder = makeWelder();
    welder->start(0);
    welder->command(numericCommand(90, {0}));
    EXPECT_FALSE(welder->emitter()->visible());
    EXPECT_FALSE(welder->glow()->visible());  // the emitter's next sibling
    welder->command(numericCommand(90, {1}));
    EXPECT_TRUE(welder->glow()->visible());
    welder->command(numericCommand(94, {150, -2000, -10000}));
    welder->command(numericCommand(95, {-5000}));
    welder->command(numericCommand(96, {7, 9}));
    const SparkBounds& box = sparkBounds();
    EXPECT_FLOAT_EQ(box.centreX, 1.5f);
    EXPECT_FLOAT_EQ(box.top, -20.0f);
    EXPECT_FLOAT_EQ(box.centreZ, -100.0f);
    EXPECT_FLOAT_EQ(box.floor, -50.0f);
    EXPECT_FLOAT_EQ(box.halfX, 7.0f);
    EXPECT_FLOAT_EQ(box.halfZ, 9.0f);
    // Spread and acceleration reach the next sparks.
    welder->command(numericCommand(91, {0, 30, 0}));
    welder->command(numericCommand(92, {0, -50, 0}));
    welder->emitter()->emit();
    EXPECT_FLOAT_EQ(welder->emitter()->activeSpark(0).acceleration.y, -50.0f);
    EXPECT_FLOAT_EQ(welder->emitter()->activeSpark(0).velocity.x, 0.0f);
    // Scene codes still work.
    welder->command(numericCommand(231, {0}));
    EXPECT_FALSE(welder->scene()->culling());
}

TEST_F(WelderSceneTest, WithoutSprayThereAreNoSparks)
{
    SceneFile f;
    f.chunk(3, dummyChunk(1, 0, "weld - tip")).chunk(5, cameraChunk(2, "c", 0, 0, 10, 45, 0)).end();
    path_ = dir_.write("bare.scn", f.str());
    WelderScene welder(path_.c_str());
    EXPECT_EQ(welder.emitter(), nullptr);
    welder.start(0);
    welder.render(100);
    welder.command(numericCommand(90, {0}));
}

}  // namespace
