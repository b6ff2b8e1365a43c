#include "scene/welder_scene.h"

#include <GL/gl.h>

#include "resources/textures/texture_manager.h"

WelderScene::WelderScene(const char* scenePath) : ShowScene(scenePath)
{
    Scene* s = scene();
    if (s == nullptr)
        return;
    if (Light* spot = s->findLight("Spot01"))
        spot->setShadowCaster(true);
    s->enableShadows(true);
    spray_ = s->findParticleNode("Spray01");
    SceneNode* tip = s->findByName("weld - tip");
    Texture* sparkTexture = TextureManager::loadTexture("particle_spark.png", "data/textures/", GL_TEXTURE_2D);
    // Sparks need both the spray and the tip to hang from.
    if (spray_ == nullptr || tip == nullptr)
        return;
    emitter_ = new SparkEmitter(2000, "sparky", SparkEmitter::defaultCapacity);
    emitter_->setTexture(sparkTexture);
    glow_ = new GlowFlare(1, "blender");
    tip->addChild(emitter_);
    tip->addChild(glow_);
}

void WelderScene::start(int32_t time)
{
    SceneEffect::start(time);
    if (spray_ != nullptr)
        spray_->setLastTime(time);
    if (emitter_ == nullptr)
        return;
    emitter_->restartClock(static_cast<float>(time));
    glow_->setLastTime(static_cast<float>(time));
    emitter_->reset();
    emitter_->setEmitting(false);
}

bool WelderScene::insideSparkWindow(float e)
{
    static const float windows[][2] = {{288, 308},   {378, 407},   {570, 590},   {1220, 1240}, {1507, 1527},
                                       {1887, 1907}, {2039, 2059}, {2151, 2171}, {2334, 2354}, {2500, 2520},
                                       {2640, 2660}, {3140, 3160}, {3824, 3844}, {3961, 3981}};
    for (const auto& w : windows)
        if (e > w[0] && e < w[1])
            return true;
    return false;
}

void WelderScene::update(int32_t time, bool applyViewport)
{
    Scene* s = scene();
    if (s == nullptr)
        return;
    animate(time);
    Effect::update(time, applyViewport);
    const float p = progress();
    if (spray_ != nullptr)
        spray_->update(p);
    if (emitter_ != nullptr) {
        emitter_->advance(p, frameDelta());
        glow_->advance(p);
    }
    s->setTime(p);
    const float e = static_cast<float>(s->sampleIndex()) * static_cast<float>(s->sampleInterval());
    if (emitter_ != nullptr)
        emitter_->setEmitting(insideSparkWindow(e));
    s->render();
    if (emitter_ != nullptr) {
        glow_->renderGlow();
        emitter_->renderSparks();
    }
    restoreCommonState();
}

void WelderScene::command(Command c)
{
    SceneEffect::command(c);
    if (emitter_ == nullptr)
        return;
    const int32_t* a = c.args;
    const auto f = [](int32_t v) { return static_cast<float>(v); };
    SparkBounds& box = sparkBounds();
    switch (c.code) {
    case 90: emitter_->setVisible(a[0] != 0, true); break;
    case 91: emitter_->setSpread(Vec3(f(a[0]), f(a[1]), f(a[2]))); break;
    case 92: emitter_->setAcceleration(Vec3(f(a[0]), f(a[1]), f(a[2]))); break;
    case 93: emitter_->setFade(f(a[0]) / 100.0f); break;
    case 94:
        box.centreX = f(a[0]) / 100.0f;
        box.top = f(a[1]) / 100.0f;
        box.centreZ = f(a[2]) / 100.0f;
        break;
    case 95: box.floor = f(a[0]) / 100.0f; break;
    case 96:
        box.halfX = f(a[0]);
        box.halfZ = f(a[1]);
        break;
    case 97: emitter_->setDivisor(a[0]); break;
    default: break;
    }
}
