// Feeds arbitrary bytes to the scene file parser, the one reading of the
// format that the player's loader and `swtool scene` share, and lists what
// it describes as `swtool scene` does. No GL and no files: thousands of
// inputs a second. The GL building and drawing is the scene_draw target's.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "scene/scene_file_parser.h"
#include "tools/swtool/scene_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const SceneDescription description = parseSceneFile(data, size);
    // Nothing described lies outside the file, and every face corner
    // indexes inside its arrays, as the loader takes for granted.
    for (const SceneObject& object : description.objects) {
        const SceneMeshGeometry& g = object.geometry;
        if (g.positions.size() * 12 > size)
            std::abort();
        for (const SceneMeshFace& face : g.faces)
            for (const SceneMeshCorner& c : face.corners)
                if (static_cast<size_t>(c.vertex) >= g.positions.size() ||
                    (!g.coords1.empty() && static_cast<size_t>(c.coord1) >= g.coords1.size()) ||
                    (!g.coords2.empty() && static_cast<size_t>(c.coord2) >= g.coords2.size()))
                    std::abort();
    }
    const SceneListing listing = listScene(description);
    // A refused file says why.
    if (description.failed == listing.problem.empty())
        std::abort();
    return 0;
}
