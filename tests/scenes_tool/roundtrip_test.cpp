// The generated scenes through the player's own reader on the headless
// context: every file loads without a message, with its named nodes, its
// cameras and its clock, the materials take the modes their textures call
// for, and each scene draws something from its first camera.
#include <GL/gl.h>

#include <map>
#include <memory>
#include <string>

#include "scene/material.h"
#include "scene/scene.h"
#include "scene/scene_file_reader.h"
#include "tests/support/gl_test.h"
#include "tests/support/temp_dir.h"
#include "tools/scenes/scenes.h"
#include "tools/scenes/textures.h"

namespace {

class GeneratedSceneLoad : public GLTest {
protected:
    static void SetUpTestSuite()
    {
        GLTest::SetUpTestSuite();
        dir_ = new TempDir;
        ASSERT_TRUE(scenegen::writeSceneTextures(dir_->path().string()));
        for (const scenegen::ShowScene& s : scenegen::showScenes()) {
            const scenegen::SceneDraft draft = s.build();
            std::vector<uint8_t> bytes;
            std::string error;
            ASSERT_TRUE(draft.encode(bytes, error)) << error;
            dir_->write(s.file, std::string(bytes.begin(), bytes.end()));
            clocks_[s.file] = {draft.sampleCount(), draft.interval()};
        }
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
        GLTest::TearDownTestSuite();
    }

    // Loads a generated file; fails the test when the reader says anything.
    std::unique_ptr<Scene> load(const std::string& file)
    {
        const std::string path = (dir_->path() / file).string();
        const std::string textures = dir_->path().string() + "/";
        testing::internal::CaptureStderr();
        SceneFileReader reader;
        std::unique_ptr<Scene> scene(reader.load(path.c_str(), textures.c_str()));
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.find("Error in parsing"), std::string::npos) << said;
        return scene;
    }

    static int modeOf(Scene& scene, const std::string& node)
    {
        SceneNode* n = scene.findByName(node);
        if (n == nullptr || n->material() == nullptr)
            return -1;
        return n->material()->mode();
    }

    static inline TempDir* dir_ = nullptr;
    static inline std::map<std::string, std::pair<int32_t, int32_t>> clocks_;
};

TEST_F(GeneratedSceneLoad, EveryFileLoadsWithItsCamerasClockAndNamedNodes)
{
    const std::map<std::string, std::vector<std::string>> named = {
        {"gang.scn", {"lightbox", "walls", "floor", "Camera01", "Omni01"}},
        {"welderscene4.scn", {"weld - tip", "Spray01", "Spot01", "wrist", "Camera02"}},
        {"tree.scn", {"trunk", "branch01", "leaves01", "Sun", "Camera03"}},
        {"cranium.scn", {"cranium", "jaw", "Spot01", "pedestal", "Camera01"}},
        {"gallery.scn",
         {"vegg01", "overhode03", "stativ01", "stativ02", "stoetter", "vegg05", "stativcables", "cables", "spine", "gulv",
          "lamper", "soyle03", "kule01"}}};
    for (const scenegen::ShowScene& s : scenegen::showScenes()) {
        SCOPED_TRACE(s.file);
        std::unique_ptr<Scene> scene = load(s.file);
        ASSERT_NE(scene, nullptr);
        for (const std::string& name : named.at(s.file))
            EXPECT_NE(scene->findByName(name), nullptr) << name;
        EXPECT_EQ(scene->sampleCount(), clocks_[s.file].first);
        EXPECT_EQ(scene->sampleInterval(), clocks_[s.file].second);
        Camera* first = scene->currentCamera();
        ASSERT_NE(first, nullptr);
        scene->nextCamera();
        EXPECT_NE(scene->currentCamera(), first);
    }
    std::unique_ptr<Scene> welder = load("welderscene4.scn");
    ASSERT_NE(welder, nullptr);
    EXPECT_NE(welder->findParticleNode("Spray01"), nullptr);
    EXPECT_NE(welder->findLight("Spot01"), nullptr);
}

TEST_F(GeneratedSceneLoad, MaterialModesFollowTheTexturesTheFilesName)
{
    std::unique_ptr<Scene> gallery = load("gallery.scn");
    ASSERT_NE(gallery, nullptr);
    EXPECT_EQ(modeOf(*gallery, "gulv"), 5);     // diffuse and light map
    EXPECT_EQ(modeOf(*gallery, "kule01"), 11);  // dynamic reflection with a reflection map
    EXPECT_EQ(modeOf(*gallery, "bilde01"), 1);
    std::unique_ptr<Scene> cranium = load("cranium.scn");
    ASSERT_NE(cranium, nullptr);
    EXPECT_EQ(modeOf(*cranium, "cranium"), 6);   // diffuse and bump map
    EXPECT_EQ(modeOf(*cranium, "pedestal"), 1);
    std::unique_ptr<Scene> welder = load("welderscene4.scn");
    ASSERT_NE(welder, nullptr);
    EXPECT_EQ(modeOf(*welder, "wrist"), 2);  // reflection map only
    std::unique_ptr<Scene> tree = load("tree.scn");
    ASSERT_NE(tree, nullptr);
    SceneNode* leaves = tree->findByName("leaves01");
    ASSERT_NE(leaves, nullptr);
    ASSERT_NE(leaves->material(), nullptr);
    EXPECT_TRUE(leaves->material()->alphaTest());  // the opacity map cuts the leaf cards out
}

TEST_F(GeneratedSceneLoad, EachSceneDrawsFromItsFirstCamera)
{
    for (const scenegen::ShowScene& s : scenegen::showScenes()) {
        SCOPED_TRACE(s.file);
        std::unique_ptr<Scene> scene = load(s.file);
        ASSERT_NE(scene, nullptr);
        glViewport(0, 0, 640, 480);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene->setTime(300.0f);
        scene->render();
        const std::vector<uint8_t> rgb = readFrameRgb();
        size_t lit = 0;
        for (size_t i = 0; i < rgb.size(); i += 3)
            lit += (rgb[i] + rgb[i + 1] + rgb[i + 2] > 24) ? 1 : 0;
        EXPECT_GT(lit, rgb.size() / 3 / 5) << "less than a fifth of the frame drawn";
    }
}

}  // namespace
