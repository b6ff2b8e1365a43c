// The whole effect table built on the headless context, every effect shown
// at once: nothing crashes, and after every frame the GL state is what
// every effect may rely on.
#include "tests/support/commands.h"
#include "tests/support/gl_test.h"
#include "tests/support/process_image_cache.h"

#include "tests/support/working_directory.h"

#include "effects/ansi_glow_filters.h"
#include "effects/bars_ring.h"
#include "effects/beat_effects.h"
#include "effects/blur_warp_filters.h"
#include "effects/image_layers.h"
#include "effects/interference_clouds.h"
#include "effects/ribbons_trails.h"
#include "effects/screen_basics.h"
#include "resources/datafile.h"
#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"
#include "scene/scene_effects.h"
#include "scene/welder_scene.h"
#include "shell/music.h"
#include "timeline/effect.h"
#include "timeline/effect_table.h"
#include "timeline/registry.h"

#include <GL/gl.h>

#include <filesystem>
#include <map>
#include <memory>
#include <typeindex>
#include <typeinfo>

namespace {

class EffectTableTest : public GLTest {
protected:
    static void SetUpTestSuite()
    {
        GLTest::SetUpTestSuite();
        clearDataArchive();
        const auto inShow = enterShowFolder();
        TextureManager::setImageLibrary(&processImageCache());
        glViewport(0, 0, 640, 480);
        buildEffects(EffectRegistry::instance(), &processImageCache(), &window());
    }
    void SetUp() override
    {
        GLTest::SetUp();
        inShow_ = enterShowFolder();
    }
    void TearDown() override { inShow_.reset(); }

    // The show's own data tree when the build has laid it out; without it
    // every effect must still come up, with its pictures missing.
    static std::unique_ptr<ScopedWorkingDirectory> enterShowFolder()
    {
        const std::filesystem::path show = std::filesystem::path(SW_BINARY_DIR) / "show";
        if (!std::filesystem::exists(show / "data"))
            return nullptr;
        return std::make_unique<ScopedWorkingDirectory>(show);
    }

    static void expectCleanState(int32_t time)
    {
        SCOPED_TRACE(time);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_TRUE(depthWrites);
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_FLOAT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);
        GLint mode = 0, depth = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
        EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    }

    std::unique_ptr<ScopedWorkingDirectory> inShow_;
};

TEST_F(EffectTableTest, EveryNumberHoldsItsClass)
{
    std::map<int, std::type_index> expected = {
        {0, typeid(ClearEffect)},         {2, typeid(ImageLayer)},   {5, typeid(InterferenceEffect)},
        {6, typeid(CloudsEffect)},        {7, typeid(TrailsEffect)}, {8, typeid(WarpFilter)},
        {21, typeid(GangScene)},          {23, typeid(WelderScene)}, {24, typeid(TreeScene)},
        {25, typeid(CraniumScene)},       {27, typeid(GalleryScene)}, {40, typeid(AnsiFilter)},
        {41, typeid(RadialBlur)},         {42, typeid(MotionBlur)},  {43, typeid(GlowFilter)},
        {44, typeid(RadialBlur)},         {46, typeid(BarsEffect)},  {47, typeid(BarsEffect)},
        {48, typeid(RibbonsEffect)},      {49, typeid(SpriteRing)},  {54, typeid(LayerGroup)},
        {55, typeid(ImageLayer)},         {56, typeid(ImageLayer)},  {57, typeid(NoiseEffect)},
        {61, typeid(InvertEffect)},       {62, typeid(FadeEffect)},  {63, typeid(FlashEffect)},
    };
    // The beat detector exists only with sound.
    if (soundInitialised())
        expected.emplace(1, typeid(BeatDetector));
    EffectRegistry& registry = EffectRegistry::instance();
    for (int n = 0; n < EffectRegistry::size; ++n) {
        SCOPED_TRACE(n);
        const Effect* effect = registry.get(n);
        const auto wanted = expected.find(n);
        if (wanted == expected.end()) {
            EXPECT_EQ(effect, nullptr) << "number " << n << " should be empty";
            continue;
        }
        ASSERT_NE(effect, nullptr) << "number " << n << " is empty";
        EXPECT_TRUE(std::type_index(typeid(*effect)) == wanted->second)
            << "number " << n << " holds " << typeid(*effect).name() << ", not " << wanted->second.name();
    }
}

TEST_F(EffectTableTest, AllEffectsAtOnceLeaveTheStateClean)
{
    EffectRegistry& registry = EffectRegistry::instance();
    registry.startAll();
    const struct {
        int filter, source;
    } bindings[] = {{8, 5}, {40, 2}, {41, 6}, {42, 7}, {43, 55}, {44, 48}};
    for (const auto& b : bindings) {
        if (Effect* filter = registry.get(b.filter))
            filter->command(numericCommand(70, {b.source}));
    }
    for (int n = 0; n < EffectRegistry::size; ++n) {
        if (Effect* effect = registry.get(n))
            effect->activate();
    }
    for (int32_t time : {1, 40, 500, 2000, 2017, 9000}) {
        registry.renderAll(time);
        expectCleanState(time);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << time;
    }
    registry.deactivateAll();
    for (int n = 0; n < EffectRegistry::size; ++n) {
        if (Effect* effect = registry.get(n)) {
            EXPECT_FALSE(effect->isActive()) << n;
        }
    }
}

}  // namespace
