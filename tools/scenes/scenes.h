#pragma once
// The show's five scenes and the helpers their builders share.
#include <string>
#include <vector>

#include "tools/scenes/scene_draft.h"
#include "tools/scenes/shapes.h"

namespace scenegen {

SceneDraft buildGangScene();
SceneDraft buildWelderScene();
SceneDraft buildTreeScene();
SceneDraft buildCraniumScene();
SceneDraft buildGalleryScene();

struct ShowScene {
    std::string file;  // under the data folder
    SceneDraft (*build)();
};

// "gang.scn", "welderscene4.scn", "tree.scn", "cranium.scn", "gallery.scn".
const std::vector<ShowScene>& showScenes();

// Scene time units at which the welder's sparks fly (the welding windows the
// player's welder effect emits in); the arm holds the torch to the work
// inside them.
struct Window {
    float from, to;
};
const std::vector<Window>& weldingWindows();

// A material with the given diffuse map (stored with a full path); the
// other fields keep the writer's defaults.
scenefile::Material texturedMaterial(const std::string& name, const std::string& diffuseMap);
// An untextured material of one colour.
scenefile::Material plainMaterial(const std::string& name, Float3 colour);

// A new mesh record with only its name (the draft fills id, parent and pose).
scenefile::Mesh namedMesh(const std::string& name);

// Surface of one material with the texture repeated (u, v) times.
Surface paintWith(int32_t material, float uRepeat = 1.0f, float vRepeat = 1.0f, uint32_t smoothing = 1);

// A pose with no rotation.
Pose at(Float3 position);

// Easing between two points for camera moves: eased progress of t over [t0, t1].
float ease(float t, float t0, float t1);

}  // namespace scenegen
