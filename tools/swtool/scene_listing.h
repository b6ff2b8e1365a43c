#pragma once
// A scene file read for people, without a GL context: every chunk of the
// exporter's format checked against its record layout and kept as the
// lines `swtool scene` prints.
#include <cstdint>
#include <string>
#include <vector>

struct SceneListing {
    std::vector<std::string> lines;     // the contents, one item a line
    std::vector<std::string> textures;  // every texture name, reduced to its file name
    std::string problem;                // empty, or where and how the file is damaged
};

// Reads the scene file bytes. On damage the listing holds what was read
// before it and `problem` names the chunk, its offset and what is wrong.
SceneListing listScene(const std::vector<uint8_t>& file);
