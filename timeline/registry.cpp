#include "timeline/registry.h"

#include "timeline/effect.h"

#include <GL/gl.h>

EffectRegistry& EffectRegistry::instance()
{
    static EffectRegistry registry;
    return registry;
}

void EffectRegistry::set(int n, Effect* effect)
{
    if (n >= 0 && n < size)
        places_[static_cast<size_t>(n)] = effect;
}

Effect* EffectRegistry::get(int n) const { return n >= 0 && n < size ? places_[static_cast<size_t>(n)] : nullptr; }

void EffectRegistry::startAll()
{
    for (Effect* effect : places_) {
        if (effect != nullptr)
            effect->start(0);
    }
}

void EffectRegistry::renderAll(int32_t time)
{
    Effect* background = places_[0];
    if (background != nullptr && background->isActive())
        background->render(time);
    for (Effect* effect : places_) {
        if (effect != nullptr && effect->isActive())
            effect->prerender(time);
    }
    for (int n = 1; n < size; ++n) {
        Effect* effect = places_[static_cast<size_t>(n)];
        if (effect == nullptr || !effect->isActive())
            continue;
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        effect->render(time);
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
}

void EffectRegistry::deactivateAll()
{
    for (Effect* effect : places_) {
        if (effect != nullptr)
            effect->deactivate();
    }
}
