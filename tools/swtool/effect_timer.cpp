#include "tools/swtool/effect_timer.h"

#include <GL/gl.h>

void EffectTimer::beginFrame()
{
    spent_.fill(0.0);
    active_ = 0;
}

void EffectTimer::enter(int place, Stage)
{
    glFinish();
    active_ |= uint64_t{1} << place;
    entered_ = std::chrono::steady_clock::now();
}

void EffectTimer::leave(int place, Stage)
{
    glFinish();
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - entered_;
    spent_[static_cast<size_t>(place)] += spent.count();
}
