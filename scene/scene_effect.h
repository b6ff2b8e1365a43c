#pragma once
// The effect that plays a scene file: loads it at construction, advances its
// animation with the effect clock, draws it, and gives the script commands
// for cameras, lights, fog, visibility, materials and object motion.
#include <memory>
#include <utility>
#include <vector>

#include "scene/scene.h"
#include "timeline/effect.h"

class SceneEffect : public Effect {
public:
    // Loads the scene at scenePath with textures from "data/textures/"; a
    // scene that does not load ends the program ("could not load scene").
    // Needs a current GL context.
    explicit SceneEffect(const char* scenePath);
    ~SceneEffect() override;

    // Restarts the clock at time, applies the motion tables once, then
    // empties them.
    void start(int32_t time) override;
    // Clock, then the scene's time (the progress), then the frame.
    void update(int32_t time, bool applyViewport) override;
    void render(int32_t time) override { update(time, true); }
    // The scene codes (see the command table in the .cpp), then the base.
    void command(Command c) override;
    // Spin, move and fade tables and the field-of-view parameter at time,
    // with the progress as it stands.
    virtual void animate(int32_t time);

    Scene* scene() const { return scene_.get(); }
    const AnimParam& fovParam() const { return fovParam_; }

protected:
    // The frame every scene effect of the show draws: motion first (with
    // the previous frame's progress), then clock, scene time and drawing.
    void playFrame(int32_t time, bool applyViewport);
    // Leaves the GL state effects agree on after the scene has drawn.
    static void restoreCommonState();

private:
    template <typename Value>
    using NodeTable = std::vector<std::pair<SceneNode*, Value>>;

    template <typename Value>
    static Value& entry(NodeTable<Value>& table, SceneNode* node);
    void sceneCommand(const Command& c);

    std::unique_ptr<Scene> scene_;
    int32_t sceneStart_ = 0;
    NodeTable<Vec3> spins_;
    NodeTable<Vec3> moves_;
    NodeTable<AnimParam> fades_;
    AnimParam fovParam_;
};
