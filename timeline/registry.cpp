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
        renderOne(0, time);
    for (int n = 0; n < size; ++n) {
        Effect* effect = places_[static_cast<size_t>(n)];
        if (effect != nullptr && effect->isActive())
            prerenderOne(n, time);
    }
    for (int n = 1; n < size; ++n) {
        Effect* effect = places_[static_cast<size_t>(n)];
        if (effect == nullptr || !effect->isActive())
            continue;
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        renderOne(n, time);
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
}

void EffectRegistry::prerenderOne(int n, int32_t time)
{
    if (probe_ != nullptr)
        probe_->enter(n, RenderProbe::Stage::prerender);
    places_[static_cast<size_t>(n)]->prerender(time);
    if (probe_ != nullptr)
        probe_->leave(n, RenderProbe::Stage::prerender);
}

void EffectRegistry::renderOne(int n, int32_t time)
{
    if (probe_ != nullptr)
        probe_->enter(n, RenderProbe::Stage::render);
    places_[static_cast<size_t>(n)]->render(time);
    if (probe_ != nullptr)
        probe_->leave(n, RenderProbe::Stage::render);
}

void EffectRegistry::rewindAll()
{
    for (Effect* effect : places_)
        if (effect != nullptr)
            effect->rewind();
}

void EffectRegistry::deactivateAll()
{
    for (Effect* effect : places_) {
        if (effect != nullptr)
            effect->deactivate();
    }
}
