#include "effects/beat_effects.h"

#include "shell/music.h"
#include "timeline/registry.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

constexpr int bins = 512;

Command beatCommand(int code, int32_t value)
{
    Command c;
    c.code = code;
    c.args[0] = value;
    c.argCount = 1;
    return c;
}

}  // namespace

BeatDetector::BeatDetector(SpectrumSource& source, EffectRegistry& registry) : source_(source), registry_(registry) {}

void BeatDetector::start(int32_t)
{
    source_.activate();
    historyLength_ = 10;
    historyTotal_ = 0.0f;
    rule_ = BeatRule{};
    history_.assign(static_cast<size_t>(historyLength_), 0.0f);
    targets_.clear();
}

void BeatDetector::render(int32_t time)
{
    const float* s = source_.spectrum();
    if (s == nullptr)
        return;
    float peak = 0.0f;
    float sum = 0.0f;
    for (int i = 0; i < bins; ++i) {
        peak = std::max(peak, s[i]);
        sum += s[i];
    }

    historyTotal_ -= history_.front();
    history_.pop_front();
    historyTotal_ += sum;
    history_.push_back(sum);
    const float average = historyTotal_ / static_cast<float>(historyLength_);
    if (showSpectrum_)
        drawSpectrum(s, sum, average);

    if (rule_.apply(peak, sum)) {
        for (Effect* target : targets_)
            target->command(beatCommand(400, time));
    }
    for (Effect* target : targets_) {
        target->command(beatCommand(402, static_cast<int32_t>(sum)));
        target->command(beatCommand(401, static_cast<int32_t>(average)));
    }
}

void BeatDetector::command(Command c)
{
    Effect::command(c);
    switch (c.code) {
    case 72:
        if (Effect* effect = registry_.get(c.args[0]))
            targets_.push_back(effect);
        break;
    case 73: {
        Effect* effect = registry_.get(c.args[0]);
        const auto found = std::find(targets_.begin(), targets_.end(), effect);
        if (effect != nullptr && found != targets_.end())
            targets_.erase(found);
        break;
    }
    case 90:
        showSpectrum_ = c.args[0] != 0;
        break;
    default:
        break;
    }
}

void BeatDetector::drawSpectrum(const float* s, float sum, float average) const
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1.0, 1.0, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glBegin(GL_LINES);
    for (int i = 0; i < bins; ++i) {
        const float x = static_cast<float>(i) / bins;
        glColor3f(0.0f, 1.0f, 0.0f);
        glVertex2f(x, 1.0f);
        glColor3f(s[i], 1.0f - s[i], 0.0f);
        glVertex2f(x, 1.0f - s[i]);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    glVertex2f(0.0f, 0.5f);
    glVertex2f(average / 20.0f, 0.5f);
    glVertex2f(0.0f, 0.3f);
    glVertex2f(sum / 20.0f, 0.3f);
    glEnd();
}
