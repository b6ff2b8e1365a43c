#include "scene/scene_effect.h"

#include <GL/gl.h>

#include "scene/material.h"
#include "scene/scene_file_reader.h"
#include "shell/error_report.h"

namespace {

float percent(int32_t v) { return static_cast<float>(v) / 100.0f; }

}  // namespace

SceneEffect::SceneEffect(const char* scenePath)
{
    SceneFileReader reader;
    scene_.reset(reader.load(scenePath, "data/textures/"));
    if (scene_ == nullptr) {
        reportError("could not load scene", -1, true);
        return;
    }
    if (Camera* camera = scene_->currentCamera())
        fovParam_.set(camera->fov());
}

SceneEffect::~SceneEffect() = default;

template <typename Value>
Value& SceneEffect::entry(NodeTable<Value>& table, SceneNode* node)
{
    for (auto& e : table)
        if (e.first == node)
            return e.second;
    table.emplace_back(node, Value());
    return table.back().second;
}

void SceneEffect::start(int32_t time)
{
    reset(time);
    sceneStart_ = time;
    animate(time);
    spins_.clear();
    moves_.clear();
    fades_.clear();
}

void SceneEffect::animate(int32_t time)
{
    if (scene_ == nullptr)
        return;
    const float p = progress();
    for (auto& [node, rate] : spins_)
        node->setRotationDegrees(p * rate.x, p * rate.y, p * rate.z);
    for (auto& [node, velocity] : moves_)
        node->setPosition(p * velocity.x, p * velocity.y, p * velocity.z);
    for (auto& [node, fade] : fades_) {
        const float ref = fade.evaluate(time);
        if (Material* m = node->material())
            m->setAlphaRef(ref);
    }
    fovParam_.evaluate(time);
    if (Camera* camera = scene_->currentCamera())
        camera->setFov(fovParam_.get());
}

void SceneEffect::update(int32_t time, bool applyViewport)
{
    Effect::update(time, applyViewport);
    if (scene_ == nullptr)
        return;
    scene_->setTime(progress());
    scene_->render();
    restoreCommonState();
}

void SceneEffect::playFrame(int32_t time, bool applyViewport)
{
    if (scene_ == nullptr)
        return;
    animate(time);
    Effect::update(time, applyViewport);
    scene_->setTime(progress());
    scene_->render();
    restoreCommonState();
}

void SceneEffect::restoreCommonState()
{
    selectTextureUnit(0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void SceneEffect::command(Command c)
{
    if (scene_ != nullptr)
        sceneCommand(c);
    Effect::command(c);
}

void SceneEffect::sceneCommand(const Command& c)
{
    Scene& s = *scene_;
    const int32_t* a = c.args;
    SceneNode* object = s.currentObject();
    Material* material = object != nullptr ? object->material() : nullptr;
    Light* light = s.currentLight();
    Camera* camera = s.currentCamera();
    switch (c.code) {
    case 20: s.nextCamera(); break;
    case 21: s.selectCamera(c.text); break;
    case 230:
        if (SceneNode* node = s.findById(a[0]))
            node->setMaterialMode(8);
        break;
    case 231: s.setCulling(a[0] != 0); break;
    case 232: s.setFog(a[0] != 0); break;
    case 233:
        s.setFogColour(static_cast<float>(a[0]) / 255.0f, static_cast<float>(a[1]) / 255.0f,
                       static_cast<float>(a[2]) / 255.0f, 1.0f);
        break;
    case 234: s.setFogDensity(static_cast<float>(a[0]) / 1000.0f); break;
    case 235: s.setFogRange(static_cast<float>(a[0]), static_cast<float>(a[1])); break;
    case 236: s.setFogMode(a[0] == 2 ? GL_EXP2 : a[0] == 3 ? GL_LINEAR : GL_EXP); break;
    case 250:
        if (camera != nullptr)
            camera->setFov(static_cast<float>(a[0]));
        fovParam_.set(static_cast<float>(a[0]));
        break;
    case 251:
        if (camera != nullptr)
            camera->setAspect(percent(a[0]));
        break;
    case 252: s.setNearAll(static_cast<float>(a[0])); break;
    case 253: s.setFarAll(static_cast<float>(a[0])); break;
    case 254:
        fovParam_.moveTo(static_cast<float>(a[0]));
        fovParam_.setStartTime(a[1] + c.timeOffset);
        fovParam_.setDuration(static_cast<float>(a[2]));
        if (c.argCount >= 4)
            fovParam_.setCurve(a[3]);
        if (c.argCount >= 6)
            fovParam_.setTangents(percent(a[4]), percent(a[5]));
        break;
    case 255: s.selectObject(c.text); break;
    case 256:
        if (object != nullptr)
            entry(spins_, object) = Vec3(percent(a[0]), percent(a[1]), percent(a[2]));
        break;
    case 257:
        if (object != nullptr)
            entry(moves_, object) = Vec3(percent(a[0]), percent(a[1]), percent(a[2]));
        break;
    case 258:
        if (material != nullptr)
            material->setOpacity(percent(a[0]));
        break;
    case 259:
        if (object != nullptr)
            object->setVisible(a[0] != 0, true);
        break;
    case 260:
        if (object != nullptr)
            entry(fades_, object).set(percent(a[0]));
        break;
    case 261:
        if (object != nullptr) {
            AnimParam& fade = entry(fades_, object);
            fade.moveTo(percent(a[0]));
            fade.setStartTime(a[1]);
            fade.setDuration(static_cast<float>(a[2]));
        }
        break;
    case 262:
        if (material != nullptr)
            material->setWireframe(a[0] != 0);
        break;
    case 280: s.selectLight(c.text); break;
    case 281:
        if (light != nullptr)
            light->setConstantAttenuation(static_cast<float>(a[0]));
        break;
    case 282:
        if (light != nullptr)
            light->setLinearAttenuation(static_cast<float>(a[0]));
        break;
    case 283:
        if (light != nullptr)
            light->setQuadraticAttenuation(static_cast<float>(a[0]));
        break;
    case 284:
        if (light != nullptr) {
            light->setConstantAttenuation(static_cast<float>(a[0]) / 1000.0f);
            light->setLinearAttenuation(static_cast<float>(a[1]) / 1000.0f);
            light->setQuadraticAttenuation(static_cast<float>(a[2]) / 1000.0f);
        }
        break;
    case 285:
        if (light != nullptr)
            light->setSpotCutoff(static_cast<float>(a[0]));
        break;
    case 286:
        if (light != nullptr)
            light->setSpotExponent(static_cast<float>(a[0]));
        break;
    case 287:
        if (light != nullptr)
            light->setFlicker(a[0] != 0);
        break;
    case 300: s.setWireframeAll(a[0] != 0); break;
    case 301: s.setAllVisible(a[0] != 0); break;
    case 302: s.renderDepthOnly(); break;
    default: break;
    }
}
