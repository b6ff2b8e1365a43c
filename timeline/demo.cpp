#include "timeline/demo.h"

#include "shell/glwindow.h"
#include "timeline/effect.h"
#include "timeline/registry.h"

namespace {

constexpr int escapeKey = 27;
constexpr int shiftKey = 16;
constexpr int controlKey = 17;

}  // namespace

Demo::Demo(std::string scriptPath) : scriptPath_(std::move(scriptPath)) {}

void Demo::setup(GLWindow& window, EffectRegistry& registry)
{
    window_ = &window;
    registry_ = &registry;
    quit_ = false;
    reload_ = false;
    script_.reset();
    script_ = std::make_unique<Script>(scriptPath_);
    cursor_ = 0;
    for (const auto& event : script_->setupEvents()) {
        if (Effect* effect = registry.get(event->effect))
            effect->command(event->payload);
    }
    registry.startAll();
    window.timerSetOffset(script_->demoStart());
}

int32_t Demo::startTime() const { return script_ != nullptr ? script_->demoStart() : 0; }

void Demo::frame()
{
    if (!window_->active())
        return;
    const bool escape = window_->keyDown(escapeKey) != 0;
    const bool reload = window_->keyDown(controlKey) != 0 && window_->keyDown(shiftKey) != 0;
    window_->keysSeen();
    if (escape) {
        quit_ = true;
        return;
    }
    if (reload) {
        registry_->deactivateAll();
        script_.reset();
        reload_ = true;
        return;
    }
    const auto time = static_cast<int32_t>(window_->timerNow());
    if (time >= endTime_)
        quit_ = true;
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
        case EventKind::signal: effect->command(event.payload); break;
        }
    }
}
