#pragma once
// A scene file described for people, without a GL context: the lines
// `swtool scene` prints, made from the parser's description of the file
// (the same description the player's loader builds its scene from).
#include <cstdint>
#include <string>
#include <vector>

#include "scene/scene_description.h"

struct SceneListing {
    std::vector<std::string> lines;     // the contents, one item a line
    std::vector<std::string> textures;  // every texture name, reduced to its file name
    std::string problem;                // empty, or where and how the file is damaged
};

// Reads the scene file bytes. On damage the listing holds what was read
// before it and `problem` names the chunk, its offset and what is wrong.
// Objects are listed as a tree, indented up to four levels and numbered by
// depth below that; the listing grows linearly with the file.
SceneListing listScene(const std::vector<uint8_t>& file);
SceneListing listScene(const SceneDescription& description);
