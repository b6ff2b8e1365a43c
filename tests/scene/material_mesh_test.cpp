// Materials and meshes drawn on the headless context: colours, textures,
// blending, opacity maps, smoothing groups, outlines and dynamic cube maps.
#include <GL/gl.h>

#include <chrono>
#include <cmath>
#include <memory>

#include "resources/images/image.h"
#include "resources/images/image_cache.h"
#include "resources/textures/texture.h"
#include "resources/textures/texture_manager.h"
#include "tests/scene/scene_builders.h"
#include "tests/support/temp_dir.h"

namespace {

class MaterialMeshTest : public GLTest {
protected:
    static void SetUpTestSuite()
    {
        GLTest::SetUpTestSuite();
        imageVerbose = false;
        if (!TextureManager::hasImageLibrary()) {
            static ImageCache cache;
            TextureManager::setImageLibrary(&cache);
        }
    }
    void SetUp() override
    {
        GLTest::SetUp();
        clearFrame();
    }

    // A picture texture of one colour, loaded through the texture manager.
    Texture* solidTexture(const std::string& name, int size, uint8_t r, uint8_t g, uint8_t b)
    {
        const std::string path = dir_.write(name, solidTga(size, size, r, g, b));
        const std::string prefix = dir_.path().string() + "/";
        return TextureManager::loadTexture(name.c_str(), prefix.c_str(), GL_TEXTURE_2D);
    }

    TempDir dir_;
};

// One square with the given material in front of a camera at distance 5 and
// a white light at the camera.
std::unique_ptr<Scene> squareWith(Material* material)
{
    auto scene = std::make_unique<Scene>();
    scene->addMaterial(material);
    scene->addObject(makeSquare(1, "square", material->id()));
    addWhiteLight(*scene, 2, Vec3(0.0f, 0.0f, 5.0f));
    addCameraLookingAtOrigin(*scene, 5.0f, 0);
    scene->prepareObjects();
    scene->bindObjects();
    return scene;
}

void expectCleanState()
{
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

TEST_F(MaterialMeshTest, HalfOpacityBlendsWithoutDepthWritesOrCulling)
{
    auto* material = makeColourMaterial(1, 1.0f, 0.0f, 0.0f);
    material->setOpacity(0.5f);
    EXPECT_TRUE(material->transparent());
    auto scene = squareWith(material);
    clearFrame(0.0f);
    scene->render();
    // Half red over black.
    EXPECT_NEAR(centrePixel().r, 122, 8);
    expectCleanState();
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    // During apply: blending on, depth writes off, culling off.
    material->apply();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_FALSE(depthWrites);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    material->reset();
    material->setOpacity(1.0f);
    EXPECT_FALSE(material->transparent());
}

TEST_F(MaterialMeshTest, AnAdditiveOpaqueMaterialAddsAndWritesDepth)
{
    auto* material = makeColourMaterial(1, 0.0f, 0.0f, 1.0f);
    material->setAdditive(true);
    EXPECT_TRUE(material->transparent());
    material->apply();
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_ONE);
    EXPECT_EQ(destination, GL_ONE);
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    material->reset();
    delete material;

    auto* adding = makeColourMaterial(2, 0.0f, 0.0f, 1.0f);
    adding->setAdditive(true);
    auto scene = squareWith(adding);
    clearFrame(0.5f);
    scene->render();
    const Rgba centre = centrePixel();
    EXPECT_NEAR(centre.r, 128, 2);  // grey kept
    EXPECT_GE(centre.b, 250);       // blue added
    expectCleanState();
}

TEST_F(MaterialMeshTest, TransparentObjectsDrawLastAndModeTenFirst)
{
    Scene scene;
    scene.addMaterial(makeColourMaterial(1, 1, 0, 0));
    auto* glass = makeColourMaterial(2, 0, 1, 0);
    glass->setOpacity(0.5f);
    scene.addMaterial(glass);
    auto* mirror = makeColourMaterial(3, 0, 0, 1);
    mirror->setMode(10);
    scene.addMaterial(mirror);
    scene.addObject(makeSquare(1, "glass1", 2));
    scene.addObject(makeSquare(2, "solid1", 1));
    scene.addObject(makeSquare(3, "mirror", 3));
    scene.addObject(makeSquare(4, "glass2", 2));
    scene.addObject(new Dummy(5, "group"));
    addCameraLookingAtOrigin(scene, 5.0f, 0);
    scene.prepareObjects();
    scene.bindObjects();
    std::vector<std::string> order;
    for (SceneNode* n = scene.firstObject(); n != nullptr; n = n->next())
        order.push_back(n->name());
    EXPECT_EQ(order, (std::vector<std::string>{"mirror", "solid1", "group", "glass1", "glass2"}));
    // Back links agree with the new order.
    EXPECT_EQ(scene.firstObject()->previous(), nullptr);
    EXPECT_EQ(scene.firstObject()->next()->previous(), scene.firstObject());
}

TEST_F(MaterialMeshTest, ModeTenMaterialsShareOneCubeMap)
{
    Material a(1, "a"), b(2, "b");
    a.setMode(10);
    b.setMode(11);
    ASSERT_NE(a.dynamicCubeMap(), nullptr);
    EXPECT_EQ(a.dynamicCubeMap(), b.dynamicCubeMap());
    EXPECT_EQ(a.dynamicCubeMapSize(), 64);
    EXPECT_TRUE(a.cubeMapInUse());
    EXPECT_TRUE(a.lit());
    EXPECT_TRUE(b.generatedCoordinates());
}

TEST_F(MaterialMeshTest, ModeFlagsFollowTheTable)
{
    Material m(1, "m");
    const struct {
        int mode;
        bool lit, generated, outline, second;
    } rows[] = {{0, true, false, false, false}, {1, true, false, false, false}, {2, false, true, false, false},
                {4, false, true, false, true},  {5, false, false, false, true},  {8, false, true, true, false},
                {9, false, true, true, true}};
    for (const auto& row : rows) {
        m.setMode(row.mode);
        EXPECT_EQ(m.lit(), row.lit) << row.mode;
        EXPECT_EQ(m.generatedCoordinates(), row.generated) << row.mode;
        EXPECT_EQ(m.outline(), row.outline) << row.mode;
        EXPECT_EQ(m.secondUnit(), row.second) << row.mode;
    }
    m.setMode(6);
    EXPECT_TRUE(m.cubeMapInUse());
    EXPECT_NE(m.normalizationCubeMap(), 0u);
    // The +X face points along +x at its centre.
    std::vector<uint8_t> face(64 * 64 * 4);
    glBindTexture(GL_TEXTURE_CUBE_MAP, m.normalizationCubeMap());
    glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0, GL_RGBA, GL_UNSIGNED_BYTE, face.data());
    const uint8_t* centre = &face[(32 * 64 + 32) * 4];
    EXPECT_GE(centre[0], 253);
    EXPECT_NEAR(centre[1], 127, 2);
    EXPECT_NEAR(centre[2], 127, 2);
}

TEST_F(MaterialMeshTest, ADiffuseMapIsDrawnLitOnUnitZero)
{
    auto* material = new Material(1, "textured");
    material->setDiffuseMap(solidTexture("mm_blue.tga", 64, 0, 0, 255));
    material->setMode(1);
    auto scene = squareWith(material);
    scene->render();
    const Rgba centre = centrePixel();
    EXPECT_LE(centre.r, 10);
    EXPECT_GE(centre.b, 235);
    glDisable(GL_TEXTURE_2D);
}

TEST_F(MaterialMeshTest, AnOpacityMapOfTheSameSizeCutsTheDiffuseMap)
{
    auto* cut = new Material(1, "cut");
    cut->setDiffuseMap(solidTexture("mm_green.tga", 64, 0, 255, 0));
    cut->setOpacityMap(solidTexture("mm_black.tga", 64, 0, 0, 0));
    cut->setMode(1);
    EXPECT_TRUE(cut->alphaTest());
    EXPECT_EQ(cut->diffuseMap()->image()->pixels[3], 0);
    auto scene = squareWith(cut);
    scene->render();
    EXPECT_EQ(centrePixel().g, 0);  // every texel fails the alpha test
    glDisable(GL_TEXTURE_2D);
}

TEST_F(MaterialMeshTest, AnOpacityMapOfAnotherSizeOnlySwitchesTheAlphaTestOn)
{
    auto* whole = new Material(1, "whole");
    whole->setDiffuseMap(solidTexture("mm_green2.tga", 64, 0, 255, 0));
    whole->setOpacityMap(solidTexture("mm_black128.tga", 128, 0, 0, 0));
    whole->setMode(1);
    EXPECT_TRUE(whole->alphaTest());
    EXPECT_FLOAT_EQ(whole->alphaRef(), 0.0f);
    EXPECT_EQ(whole->diffuseMap()->image()->pixels[3], 255);
    auto scene = squareWith(whole);
    scene->render();
    EXPECT_GE(centrePixel().g, 235);
    glDisable(GL_TEXTURE_2D);
}

// Two triangles sharing the edge (0, 0, 0)-(0, 1, 0), folded 90 degrees.
Mesh* foldedPair(int32_t maskA, int32_t maskB)
{
    auto* mesh = new Mesh(1, "fold");
    std::vector<MeshVertex> v(4);
    v[0].position = Vec3(0, 0, 0);
    v[1].position = Vec3(0, 1, 0);
    v[2].position = Vec3(-1, 0, 0);  // face A lies in z = 0, normal +z
    v[3].position = Vec3(0, 0, -1);  // face B lies in x = 0, normal +x
    std::vector<Face> faces(2);
    const int corners[2][3] = {{0, 1, 2}, {0, 3, 1}};
    for (int f = 0; f < 2; ++f)
        for (int c = 0; c < 3; ++c)
            faces[static_cast<size_t>(f)].corners[static_cast<size_t>(c)].vertex = corners[f][c];
    faces[0].smoothing = maskA;
    faces[1].smoothing = maskB;
    mesh->setGeometry(std::move(v), {}, {}, std::move(faces));
    mesh->prepare();
    return mesh;
}

TEST_F(MaterialMeshTest, SmoothingGroupsDecideWhichFacesShareNormals)
{
    std::unique_ptr<Mesh> apart(foldedPair(1, 2));
    const Vec3& a = apart->faces()[0].corners[0].normal;
    const Vec3& b = apart->faces()[1].corners[0].normal;
    EXPECT_NEAR(a.z, 1.0f, 1e-5);  // its own face normal
    EXPECT_NEAR(b.x, apart->faces()[1].normal.x, 1e-5);
    EXPECT_NEAR(std::fabs(a.dot(b)), 0.0f, 1e-5);

    for (auto masks : {std::pair{1, 1}, std::pair{0, 1}}) {
        std::unique_ptr<Mesh> shared(foldedPair(masks.first, masks.second));
        const Vec3& n0 = shared->faces()[0].corners[0].normal;
        const Vec3& n1 = shared->faces()[1].corners[0].normal;
        EXPECT_FLOAT_EQ(n0.x, n1.x);
        EXPECT_FLOAT_EQ(n0.z, n1.z);
        EXPECT_NEAR(std::fabs(n0.x), std::sqrt(0.5f), 1e-5);  // the average of the two
        // The corner used by one face only keeps that face's normal.
        EXPECT_NEAR(std::fabs(shared->faces()[0].corners[2].normal.z), 1.0f, 1e-5);
    }
    // A face in groups 1 and 3 (mask 0b1010) takes the normal of group 3,
    // which it shares with nobody here.
    std::unique_ptr<Mesh> highest(foldedPair(0b1010, 0b0010));
    EXPECT_NEAR(std::fabs(highest->faces()[0].corners[0].normal.z), 1.0f, 1e-5);
}

TEST_F(MaterialMeshTest, AMeshWithSeveralMaterialsDrawsWithTheFirstFacesMaterial)
{
    auto scene = std::make_unique<Scene>();
    scene->addMaterial(makeColourMaterial(1, 1, 0, 0));
    scene->addMaterial(makeColourMaterial(2, 0, 1, 0));
    Mesh* square = makeSquare(1, "square", 1);
    std::vector<Face> faces = square->faces();
    faces[1].materialId = 2;
    square->setGeometry(square->vertices(), square->coords1(), {}, faces);
    scene->addObject(square);
    addWhiteLight(*scene, 2, Vec3(0, 0, 5));
    addCameraLookingAtOrigin(*scene, 5.0f, 0);
    scene->prepareObjects();
    scene->bindObjects();
    scene->render();
    // Face 1 covers the upper left half: still red.
    const Rgba upperLeft = readPixelFromTop(320 - 40, 240 - 40);
    EXPECT_GE(upperLeft.r, 200);
    EXPECT_EQ(upperLeft.g, 0);
}

TEST_F(MaterialMeshTest, AnUnknownFaceMaterialIsFatal)
{
    EXPECT_EXIT(
        {
            Scene scene;
            scene.addMaterial(makeColourMaterial(1, 1, 0, 0));
            scene.addObject(makeSquare(1, "square", 7));
            scene.bindObjects();
        },
        ::testing::ExitedWithCode(1), "face material not found: 7");
}

TEST_F(MaterialMeshTest, OutlineModeDrawsABlackRimAroundTheShape)
{
    auto scene = std::make_unique<Scene>();
    scene->addMaterial(makeColourMaterial(1, 1, 1, 1));
    // A front square and a slightly larger one just behind facing away: its
    // back faces become the outline.
    scene->addObject(makeSquare(1, "front", 1));
    Mesh* back = makeSquare(2, "back", 1);
    back->setRotationDegrees(0.0f, 180.0f, 0.0f);
    back->setPosition(0.0f, 0.0f, -0.01f);
    scene->addObject(back);
    addCameraLookingAtOrigin(*scene, 5.0f, 0);
    scene->prepareObjects();
    scene->bindObjects();
    scene->findById(1)->setMaterialMode(8);
    clearFrame(0.5f);
    scene->render();
    // The square's edge lies at 1 / (5 tan 22.5) * 240 = 116 pixels.
    EXPECT_GE(readPixelFromTop(320 + 114, 240).r, 250);
    EXPECT_EQ(readPixelFromTop(320 + 116, 240).r, 0);
    EXPECT_EQ(readPixelFromTop(320 + 117, 240).r, 0);
    EXPECT_NEAR(readPixelFromTop(320 + 125, 240).r, 128, 2);  // background beyond
    EXPECT_GE(centrePixel().r, 250);  // mode 8 draws unlit in white
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
}

TEST_F(MaterialMeshTest, AMirrorMeshSeesTheOthersButNotItself)
{
    auto scene = std::make_unique<Scene>();
    auto* mirror = new Material(1, "mirror");
    mirror->setMode(10);
    scene->addMaterial(mirror);
    scene->addMaterial(makeColourMaterial(2, 1, 1, 0));
    scene->addObject(makeSquare(1, "mirror", 1, 0.5f));
    // A big yellow wall at x = 5 facing the mirror.
    Mesh* wall = makeSquare(2, "wall", 2, 4.0f);
    wall->setPosition(5.0f, 0.0f, 0.0f);
    wall->setRotationDegrees(0.0f, -90.0f, 0.0f);
    wall->findById(2)->setVisible(true, false);
    scene->addObject(wall);
    addWhiteLight(*scene, 3, Vec3(0, 0, 5));
    addCameraLookingAtOrigin(*scene, 5.0f, 0);
    scene->setCulling(false);
    scene->prepareObjects();
    scene->bindObjects();
    clearFrame(0.0f);
    scene->render();
    std::vector<uint8_t> face(64 * 64 * 4);
    mirror->dynamicCubeMap()->bind();
    glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0, GL_RGBA, GL_UNSIGNED_BYTE, face.data());
    const uint8_t* centre = &face[(32 * 64 + 32) * 4];
    EXPECT_GE(centre[0], 100);  // the wall, lit yellow
    EXPECT_GE(centre[1], 100);
    EXPECT_EQ(centre[2], 0);
    // Towards -x there is nothing, and the mirror itself is not drawn.
    glGetTexImage(GL_TEXTURE_CUBE_MAP_NEGATIVE_X, 0, GL_RGBA, GL_UNSIGNED_BYTE, face.data());
    for (size_t i = 0; i < 64 * 64; ++i)
        ASSERT_EQ(face[i * 4] + face[i * 4 + 1] + face[i * 4 + 2], 0) << i;
    glGetTexImage(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0, GL_RGBA, GL_UNSIGNED_BYTE, face.data());
    EXPECT_EQ(face[(32 * 64 + 32) * 4 + 1], 0);
    expectCleanState();
    glDisable(GL_TEXTURE_CUBE_MAP);
}

// A hall of mirrors: eight mirror squares on a ring around the origin, each
// facing the centre, with a lit wall among them. Each mirror sees the others
// (drawn with the shared cube texture as it is), so without a bound on
// nesting one frame would draw a factorial number of cube maps.
TEST_F(MaterialMeshTest, EightMirrorsDrawOneCubeMapEachAFrame)
{
    constexpr int mirrors = 8;
    auto scene = std::make_unique<Scene>();
    auto* mirror = new Material(1, "mirror");
    mirror->setMode(10);
    scene->addMaterial(mirror);
    scene->addMaterial(makeColourMaterial(2, 1, 1, 0));
    for (int i = 0; i < mirrors; ++i) {
        const float angle = 6.2831853f * static_cast<float>(i) / mirrors;
        Mesh* square = makeSquare(10 + i, "mirror" + std::to_string(i), 1, 0.5f);
        square->setPosition(3.0f * std::sin(angle), 0.0f, 3.0f * std::cos(angle));
        square->setRotationDegrees(0.0f, angle * 57.29578f + 180.0f, 0.0f);
        scene->addObject(square);
    }
    scene->addObject(makeSquare(2, "wall", 2, 0.5f));
    addWhiteLight(*scene, 3, Vec3(0, 0, 5));
    addCameraLookingAtOrigin(*scene, 8.0f, 0);
    scene->setCulling(false);
    scene->prepareObjects();
    scene->bindObjects();
    clearFrame(0.0f);

    const auto start = std::chrono::steady_clock::now();
    scene->render();
    glFinish();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(scene->cubeMapsThisFrame(), mirrors);
    // Generous for a loaded machine and the sanitizers; nested cube maps
    // took minutes from six mirrors on.
    EXPECT_LT(took.count(), 5.0);

    // Drawn again within the same frame, no mirror draws its cube map again.
    scene->firstObject()->renderTree();
    EXPECT_EQ(scene->cubeMapsThisFrame(), mirrors);
    // The next frame draws each again.
    clearFrame(0.0f);
    scene->render();
    EXPECT_EQ(scene->cubeMapsThisFrame(), mirrors);
    EXPECT_EQ(scene->frameNumber(), 2u);
    expectCleanState();
    glDisable(GL_TEXTURE_CUBE_MAP);
}

TEST_F(MaterialMeshTest, MirrorFacesDoNotMarkTheFrame)
{
    auto scene = std::make_unique<Scene>();
    auto* mirror = new Material(1, "mirror");
    mirror->setMode(11);
    scene->addMaterial(mirror);
    scene->addObject(makeSquare(1, "mirror", 1, 0.5f));
    addWhiteLight(*scene, 3, Vec3(0, 0, 5));
    addCameraLookingAtOrigin(*scene, 5.0f, 0);
    scene->setCulling(false);
    scene->prepareObjects();
    scene->bindObjects();
    clearFrame(0.5f);
    // A clear colour unlike the frame, so that any clearing of the corner
    // shows.
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    scene->render();
    // The corner where the faces were once drawn keeps the background.
    EXPECT_NEAR(readPixel(10, 10).r, 128, 2);
    EXPECT_NEAR(readPixel(60, 60).g, 128, 2);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    expectCleanState();
    glDisable(GL_TEXTURE_CUBE_MAP);
}

}  // namespace
