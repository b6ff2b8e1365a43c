#pragma once
// The textures the generated scenes name, painted from formulas. Every name
// starts with "scn_" so that no other generator of the show writes them.
#include <cstdint>
#include <string>
#include <vector>

namespace scenegen {

namespace tex {
inline const std::string gangWall = "scn_gang_wall.png";
inline const std::string gangFloor = "scn_gang_floor.png";
inline const std::string gangPanel = "scn_gang_lightpanel.png";
inline const std::string gangPipe = "scn_gang_pipe.png";
inline const std::string metal = "scn_metal.png";
inline const std::string chrome = "scn_chrome.png";
inline const std::string hazard = "scn_hazard.png";
inline const std::string plate = "scn_checkerplate.png";
inline const std::string bark = "scn_bark.png";
inline const std::string leaf = "scn_leaf.png";
inline const std::string leafMask = "scn_leaf_mask.png";
inline const std::string grass = "scn_grass.png";
inline const std::string bone = "scn_bone.png";
inline const std::string boneBump = "scn_bone_normal.png";
inline const std::string marble = "scn_marble.png";
inline const std::string eyeGlow = "scn_eyeglow.png";
inline const std::string slate = "scn_slate.png";
inline const std::string plaster = "scn_plaster.png";
inline const std::string parquet = "scn_parquet.png";
inline const std::string lightmapWall = "scn_lightmap_wall.png";
inline const std::string lightmapFloor = "scn_lightmap_floor.png";
inline const std::string lightmapSoft = "scn_lightmap_soft.png";
inline const std::string painting1 = "scn_painting1.png";
inline const std::string painting2 = "scn_painting2.png";
inline const std::string painting3 = "scn_painting3.png";
}  // namespace tex

struct Picture {
    std::string file;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // top row first
};

// Every texture the scenes use, painted (the same bytes on every run).
std::vector<Picture> paintSceneTextures();

// Paints them and writes them as PNG files into dir; false when one cannot be written.
bool writeSceneTextures(const std::string& dir);

}  // namespace scenegen
