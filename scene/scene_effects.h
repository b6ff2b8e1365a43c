#pragma once
// The show's scene effects: each plays one scene file and differs only in
// what it sets up after loading (and, for the gang scene, one command).
#include <vector>

#include "scene/scene_effect.h"

// A scene effect whose frame applies the motion tables before the clock,
// as every scene of the show does.
class ShowScene : public SceneEffect {
public:
    using SceneEffect::SceneEffect;
    void update(int32_t time, bool applyViewport) override { playFrame(time, applyViewport); }
};

// "data/cranium.scn": shadows cast by "Spot01".
class CraniumScene : public ShowScene {
public:
    explicit CraniumScene(const char* scenePath);
};

// "data/gallery.scn": walls, stands and lamps drawn with their baked light
// maps instead of lighting.
class GalleryScene : public ShowScene {
public:
    explicit GalleryScene(const char* scenePath);
};

// "data/gang.scn": grey linear fog, a clock five times as fast, and light
// boxes that glow unlit and can be switched off together (code 90).
class GangScene : public ShowScene {
public:
    explicit GangScene(const char* scenePath);
    // The scene codes, then 90: every light box visible when a0 != 0
    // (the boxes themselves, not their children).
    void command(Command c) override;
    const std::vector<SceneNode*>& lightBoxes() const { return lightBoxes_; }

private:
    void collectLightBoxes(SceneNode* node);
    std::vector<SceneNode*> lightBoxes_;
};

// "data/tree.scn": the scene as it is.
class TreeScene : public ShowScene {
public:
    using ShowScene::ShowScene;
};
