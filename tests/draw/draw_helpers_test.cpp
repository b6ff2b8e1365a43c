#include "tests/support/gl_test.h"

#include "resources/draw/grid_mesh.h"
#include "resources/draw/quad_batch.h"
#include "resources/draw/screen_quad.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

namespace {

class DrawHelpersTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glViewport(0, 0, 640, 480);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(1, 1, 1, 1);
    }
    void TearDown() override { glEnable(GL_DEPTH_TEST); }

    // Which pixels of the window are lit, one flag per pixel.
    static std::vector<bool> litPixels()
    {
        std::vector<uint8_t> rgba(640 * 480 * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<bool> lit(640 * 480);
        for (size_t i = 0; i < lit.size(); ++i)
            lit[i] = rgba[i * 4] > 0;
        return lit;
    }
    static void expectNoClientArraysLeft()
    {
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    }
};

TEST_F(DrawHelpersTest, UnitQuadCoversTheSquareWithMatchingTextureCoordinates)
{
    UnitQuad quad;
    for (const SpriteVertex& v : quad.vertices()) {
        EXPECT_EQ(v.x, v.u);
        EXPECT_EQ(v.y, v.v);
    }
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 1, 1, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    quad.draw();
    expectNoClientArraysLeft();
    const std::vector<bool> lit = litPixels();
    EXPECT_EQ(std::count(lit.begin(), lit.end(), true), 640 * 480);

    quad.setRect(0.5f, 0.5f, 0.5f, 0.5f);
    EXPECT_EQ(quad.vertices()[2].u, 1.0f);  // texture coordinates stay
    glClear(GL_COLOR_BUFFER_BIT);
    quad.draw();
    EXPECT_EQ(readPixelFromTop(100, 100).r, 0);
    EXPECT_EQ(readPixelFromTop(500, 400).r, 255);
}

TEST_F(DrawHelpersTest, TwoByTwoGrid)
{
    GridMesh grid(2, 2.0f, 2.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    const float corners[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        const GridVertex& v = grid.vertices()[static_cast<size_t>(i)];
        EXPECT_FLOAT_EQ(v.x, corners[i][0]);
        EXPECT_FLOAT_EQ(v.y, corners[i][1]);
        EXPECT_FLOAT_EQ(v.restX, v.x);
        EXPECT_FLOAT_EQ(v.u, i % 2 == 0 ? 0.0f : 1.0f);
    }
    EXPECT_EQ(grid.triangleIndices(), (std::vector<uint16_t>{0, 1, 2, 1, 3, 2}));
    EXPECT_EQ(grid.stripIndices(), (std::vector<uint16_t>{0, 2, 1, 3}));
}

TEST_F(DrawHelpersTest, GridCentreAndRunningSums)
{
    GridMesh grid(5, 4.0f, 2.0f, 10.0f, -3.0f, 2.0f, 1.0f);
    EXPECT_FLOAT_EQ(grid.vertex(0, 0).x, 8.0f);
    EXPECT_FLOAT_EQ(grid.vertex(4, 4).x, 12.0f);
    EXPECT_FLOAT_EQ(grid.vertex(2, 0).y, -3.0f);
    EXPECT_FLOAT_EQ(grid.vertex(0, 4).u, 2.0f);
    EXPECT_FLOAT_EQ(grid.vertex(4, 0).v, 1.0f);
    EXPECT_EQ(grid.triangleIndices().size(), 4u * 4u * 6u);
    EXPECT_EQ(grid.stripIndices().size(), 4u * 10u);
}

TEST_F(DrawHelpersTest, StripsAndTrianglesCoverTheSameCells)
{
    GridMesh grid(9, 1.6f, 1.2f, 0.1f, -0.05f, 1.0f, 1.0f);
    // Deform it, as the warp filter does, so that cells differ in shape.
    for (int i = 0; i < grid.size(); ++i)
        for (int j = 0; j < grid.size(); ++j)
            grid.vertex(i, j).x += 0.05f * std::sin(static_cast<float>(i));
    grid.draw(true);
    expectNoClientArraysLeft();
    const std::vector<bool> strips = litPixels();
    glClear(GL_COLOR_BUFFER_BIT);
    grid.draw(false);
    const std::vector<bool> triangles = litPixels();
    EXPECT_GT(std::count(strips.begin(), strips.end(), true), 640 * 480 / 3);
    EXPECT_EQ(strips, triangles);
}

TEST_F(DrawHelpersTest, GridColoursOnlyWhenAsked)
{
    GridMesh grid(3, 2.0f, 2.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    for (GridVertex& v : grid.vertices()) {
        v.r = 0.0f;
        v.g = 1.0f;
        v.b = 0.0f;
    }
    glColor4f(1, 0, 0, 1);
    grid.draw(false);
    EXPECT_EQ(readPixel(320, 240).r, 255);
    grid.setUseColours(true);
    grid.draw(false);
    expectNoClientArraysLeft();
    EXPECT_EQ(readPixel(320, 240).g, 255);
    EXPECT_EQ(readPixel(320, 240).r, 0);
    glColor4f(1, 1, 1, 1);
}

TEST_F(DrawHelpersTest, QuadBatchBuildsSpritesThroughAMatrix)
{
    Particle particles[3];
    particles[0].position.set(1, 2, 3);
    particles[0].size = 0.5f;
    particles[0].life = 0.25f;
    particles[1].active = false;
    particles[2].position.set(-1, 0, 0);
    Matrix4 m;
    m.set(3, 0, 10.0f);  // move x by 10
    m.set(1, 1, 2.0f);   // scale y by 2
    QuadBatch batch(3);
    batch.setAlphaBias(0.5f);
    batch.build(m, 3, particles);
    const SpriteVertex& first = batch.vertex(0);
    EXPECT_FLOAT_EQ(first.x, 10.5f);
    EXPECT_FLOAT_EQ(first.y, 3.5f);
    EXPECT_FLOAT_EQ(first.z, 3.0f);
    EXPECT_FLOAT_EQ(first.a, 0.75f);
    EXPECT_FLOAT_EQ(batch.vertex(2).x, 11.5f);
    EXPECT_FLOAT_EQ(batch.vertex(2).y, 4.5f);
    EXPECT_FLOAT_EQ(batch.vertex(2).u, 1.0f);
    EXPECT_FLOAT_EQ(batch.vertex(2).v, 1.0f);
    for (int corner = 4; corner < 8; ++corner)
        EXPECT_FLOAT_EQ(batch.vertex(corner).x + batch.vertex(corner).y + batch.vertex(corner).a, 0.0f);
    EXPECT_FLOAT_EQ(batch.vertex(8).x, 8.0f);
}

TEST_F(DrawHelpersTest, QuadBatchDrawsTheAskedRange)
{
    QuadBatch batch(2);
    batch.setQuad(0, -1.0f, -1.0f, 1.0f, 2.0f, 0.0f, 1.0f);  // left half
    batch.setQuad(1, 0.0f, -1.0f, 1.0f, 2.0f, 0.0f, 1.0f);   // right half
    batch.draw(1, 1, false);
    expectNoClientArraysLeft();
    EXPECT_EQ(readPixel(100, 240).r, 0);
    EXPECT_EQ(readPixel(500, 240).r, 255);
    batch.draw(2, 0, false);
    EXPECT_EQ(readPixel(100, 240).r, 255);
}

TEST(ParticleTest, UpdateMovesTurnsAndAges)
{
    Particle p;
    p.velocity.set(1, -2, 0.5f);
    p.angularSpeed = 3;
    p.fadeRate = -0.4f;
    p.update(2.0f);
    EXPECT_FLOAT_EQ(p.position.x, 2.0f);
    EXPECT_FLOAT_EQ(p.position.y, -4.0f);
    EXPECT_FLOAT_EQ(p.angle, 6.0f);
    EXPECT_FLOAT_EQ(p.life, 0.2f);
    p.update(1.0f);
    EXPECT_FLOAT_EQ(p.life, 0.0f);
    p.fadeRate = 5.0f;
    p.update(1.0f);
    EXPECT_FLOAT_EQ(p.life, 1.0f);
}

}  // namespace
