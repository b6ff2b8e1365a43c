#include "scene/scene_effects.h"

#include <GL/gl.h>

#include "scene/material.h"

namespace {

// The light that casts the shadows of the cranium and welder scenes.
void castShadowsFromSpot(Scene* scene)
{
    if (scene == nullptr)
        return;
    if (Light* spot = scene->findLight("Spot01"))
        spot->setShadowCaster(true);
    scene->enableShadows(true);
}

}  // namespace

CraniumScene::CraniumScene(const char* scenePath) : ShowScene(scenePath) { castShadowsFromSpot(scene()); }

GalleryScene::GalleryScene(const char* scenePath) : ShowScene(scenePath)
{
    if (scene() == nullptr)
        return;
    static const char* const baked[] = {"vegg01", "overhode03", "stativ01",     "stativ02", "stoetter",
                                        "vegg05", "vegg05",     "stativcables", "cables",   "spine",
                                        "gulv",   "lamper",     "soyle03"};
    for (const char* name : baked) {
        SceneNode* node = scene()->findByName(name);
        if (node == nullptr)
            continue;
        if (Material* m = node->material())
            m->setBaked(true);
    }
}

GangScene::GangScene(const char* scenePath) : ShowScene(scenePath)
{
    Scene* s = scene();
    if (s == nullptr)
        return;
    s->setFog(true);
    s->setFogColour(0.25f, 0.25f, 0.25f, 1.0f);
    s->setFogMode(GL_LINEAR);
    s->setFogRange(250.0f, 500.0f);
    duration_ = 20;
    collectLightBoxes(s->firstObject());
    for (SceneNode* box : lightBoxes_)
        if (Material* m = box->material())
            m->setUnlit(true);
}

void GangScene::collectLightBoxes(SceneNode* node)
{
    for (; node != nullptr; node = node->next()) {
        if (node->name() == "lightbox")
            lightBoxes_.push_back(node);
        collectLightBoxes(node->firstChild());
    }
}

void GangScene::command(Command c)
{
    SceneEffect::command(c);
    if (c.code == 90)
        for (SceneNode* box : lightBoxes_)
            box->setVisible(c.args[0] != 0, false);
}
