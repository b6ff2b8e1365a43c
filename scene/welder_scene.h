#pragma once
// "data/welderscene4.scn": a welding robot whose tip throws bouncing sparks
// during fixed windows of the scene time and glows while it can be seen;
// shadows cast by "Spot01".
#include "scene/glow_flare.h"
#include "scene/scene_effects.h"
#include "scene/sparks.h"

class WelderScene : public ShowScene {
public:
    // After loading: shadows from "Spot01"; with a particle node "Spray01"
    // and a node "weld - tip", the spark emitter "sparky" and the glow
    // "blender" become the tip's last children.
    explicit WelderScene(const char* scenePath);

    // The scene effect's start, then the sparks and the glow start from
    // time: no sparks, not emitting.
    void start(int32_t time) override;
    // Motion, clock, sparks and glow at the progress, scene time, emitting
    // inside the spark windows, then scene, glow and sparks drawn.
    void update(int32_t time, bool applyViewport) override;
    // The scene codes, then 90 to 97 (spark visibility, spread,
    // acceleration, fade, bounce box, floor, box size, time divisor).
    void command(Command c) override;

    // Whether scene time e lies strictly inside one of the spark windows.
    static bool insideSparkWindow(float e);

    SparkEmitter* emitter() const { return emitter_; }
    GlowFlare* glow() const { return glow_; }

private:
    ParticleNode* spray_ = nullptr;
    SparkEmitter* emitter_ = nullptr;  // owned by the tip node
    GlowFlare* glow_ = nullptr;        // owned by the tip node
};
