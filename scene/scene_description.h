#pragma once
// What a scene file holds, as plain values: no GL, no textures loaded. The
// scene file parser makes it; the player's loader builds its scene from it
// and `swtool scene` prints it, so that the two cannot read a file
// differently. References between items (parents, controller owners) are
// resolved by the parser to the item they name.
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "scene/animation_keys.h"
#include "scene/quaternion.h"
#include "scene/vec3.h"

// The chunk types of the format.
enum SceneChunkType : int32_t {
    sceneEndChunk = 1,
    sceneMeshChunk = 2,
    sceneDummyChunk = 3,
    sceneMaterialChunk = 4,
    sceneCameraChunk = 5,
    sceneTargetChunk = 6,
    sceneLightChunk = 7,
    sceneControllerChunk = 8,
    sceneParticleChunk = 9,
};

// "mesh", "dummy", ..., "particle system"; "unknown" for other types.
const char* sceneChunkName(int32_t type);

// Which list of the description an item is in; `none` refers to nothing.
enum class SceneList : uint8_t { none, objects, lights, cameras, particles };

struct SceneItemRef {
    SceneList list = SceneList::none;
    uint32_t index = 0;
    bool valid() const { return list != SceneList::none; }
};

struct SceneMeshCorner {
    int32_t vertex = 0;
    int32_t coord1 = 0;  // meaningless when set 1 is empty
    int32_t coord2 = 0;
};

struct SceneMeshFace {
    std::array<SceneMeshCorner, 3> corners;
    int32_t materialId = 0;  // -1 in the file is read as 0
    int32_t smoothing = 0;
};

struct SceneTexCoord {
    float u = 0.0f;
    float v = 0.0f;  // negated from the file, as the player draws it
};

// Every face corner indexes inside its arrays (checked by the parser).
struct SceneMeshGeometry {
    std::vector<Vec3> positions;
    std::vector<SceneTexCoord> coords1;
    std::vector<SceneTexCoord> coords2;
    std::vector<SceneMeshFace> faces;
};

// A mesh, a dummy or a target node: the tree of objects.
struct SceneObject {
    enum class Kind : uint8_t { mesh, dummy, target };
    Kind kind = Kind::dummy;
    int32_t id = 0;
    int32_t parentId = 0;  // 0: top level
    std::string name;
    Vec3 position;
    Quaternion rotation;  // targets: all zeros (none stored)
    Vec3 scale{1.0f, 1.0f, 1.0f};
    SceneItemRef parent;  // the item parentId names; none at the top level
    uint32_t chunkOffset = 0;
    SceneMeshGeometry geometry;  // meshes only
};

// The six texture slots of a material, in file order.
enum SceneMapSlot : size_t { diffuseSlot, reflectionSlot, additiveSlot, bumpSlot, opacitySlot, lightSlot, mapSlots };

struct SceneMaterial {
    int32_t id = 0;
    std::string name;
    Vec3 ambient, diffuse, specular;
    float shininess = 0.0f;      // 0..1 as stored
    float specularLevel = 0.0f;
    float opacity = 1.0f;
    bool twoSided = false;
    bool dynamicReflection = false;
    std::array<std::string, mapSlots> maps;  // texture names as stored, "" for none
    // The drawing mode (0..11) the named textures give.
    int mode() const;
};

struct SceneCamera {
    int32_t id = 0;
    std::string name;
    Vec3 position;
    float fov = 0.0f;
    int32_t targetId = 0;  // 0: none
};

struct SceneLight {
    int32_t id = 0;
    std::string name;
    Vec3 position;
    Vec3 colour;
    float range = 0.0f;
    int32_t targetId = 0;
    float spotExponent = 0.0f;
    float spotCutoff = 0.0f;
    std::string projectedTexture;  // as stored, "" for none
};

struct SceneParticleNode {
    int32_t id = 0;
    std::string name;
    Vec3 position;
};

struct SceneController {
    // Items this format does not define are passed over by the chunk length.
    enum class Kind : uint8_t { positionKeys, rotationKeys, samples, undefined };
    Kind kind = Kind::undefined;
    int32_t ownerId = 0;
    int32_t type = 0;
    int32_t itemKind = 0;
    int32_t count = 0;
    int32_t interval = 0;
    SceneItemRef owner;  // none when no item has the owner's id
    std::vector<PositionKey> positionKeys;
    std::vector<RotationKey> rotationKeys;
    std::vector<Vec3> samplePositions;
    std::vector<Quaternion> sampleRotations;
};

// Where the file stops being readable. `structural` problems are damage
// (a record cut short, a bad count, length or index); the others are
// references the file cannot satisfy.
struct SceneProblem {
    int32_t chunkType = 0;
    uint32_t chunkOffset = 0;  // 0: the file header
    std::string text;
    bool structural = true;
    // "<chunk> chunk at offset N" (or "header at offset 0").
    std::string where() const;
};

struct SceneDescription {
    uint64_t fileSize = 0;
    bool endChunk = false;  // the file ends with its end chunk
    std::vector<SceneObject> objects;
    std::vector<SceneMaterial> materials;
    std::vector<SceneCamera> cameras;
    std::vector<SceneLight> lights;
    std::vector<SceneParticleNode> particles;
    std::vector<SceneController> controllers;
    std::vector<std::string> unknownChunks;  // one line each, in file order
    // The clock: set by the last sampled controller.
    int32_t sampleCount = 0;
    int32_t sampleInterval = 0;
    // Non-fatal: sampled controllers without an owner are skipped.
    std::vector<std::string> warnings;
    // Set when reading stopped; the lists hold what came before.
    bool failed = false;
    SceneProblem problem;
};

// What an id names, as the loader attaches items: the first item added with
// the id, looking at objects, then lights, cameras, particle systems; id 0
// names the first top-level object.
class SceneItemIndex {
public:
    SceneItemIndex() = default;
    // Every item of a whole description.
    explicit SceneItemIndex(const SceneDescription& description);
    void add(SceneList list, int32_t id, size_t index);
    void addTopLevelObject(size_t index);
    // None when nothing has the id.
    SceneItemRef find(int32_t id) const;

private:
    std::unordered_map<int32_t, uint32_t> firstOf_[5];  // by SceneList
    bool hasTopLevelObject_ = false;
    uint32_t firstTopLevelObject_ = 0;
};

// The name of the item ref names; ref must be valid for description.
const std::string& sceneItemName(const SceneDescription& description, const SceneItemRef& ref);
