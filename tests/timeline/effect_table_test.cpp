// The whole effect table built on the headless context, every effect shown
// at once: nothing crashes, and after every frame the GL state is what
// every effect may rely on.
#include "tests/support/commands.h"
#include "tests/support/gl_test.h"

#include "resources/datafile.h"
#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"
#include "timeline/effect.h"
#include "timeline/effect_table.h"
#include "timeline/registry.h"

#include <GL/gl.h>

#include <filesystem>
#include <set>

namespace {

class EffectTableTest : public GLTest {
protected:
    static void SetUpTestSuite()
    {
        GLTest::SetUpTestSuite();
        clearDataArchive();
        // The show's own data tree when the build has laid it out; without
        // it every effect must still come up, with its pictures missing.
        const std::filesystem::path show = std::filesystem::path(SW_BINARY_DIR) / "show";
        if (std::filesystem::exists(show / "data"))
            std::filesystem::current_path(show);
        images_ = new ImageCache;
        TextureManager::setImageLibrary(images_);
        glViewport(0, 0, 640, 480);
        buildEffects(EffectRegistry::instance(), images_, &window());
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

    static inline ImageCache* images_ = nullptr;
};

TEST_F(EffectTableTest, EveryNumberHoldsItsClass)
{
    const std::set<int> filled = {0,  2,  5,  6,  7,  8,  40, 41, 42, 43, 44, 46,
                                  47, 48, 49, 54, 55, 56, 57, 61, 62, 63};
    // 1 holds the beat detector only with sound; the scene effects (21, 23,
    // 24, 25, 27) have tests of their own.
    const std::set<int> elsewhere = {1, 21, 23, 24, 25, 27};
    EffectRegistry& registry = EffectRegistry::instance();
    for (int n = 0; n < EffectRegistry::size; ++n) {
        if (elsewhere.count(n) == 0) {
            EXPECT_EQ(registry.get(n) != nullptr, filled.count(n) != 0) << "number " << n;
        }
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
