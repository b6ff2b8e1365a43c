#pragma once
// Loads a scene file into a new Scene: the file is read whole through the
// data-file interface, described by the scene file parser (the one reading
// of the format, GL-free) and built from that description: meshes,
// dummies, target nodes, materials with their textures, cameras, lights,
// particle nodes and the controllers' animation. Made on the stack for one
// load.
#include <cstdint>
#include <string>
#include <vector>

#include "scene/scene_description.h"

class Scene;
class SceneNode;
class Texture;

class SceneFileReader {
public:
    SceneFileReader() = default;
    virtual ~SceneFileReader();
    SceneFileReader(const SceneFileReader&) = delete;
    SceneFileReader& operator=(const SceneFileReader&) = delete;

    // The scene of the file at path (through the data-file interface),
    // prepared and bound, owned by the caller. Textures are loaded from
    // textureDirectory. Errors end the program through the error reporter
    // with "Error in parsing <path>: <message>": a damaged file (see
    // parseSceneFile) with "not a grafter file: <chunk> chunk at offset N:
    // <what>", a reference the file cannot satisfy with the parser's text
    // ("object 5 could not find parent obj 9", "could not find owner for
    // controller object", ...), a texture that cannot be loaded with "could
    // not load texture <name>". The parser's warnings (samples whose owner
    // is missing) are reported and loading goes on. Returns null only when a
    // fatal report came back.
    virtual Scene* load(const char* path, const char* textureDirectory);

    // The texture of a stored texture name, or null for an empty name. A
    // texture that cannot be loaded is fatal ("could not load texture").
    Texture* loadTexture(const std::string& texname);

    // Off (the default): texture names are reduced to the part after their
    // last backslash and loaded from the texture directory; on: the stored
    // name is loaded whole, without a directory. Process-wide.
    static void setUseStoredTexturePaths(bool on) { useStoredPaths_ = on; }
    static bool useStoredTexturePaths() { return useStoredPaths_; }

private:
    bool fail(const std::string& message, bool fatal = true);
    // Builds scene_ from the description; false after a fatal report.
    bool build(const SceneDescription& description);
    bool buildMaterial(const SceneMaterial& record);
    bool buildLight(const SceneLight& record);
    void buildObjects(const SceneDescription& description);
    void applyController(const SceneController& controller);
    // The node a resolved reference names.
    SceneNode* node(const SceneItemRef& ref) const;

    std::string textureDirectory_;
    std::string path_;
    Scene* scene_ = nullptr;
    // The nodes built, by their index in the description's lists.
    std::vector<SceneNode*> objects_, lights_, cameras_, particles_;

    static inline bool useStoredPaths_ = false;
};
