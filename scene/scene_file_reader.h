#pragma once
// Reads a chunked binary scene file (the grafter exporter's format) into a
// new Scene: meshes, dummies, target nodes, materials, cameras, lights,
// particle nodes and sampled animation. Textures come through the texture
// manager. Made on the stack for one load.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct DataFile;
class Scene;
class SceneNode;
class Texture;

class SceneFileReader {
public:
    SceneFileReader() = default;
    // Closes the file if a load left it open.
    virtual ~SceneFileReader();
    SceneFileReader(const SceneFileReader&) = delete;
    SceneFileReader& operator=(const SceneFileReader&) = delete;

    // The scene of the file at path (through the data-file interface),
    // prepared and bound, owned by the caller. Textures are loaded from
    // textureDirectory. Errors end the program through the error reporter
    // with "Error in parsing <path>: <message>"; the one non-fatal error
    // (samples whose owner is missing) is reported and skipped. A damaged
    // file (a record or array cut short by the end of the file, a negative
    // chunk length or count, an index outside its array) stops with "not a
    // grafter file"; a name field without its NUL says which field of which
    // chunk. Chunk lengths are only followed to pass over chunks the reader
    // does not know: one that runs past the end ends the file. Returns null
    // only when a fatal report came back.
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
    bool damaged() { return fail("not a grafter file"); }
    // "not a grafter file" naming the field and the current chunk.
    bool unterminated(const char* field);
    // Reads n bytes into record; false (after reporting) when the file ends
    // first.
    bool readRecord(std::vector<uint8_t>& record, size_t n);
    // Bytes left between the read position and the end of the file.
    uint64_t remaining() const;
    bool readChunks();
    // Top level for parent 0, else the last child of the parent, which has
    // to be loaded already ("<kind><id> could not find parent obj <id>").
    bool attach(std::unique_ptr<SceneNode> node, int32_t parentId, const char* kind);
    bool readMesh();
    bool readDummy();
    bool readMaterial();
    // Reads a record of `size` bytes with a name field at nameAt, called
    // field in messages.
    bool readNamedRecord(std::vector<uint8_t>& record, size_t size, size_t nameAt, const char* field,
                         std::string& name);
    bool readCamera();
    // Target node (type 6) or particle system (type 9): id, name, position.
    bool readPoint(bool particleSystem);
    bool readLight();
    bool readController(uint32_t chunkEnd);

    DataFile* file_ = nullptr;
    std::string textureDirectory_;
    std::string path_;
    Scene* scene_ = nullptr;
    // The chunk being read, for messages: its type and the offset of its header.
    int32_t chunkType_ = 0;
    uint32_t chunkStart_ = 0;

    static inline bool useStoredPaths_ = false;
};
