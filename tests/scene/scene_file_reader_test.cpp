// The scene file reader on files built byte by byte: a whole small scene
// drawn after loading, texture names, every reader message, and damaged
// files that must stop with a message instead of reading outside the data.
#include <GL/gl.h>

#include <fstream>
#include <memory>

#include "resources/images/image.h"
#include "resources/textures/texture.h"
#include "resources/textures/texture_manager.h"
#include "scene/scene_file_reader.h"
#include "tests/scene/scene_builders.h"
#include "tests/scene/scene_file_bytes.h"
#include "tests/support/death_pattern.h"
#include "tests/support/temp_dir.h"

namespace {

class SceneFileReaderTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        imageVerbose = false;
        clearFrame();
        textures_ = dir_.path().string() + "/";
    }

    std::unique_ptr<Scene> load(const std::string& bytes, const std::string& name = "test.scn")
    {
        path_ = dir_.write(name, bytes);
        SceneFileReader reader;
        return std::unique_ptr<Scene>(reader.load(path_.c_str(), textures_.c_str()));
    }
    // The death-test pattern of a reader message for the last written file.
    std::string message(const std::string& text) const { return "Error in parsing " + path_ + ": " + text; }
    // The death-test pattern of a reader message about the file name in the
    // test's folder. The child that dies runs the test again from its start
    // (thread-safe death tests), in a temporary folder of its own.
    static std::string diesSaying(const std::string& name, const std::string& text)
    {
        return "Error in parsing .*/" + literally(name + ": " + text);
    }
    // Loading bytes (written as name) ends the process with status 1 and
    // the reader message text.
    void expectLoadEnds(const std::string& name, const std::string& bytes, const std::string& text,
                        const std::string& what = "")
    {
        path_ = dir_.write(name, bytes);
        EXPECT_EXIT(
            {
                SceneFileReader reader;
                reader.load(path_.c_str(), textures_.c_str());
            },
            ::testing::ExitedWithCode(1), diesSaying(name, text))
            << what;
    }

    TempDir dir_;
    std::string textures_;
    std::string path_;
};

// A scene the camera sees: a red square under a dummy, a target, a light.
SceneFile litSquareFile()
{
    SceneFile f;
    const float at[3] = {0, 0, 0};
    f.chunk(4, materialChunk(0, "red", 1, 0, 0))
        .chunk(3, dummyChunk(1, 0, "holder"))
        .chunk(2, squareChunk(2, 1, "square", -1, at))
        .chunk(6, pointChunk(3, "Camera01.Target", 0, 0, 0))
        .chunk(5, cameraChunk(4, "Camera01", 0, 0, 5, 45.0f, 3))
        .chunk(7, lightChunk(5, "Omni01", 0, 0, 5, 10.0f, 0))
        .chunk(9, pointChunk(6, "Spray01", 1, 2, 3));
    return f;
}

TEST_F(SceneFileReaderTest, ALoadedSceneIsDrawnInItsMaterialColour)
{
    SceneFile f = litSquareFile();
    auto scene = load(f.end().str());
    ASSERT_NE(scene, nullptr);
    SceneNode* holder = scene->firstObject();
    EXPECT_EQ(holder->name(), "holder");
    ASSERT_NE(holder->firstChild(), nullptr);
    auto* square = dynamic_cast<Mesh*>(holder->firstChild());
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(square->faces().size(), 2u);
    EXPECT_EQ(square->faces()[0].materialId, 0);  // -1 is read as 0
    EXPECT_FLOAT_EQ(square->coords1()[2].v, -1.0f);  // v is stored negated
    EXPECT_EQ(square->material()->name(), "red");
    EXPECT_FLOAT_EQ(square->material()->shininess(), 32.0f);
    EXPECT_EQ(scene->currentCamera()->name(), "Camera01");
    EXPECT_EQ(scene->currentCamera()->target()->name(), "Camera01.Target");
    Light* light = scene->findLight("Omni01");
    ASSERT_NE(light, nullptr);
    EXPECT_FLOAT_EQ(light->linearAttenuation(), 0.2f);  // 1 / (range / 2)
    EXPECT_FLOAT_EQ(light->ambient().r, 0.3f);
    EXPECT_FLOAT_EQ(light->spotExponent(), 2.0f);
    EXPECT_EQ(scene->findParticleNode("Spray01")->position().z, 3.0f);

    // Attenuation 1 + 0.2 x 5 halves the light at the square.
    light->setLinearAttenuation(0.0f);
    scene->render();
    const Rgba centre = centrePixel();
    EXPECT_GE(centre.r, 240);
    EXPECT_LE(centre.g, 10);
}

TEST_F(SceneFileReaderTest, TransparentObjectsEndUpBehindTheOpaqueOnes)
{
    SceneFile f;
    f.chunk(4, materialChunk(1, "glass", 0, 1, 0, 0.5f))
        .chunk(4, materialChunk(2, "red", 1, 0, 0))
        .chunk(2, squareChunk(1, 0, "glass", 1))
        .chunk(2, squareChunk(2, 0, "solid", 2))
        .chunk(5, cameraChunk(4, "Camera01", 0, 0, 5, 45.0f, 0))
        .end();
    auto scene = load(f.str());
    EXPECT_EQ(scene->firstObject()->name(), "solid");
    EXPECT_EQ(scene->firstObject()->next()->name(), "glass");
    // Target id 0: the first top-level object after the reordering.
    EXPECT_EQ(scene->currentCamera()->target()->name(), "solid");
}

TEST_F(SceneFileReaderTest, UnknownChunksAreSkippedByTheirLength)
{
    // Forty bytes that would read as a mesh chunk header if not skipped.
    Bytes junk;
    junk.i32(2).i32(128).zeros(32);
    SceneFile f;
    f.chunk(12, junk).chunk(3, dummyChunk(1, 0, "after")).chunk(5, cameraChunk(2, "c", 0, 0, 5, 45, 0)).end();
    // Nothing after the end chunk is read.
    const std::string bytes = f.str() + "garbage after the end";
    auto scene = load(bytes);
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->firstObject()->name(), "after");
    EXPECT_EQ(scene->firstObject()->next(), nullptr);
}

TEST_F(SceneFileReaderTest, LengthsAreFollowedOnlyToPassOverUnknownChunks)
{
    // A known chunk is read by its record, whatever its length field says.
    SceneFile known;
    known.chunk(3, dummyChunk(1, 0, "first"), 100000).chunk(3, dummyChunk(2, 0, "second")).end();
    auto scene = load(known.str());
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->firstObject()->name(), "first");
    ASSERT_NE(scene->firstObject()->next(), nullptr);
    EXPECT_EQ(scene->firstObject()->next()->name(), "second");

    // An unknown chunk whose length runs past the end passes over the rest.
    SceneFile trailing;
    trailing.chunk(3, dummyChunk(1, 0, "kept")).chunk(12, Bytes().zeros(8), 4000);
    scene = load(trailing.str());
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->firstObject()->name(), "kept");
    EXPECT_EQ(scene->firstObject()->next(), nullptr);

    // So does a controller of a kind the format does not define.
    SceneFile controller;
    controller.chunk(3, dummyChunk(1, 0, "owner")).chunk(8, controllerHeader(1, 4, 2, 3, 0), 5000);
    scene = load(controller.str());
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->firstObject()->name(), "owner");
}

TEST_F(SceneFileReaderTest, AFileWithoutItsEndChunkKeepsWhatItHolds)
{
    SceneFile f;
    f.chunk(3, dummyChunk(1, 0, "only"));
    auto scene = load(f.str() + std::string("\x01\x00", 2));  // not a whole header
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->firstObject()->name(), "only");
}

TEST_F(SceneFileReaderTest, TextureNamesLoseTheirFoldersAndComeFromTheTextureDirectory)
{
    dir_.write("reader_wall.tga", solidTga(64, 64, 0, 0, 255));
    dir_.write("reader_plain.tga", solidTga(64, 64, 0, 255, 0));
    SceneFile f;
    f.chunk(4, materialChunk(1, "wall", 1, 1, 1, 1.0f, {"C:\\max\\maps\\reader_wall.tga"}))
        .chunk(4, materialChunk(2, "plain", 1, 1, 1, 1.0f, {"reader_plain.tga"}))
        .chunk(2, squareChunk(1, 0, "square", 1))
        .chunk(5, cameraChunk(4, "Camera01", 0, 0, 5, 45.0f, 0))
        .chunk(7, lightChunk(5, "Omni01", 0, 0, 5, 0.0f, 0))
        .end();
    auto scene = load(f.str());
    const Material* wall = scene->materials()[0].get();
    const Material* plain = scene->materials()[1].get();
    ASSERT_NE(wall->diffuseMap(), nullptr);
    ASSERT_NE(plain->diffuseMap(), nullptr);
    EXPECT_EQ(wall->mode(), 1);
    EXPECT_EQ(TextureManager::referenceCount("reader_wall.tga"), 1);
    EXPECT_EQ(TextureManager::referenceCount("C:\\max\\maps\\reader_wall.tga"), 0);
    scene->render();
    EXPECT_GE(centrePixel().b, 230);  // the blue picture, lit white
    glDisable(GL_TEXTURE_2D);
}

// A light whose projected texture loads is a projector: it keeps the
// texture and lights nothing in OpenGL. One without a texture name stays an
// ordinary light.
TEST_F(SceneFileReaderTest, ALightWithAProjectedTextureIsAProjectorThatLightsNothing)
{
    dir_.write("reader_gobo.tga", solidTga(64, 64, 255, 255, 255));
    for (const bool textureLoads : {true, false}) {
        SCOPED_TRACE(textureLoads ? "projector" : "no texture");
        SceneFile f;
        f.chunk(4, materialChunk(1, "red", 1, 0, 0))
            .chunk(2, squareChunk(2, 0, "square", 1))
            .chunk(5, cameraChunk(3, "Camera01", 0, 0, 5, 45.0f, 2))
            .chunk(7, lightChunk(4, "Spot01", 0, 0, 5, 0.0f, 2, 60.0f,
                                 textureLoads ? "C:\\maps\\reader_gobo.tga" : ""))
            .end();
        auto scene = load(f.str());
        ASSERT_NE(scene, nullptr);
        Light* light = scene->findLight("Spot01");
        ASSERT_NE(light, nullptr);
        EXPECT_EQ(light->projectedTexture() != nullptr, textureLoads);
        EXPECT_EQ(light->enabled(), !textureLoads);
        clearFrame();
        scene->render();
        EXPECT_EQ(glIsEnabled(light->glLight()) == GL_TRUE, !textureLoads);
        if (textureLoads)
            EXPECT_LE(centrePixel().r, 5) << "the only light is a projector: the square stays dark";
        else
            EXPECT_GE(centrePixel().r, 200);
    }
    EXPECT_EQ(TextureManager::referenceCount("reader_gobo.tga"), 1);
}

TEST_F(SceneFileReaderTest, StoredTexturePathsAreUsedWholeWhenSwitchedOn)
{
    const std::string picture = dir_.write("reader_stored.tga", solidTga(64, 64, 9, 9, 9));
    SceneFile f;
    f.chunk(4, materialChunk(1, "stored", 1, 1, 1, 1.0f, {picture})).end();
    SceneFileReader::setUseStoredTexturePaths(true);
    textures_ = "/nonexistent/";
    auto scene = load(f.str());
    SceneFileReader::setUseStoredTexturePaths(false);
    EXPECT_NE(scene->materials()[0]->diffuseMap(), nullptr);
    EXPECT_EQ(TextureManager::referenceCount(picture.c_str()), 1);
}

TEST_F(SceneFileReaderTest, MaterialModesFollowTheTexturesThatLoaded)
{
    for (const char* name : {"rm_d.tga", "rm_r.tga", "rm_a.tga", "rm_b.tga", "rm_o.tga", "rm_l.tga"})
        dir_.write(name, solidTga(64, 64, 200, 200, 200));
    const struct {
        std::vector<std::string> maps;
        bool dynamic;
        int mode;
    } rows[] = {
        {{"rm_d.tga", "rm_r.tga"}, true, 11},          {{"rm_d.tga"}, true, 10},
        {{"rm_d.tga", "rm_r.tga"}, false, 4},          {{"rm_d.tga", "", "", "", "", "rm_l.tga"}, false, 5},
        {{"rm_d.tga", "", "", "rm_b.tga"}, false, 6},  {{"", "rm_r.tga", "", "rm_b.tga"}, false, 7},
        {{"", "", "rm_a.tga"}, false, 1},              {{"rm_d.tga"}, false, 1},
        {{"", "rm_r.tga"}, false, 2},                  {{"", "", "", "", "rm_o.tga"}, false, 0},
        {{}, false, 0},
    };
    SceneFile f;
    int id = 0;
    for (const auto& row : rows)
        f.chunk(4, materialChunk(id++, "m", 1, 1, 1, 1.0f, row.maps, row.dynamic));
    auto scene = load(f.end().str());
    ASSERT_EQ(scene->materials().size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(scene->materials()[i]->mode(), rows[i].mode) << i;
    EXPECT_TRUE(scene->materials()[6]->additive());
    EXPECT_NE(scene->materials()[6]->diffuseMap(), nullptr);  // the additive map takes the diffuse slot
    EXPECT_TRUE(scene->materials()[9]->alphaTest());  // an opacity map alone
}

TEST_F(SceneFileReaderTest, SampledControllersAnimateTheirOwner)
{
    SceneFile f;
    f.chunk(3, dummyChunk(7, 0, "mover"))
        .chunk(8, sampleController(7, 4, 160, 10.0f))
        .chunk(5, cameraChunk(4, "Camera01", 0, 0, 5, 45.0f, 0));
    // Keys are read and stored on their owner, never played.
    Bytes keys = controllerHeader(8, 2, 2, 2, 0);
    for (int i = 0; i < 2; ++i)
        keys.i16(static_cast<int16_t>(i * 10)).zeros(2).vec(5, 5, 5).f32(0).f32(0).f32(0).f32(0).f32(0);
    Bytes turns = controllerHeader(4, 3, 2, 1, 0);
    turns.i16(3).zeros(2).quat(0, 0, 0, 1);
    f.chunk(3, dummyChunk(8, 0, "keyed")).chunk(8, keys).chunk(8, turns);
    // A key controller of a type this format does not define is passed over.
    Bytes odd = controllerHeader(8, 9, 2, 3, 0);
    odd.zeros(12);
    f.chunk(8, odd).end();
    auto scene = load(f.str());
    EXPECT_EQ(scene->sampleCount(), 4);
    EXPECT_EQ(scene->sampleInterval(), 160);
    scene->setTime(400.0f);
    EXPECT_FLOAT_EQ(scene->findByName("mover")->position().x, 25.0f);
    SceneNode* keyed = scene->findByName("keyed");
    ASSERT_EQ(keyed->positionKeys().size(), 2u);
    EXPECT_EQ(keyed->positionKeys()[1].frame, 10);
    EXPECT_FLOAT_EQ(keyed->position().x, 0.0f);
    EXPECT_EQ(scene->currentCamera()->rotationKeys().size(), 1u);
}

TEST_F(SceneFileReaderTest, SamplesWithoutOwnerAreSkippedWithAMessage)
{
    SceneFile f;
    f.chunk(3, dummyChunk(1, 0, "d")).chunk(8, sampleController(99, 3, 50, 1.0f)).chunk(3, dummyChunk(2, 0, "e")).end();
    testing::internal::CaptureStderr();
    auto scene = load(f.str());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(message("could not find owner for GRAFT_CTRL_PR object - skipping it!")), std::string::npos)
        << said;
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->sampleCount(), 3);
    EXPECT_EQ(scene->sampleInterval(), 50);
    EXPECT_EQ(scene->firstObject()->next()->name(), "e");  // loading went on
}

TEST_F(SceneFileReaderTest, FatalMessagesNameTheFileAndTheFault)
{
    const auto dies = [this](const std::string& bytes, const std::string& text) {
        expectLoadEnds("fatal.scn", bytes, text);
    };
    Bytes notZero;
    notZero.i32(1).i32(1).i32(0);
    dies(notZero.str(), "not a grafter file");
    dies(SceneFile().chunk(2, squareChunk(5, 9, "child", 0)).chunk(3, dummyChunk(9, 0, "late")).end().str(),
         "object 5 could not find parent obj 9");
    dies(SceneFile().chunk(3, dummyChunk(6, 8, "child")).end().str(), "dummy object 6 could not find parent obj 8");
    dies(SceneFile().chunk(4, materialChunk(1, "m", 1, 1, 1, 1, {"D:\\a\\missing.tga"})).end().str(),
         "could not load texture missing.tga\n");
    Bytes keys = controllerHeader(42, 2, 2, 1, 0);
    keys.zeros(36);
    dies(SceneFile().chunk(3, dummyChunk(1, 0, "d")).chunk(8, keys).end().str(),
         "could not find owner for controller object");
    Bytes otherSamples = controllerHeader(1, 7, 1, 0, 10);
    dies(SceneFile().chunk(3, dummyChunk(1, 0, "d")).chunk(8, otherSamples).end().str(),
         "other sample controller type than GRAFT_CTRL_PR not supported yet");

    path_ = dir_.path().string() + "/absent.scn";
    EXPECT_EXIT(
        {
            SceneFileReader reader;
            reader.load(path_.c_str(), textures_.c_str());
        },
        ::testing::ExitedWithCode(1), diesSaying("absent.scn", "could not open file"));
}

TEST_F(SceneFileReaderTest, DamagedFilesStopWithAMessageInsteadOfReadingOutside)
{
    const auto damaged = [this](const std::string& bytes, const char* what) {
        expectLoadEnds("damaged.scn", bytes, "not a grafter file", what);
    };
    const std::string square = squareChunk(1, 0, "s", 0).str();
    // Counts far beyond the file (their products overflow 32 bits).
    for (uint32_t huge : {0xFFFFFFFFu, 0x15555556u}) {
        for (size_t field : {60u, 64u, 72u}) {
            std::string bad = square;
            for (int i = 0; i < 4; ++i)
                bad[field + static_cast<size_t>(i)] = static_cast<char>((huge >> (8 * i)) & 0xFF);
            damaged(SceneFile().chunk(2, Bytes().raw(bad)).end().str(), "huge count");
        }
    }
    // The file ends inside the mesh arrays.
    damaged(SceneFile().chunk(2, Bytes().raw(square.substr(0, square.size() - 10))).str(), "truncated arrays");
    // A face corner naming vertex 4 of 4, or coordinate -1.
    damaged(SceneFile()
                .chunk(2, meshChunk(1, 0, "s", {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {}, {{{0, 1, 4}, {0, 0, 0}, 0, 0}}))
                .end()
                .str(),
            "vertex index");
    damaged(SceneFile()
                .chunk(2, meshChunk(1, 0, "s", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0}, {{{0, 1, 2}, {0, -1, 0}, 0, 0}}))
                .end()
                .str(),
            "coordinate index");
    // Lengths that run backwards, for unknown and known chunks.
    damaged(SceneFile().chunk(12, Bytes().zeros(8), -16).end().str(), "negative length");
    damaged(SceneFile().chunk(3, dummyChunk(1, 0, "d"), -1).end().str(), "negative length of a known chunk");
    // Records cut short by the end of the file, whatever their length says.
    damaged(SceneFile().chunk(5, Bytes().zeros(30)).str(), "short camera");
    damaged(SceneFile().chunk(3, Bytes().zeros(60), 100).str(), "short dummy with a long length");
    // Controller counts that are negative or larger than the file.
    damaged(SceneFile().chunk(3, dummyChunk(1, 0, "d")).chunk(8, controllerHeader(1, 5, 1, -1, 10)).end().str(),
            "negative count");
    damaged(SceneFile().chunk(3, dummyChunk(1, 0, "d")).chunk(8, controllerHeader(1, 5, 1, 0x7FFFFFFF, 10)).end().str(),
            "count past the end");
}

TEST_F(SceneFileReaderTest, ANameWithoutItsNulIsNamedWithItsChunk)
{
    // what: "<field> of the <chunk> chunk at offset N".
    const auto unterminated = [this](const std::string& bytes, const std::string& what) {
        const size_t of = what.find(" of the ");
        expectLoadEnds("names.scn", bytes,
                       "not a grafter file: " + what.substr(of + 8) + ": the " + what.substr(0, of) + " has no NUL");
    };
    const std::string full(52, 'n');
    const float at[3] = {0, 0, 0};
    // The dummy is 8 + 100 bytes long: the second chunk starts at 4 + 108.
    unterminated(SceneFile().chunk(3, dummyChunk(1, 0, "d")).chunk(3, dummyChunk(2, 0, full)).end().str(),
                 "object name of the dummy chunk at offset 112");
    unterminated(SceneFile().chunk(2, squareChunk(1, 0, full, 0, at)).end().str(),
                 "object name of the mesh chunk at offset 4");
    unterminated(SceneFile().chunk(4, materialChunk(1, "m", 1, 1, 1, 1, {std::string(100, 't')})).end().str(),
                 "diffuse map of the material chunk at offset 4");
    unterminated(SceneFile().chunk(4, materialChunk(1, full, 1, 1, 1)).end().str(),
                 "material name of the material chunk at offset 4");
    unterminated(SceneFile().chunk(5, cameraChunk(1, full, 0, 0, 5, 45, 0)).end().str(),
                 "camera name of the camera chunk at offset 4");
    unterminated(SceneFile().chunk(9, pointChunk(1, full, 0, 0, 0)).end().str(),
                 "object name of the particle system chunk at offset 4");
    unterminated(SceneFile().chunk(7, lightChunk(1, full, 0, 0, 5, 10, 0)).end().str(),
                 "light name of the light chunk at offset 4");
}

TEST_F(SceneFileReaderTest, ShowScenesLoadWithoutErrors)
{
    // The show's generated scenes, when a build has made them.
    const std::string source = SW_SOURCE_DIR;
    int loaded = 0;
    for (const char* build : {"/build/show/data/", "/build-scene/show/data/"}) {
        for (const char* name : {"gang.scn", "welderscene4.scn", "tree.scn", "cranium.scn", "gallery.scn"}) {
            const std::string path = source + build + name;
            if (!std::ifstream(path).good())
                continue;
            const std::string textures = source + build + "textures/";
            testing::internal::CaptureStderr();
            SceneFileReader reader;
            std::unique_ptr<Scene> scene(reader.load(path.c_str(), textures.c_str()));
            const std::string said = testing::internal::GetCapturedStderr();
            ASSERT_NE(scene, nullptr) << path;
            EXPECT_EQ(said.find("Error in parsing"), std::string::npos) << said;
            EXPECT_NE(scene->firstObject(), nullptr) << path;
            EXPECT_NE(scene->currentCamera(), nullptr) << path;
            if (std::string(name) == "welderscene4.scn") {
                EXPECT_NE(scene->findParticleNode("Spray01"), nullptr);  // where the sparks hang
                EXPECT_NE(scene->findByName("weld - tip"), nullptr);
                EXPECT_NE(scene->findLight("Spot01"), nullptr);
            }
            // One frame at the start of its animation draws something.
            clearFrame();
            scene->setTime(0.0f);
            scene->render();
            int drawn = 0;
            for (int y = 0; y < 480; y += 16)
                for (int x = 0; x < 640; x += 16) {
                    const Rgba p = readPixel(x, y);
                    drawn += p.r + p.g + p.b > 0 ? 1 : 0;
                }
            EXPECT_GT(drawn, 40) << path;
            ++loaded;
        }
    }
    if (loaded == 0)
        GTEST_SKIP() << "no generated show scenes yet";
}

}  // namespace
