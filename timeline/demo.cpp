#include "timeline/demo.h"

#include "shell/glwindow.h"
#include "timeline/effect.h"
#include "timeline/reference_rate.h"
#include "timeline/registry.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int escapeKey = 27;
constexpr int shiftKey = 16;
constexpr int controlKey = 17;
constexpr int spaceKey = 0x20;
constexpr int pageUpKey = 0x21;
constexpr int pageDownKey = 0x22;
constexpr int homeKey = 0x24;
constexpr int leftKey = 0x25;
constexpr int rightKey = 0x27;

constexpr int32_t shortJump = 5000;
constexpr int32_t longJump = 30000;

// The jump the keys pressed since the last frame ask for, in ms (0: none).
int32_t requestedJump(const GLWindow& window)
{
    int32_t jump = 0;
    if (window.keyPressed(leftKey) != 0)
        jump -= shortJump;
    if (window.keyPressed(rightKey) != 0)
        jump += shortJump;
    if (window.keyPressed(pageUpKey) != 0)
        jump -= longJump;
    if (window.keyPressed(pageDownKey) != 0)
        jump += longJump;
    return jump;
}

}  // namespace

Demo::Demo(std::string scriptPath) : scriptPath_(std::move(scriptPath)) {}

const Script& Demo::readScript()
{
    reloaded_ = std::make_unique<Script>(scriptPath_);
    return *reloaded_;
}

void Demo::setup(GLWindow& window, EffectRegistry& registry)
{
    window_ = &window;
    registry_ = &registry;
    quit_ = false;
    reload_ = false;
    script_.reset();
    script_ = reloaded_ != nullptr ? std::move(reloaded_) : std::make_unique<Script>(scriptPath_);
    registry_->rewindAll();
    deliverSetup();
}

void Demo::begin()
{
    const int32_t start = startTime();
    // The loading bar goes with the loading: a show with nothing to draw
    // yet at its start shows black, not the bar.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    rebuildAt(start);
    drawAt(start);
    window_->transport(start, false);
}

void Demo::deliverSetup()
{
    cursor_ = 0;
    for (const auto& event : script_->setupEvents()) {
        if (Effect* effect = registry_->get(event->effect))
            effect->command(event->payload);
    }
    registry_->startAll();
}

void Demo::restartAt(int32_t ms)
{
    if (script_ == nullptr)
        return;
    rebuildAt(ms);
    window_->transport(ms, window_->paused());
}

void Demo::rebuildAt(int32_t ms)
{
    registry_->deactivateAll();
    registry_->rewindAll();
    deliverSetup();
    // Straight playback begins at the script's start: the past stepped
    // through never reaches before it.
    const int32_t from = std::max(ms - pastStepped, std::min(ms, script_->demoStart()));
    const int64_t steps = referenceStepAt(ms - from);
    for (int64_t k = 0; k < steps; ++k) {
        const int32_t time = from + referenceStepTime(k);
        fireDueEvents(time);
        registry_->renderAll(time);
    }
}

bool Demo::reloadKeepingTime(std::string& failure)
{
    if (window_ == nullptr)
        return false;
    std::unique_ptr<Script> fresh = Script::tryLoad(scriptPath_, failure);
    if (fresh == nullptr)
        return false;
    script_ = std::move(fresh);
    rebuildAt(static_cast<int32_t>(window_->timerNow()));
    return true;
}

bool Demo::readScriptForReload()
{
    if (!lenientReload_)
        return true;
    std::string failure;
    reloaded_ = Script::tryLoad(scriptPath_, failure);
    if (reloaded_ == nullptr) {
        std::fprintf(stderr, "%s\nscript: the last good script plays on\n", failure.c_str());
        return false;
    }
    return true;
}

void Demo::jumpTo(int32_t ms) { restartAt(std::clamp(ms, 0, endTime())); }

int32_t Demo::endTime() const
{
    if (endOverride_ >= 0)
        return endOverride_;
    // Before the first setup, the script read ahead for it says.
    const Script* script = script_ != nullptr ? script_.get() : reloaded_.get();
    return script != nullptr && script->demoEnd() > 0 ? script->demoEnd() : defaultEndTime;
}

int32_t Demo::startTime() const
{
    if (startOverride_ >= 0)
        return startOverride_;
    return script_ != nullptr ? script_->demoStart() : 0;
}

void Demo::frame()
{
    if (!window_->active())
        return;
    window_->advanceTime();
    const bool escape = window_->keyDown(escapeKey) != 0;
    const bool reload = window_->keyDown(controlKey) != 0 && window_->keyDown(shiftKey) != 0;
    const bool togglePause = window_->keyPressed(spaceKey) != 0;
    const bool home = window_->keyPressed(homeKey) != 0;
    const int32_t jump = requestedJump(*window_);
    window_->keysSeen();
    if (escape) {
        quit_ = true;
        return;
    }
    if (reload && readScriptForReload()) {
        registry_->deactivateAll();
        script_.reset();
        reload_ = true;
        return;
    }
    if (reload)
        window_->clearKeys();  // one message per press, not one per frame held
    if (togglePause)
        window_->pause(!window_->paused());
    if (home)
        restartAt(startTime());
    else if (jump != 0)
        jumpTo(static_cast<int32_t>(window_->timerNow()) + jump);
    const auto time = static_cast<int32_t>(window_->timerNow());
    const bool atEnd = time >= endTime();
    if (atEnd && !loop_)
        quit_ = true;
    drawAt(time);
    if (atEnd && loop_)
        restartAt(startTime());
}

void Demo::drawAt(int32_t time)
{
    fireDueEvents(time);
    registry_->renderAll(time);
    if (observer_)
        observer_(time);
    window_->swapBuffers();
}

void Demo::fireDueEvents(int32_t time)
{
    if (script_ == nullptr)
        return;
    const auto& events = script_->timelineEvents();
    for (; cursor_ < events.size() && events[cursor_]->time <= time; ++cursor_) {
        const ScriptEvent& event = *events[cursor_];
        Effect* effect = registry_->get(event.effect);
        if (effect == nullptr)
            continue;
        switch (event.kind) {
        case EventKind::start: effect->activate(); break;
        case EventKind::end: effect->deactivate(); break;
        case EventKind::init: effect->start(event.time); break;
        case EventKind::signal: {
            Command command = event.payload;
            command.dueTime = event.time;
            effect->command(command);
            break;
        }
        }
    }
}
