#pragma once
// Writes grafter scene files: an int32 0, then chunks of (int32 type,
// int32 payload length, payload), closed by the end chunk. Everything is
// little-endian; name fields are NUL-terminated and NUL-padded to their
// fixed size. The records here are plain data of the writer's own, so the
// tools that make scenes need nothing of the player's scene classes.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace scenefile {

enum ChunkType : int32_t {
    chunkEnd = 1,
    chunkMesh = 2,
    chunkDummy = 3,
    chunkMaterial = 4,
    chunkCamera = 5,
    chunkTarget = 6,
    chunkLight = 7,
    chunkController = 8,
    chunkParticles = 9,
};

// Controller kinds and types as the controller record stores them.
constexpr int32_t controllerSamples = 1;
constexpr int32_t controllerKeys = 2;
constexpr int32_t controllerPosition = 2;
constexpr int32_t controllerRotation = 3;
constexpr int32_t controllerPositionRotation = 5;

// Field sizes (a name holds at most size - 1 bytes of text).
constexpr size_t nameSize = 52;
constexpr size_t texNameSize = 100;

// Record sizes in bytes.
constexpr size_t meshRecordSize = 128;
constexpr size_t faceSize = 44;
constexpr size_t dummyRecordSize = 100;
constexpr size_t pointRecordSize = 68;
constexpr size_t cameraRecordSize = 76;
constexpr size_t lightRecordSize = 196;
constexpr size_t materialRecordSize = 708;
constexpr size_t controllerRecordSize = 28;
constexpr size_t positionKeySize = 36;
constexpr size_t rotationKeySize = 20;
constexpr size_t sampleSize = 28;

struct Float3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

// A rotation quaternion exactly as the file stores it (x, y, z, w). The
// player turns (x, y, z, w) into the transpose of the textbook matrix, so a
// rotation R is stored as the conjugate of R's textbook quaternion.
struct Float4 {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
};

struct TexCoord {
    float u = 0.0f, v = 0.0f;  // v counts up from the bottom of the picture
};

struct Face {
    std::array<int32_t, 3> vertex{};
    std::array<int32_t, 3> tex1{};  // 0 when the mesh has no set-1 coordinates
    std::array<int32_t, 3> tex2{};  // 0 when the mesh has no set-2 coordinates
    int32_t materialId = 0;
    uint32_t smoothing = 1;  // one bit per smoothing group
};

struct Mesh {
    int32_t id = 0;
    int32_t parentId = 0;  // 0: top level
    std::string name;
    Float3 position;
    Float4 rotation;
    Float3 scale{1.0f, 1.0f, 1.0f};
    std::vector<Float3> vertices;
    std::vector<TexCoord> tex1;
    std::vector<TexCoord> tex2;
    std::vector<Face> faces;
};

struct Dummy {
    int32_t id = 0;
    int32_t parentId = 0;
    std::string name;
    Float3 position;
    Float4 rotation;
    Float3 scale{1.0f, 1.0f, 1.0f};
};

// Target objects (chunk 6) and particle systems (chunk 9).
struct Point {
    int32_t id = 0;
    std::string name;
    Float3 position;
};

struct Camera {
    int32_t id = 0;
    std::string name;
    Float3 position;
    float fov = 45.0f;  // degrees
    int32_t targetId = 0;
};

struct Light {
    int32_t id = 0;
    std::string name;
    Float3 position;
    Float3 colour{1.0f, 1.0f, 1.0f};
    float range = 0.0f;  // > 0 gives linear attenuation 1 / (range / 2)
    int32_t targetId = 0;  // 0: no target
    float spotExponent = 0.0f;
    float spotCutoff = 180.0f;  // degrees; 180: not a spot
    std::string projectedTexture;
};

struct Material {
    int32_t id = 0;
    std::string name;
    Float3 ambient{0.2f, 0.2f, 0.2f};
    Float3 diffuse{0.8f, 0.8f, 0.8f};
    Float3 specular{0.0f, 0.0f, 0.0f};
    float shininess = 0.2f;  // 0..1
    float specularLevel = 0.0f;
    float opacity = 1.0f;
    bool twoSided = false;
    std::string diffuseMap;
    std::string reflectionMap;
    std::string additiveMap;
    std::string bumpMap;
    std::string opacityMap;
    std::string lightMap;
    bool dynamicReflection = false;
};

struct PositionKey {
    int16_t frame = 0;
    Float3 position;
    float tension = 0.0f, continuity = 0.0f, bias = 0.0f, easeTo = 0.0f, easeFrom = 0.0f;
};

struct RotationKey {
    int16_t frame = 0;
    Float4 rotation;
};

struct Sample {
    Float3 position;
    Float4 rotation;
};

// Builds one scene file in memory. The constructor writes the file header;
// each write appends one whole chunk, or appends nothing and returns false
// with error() saying why (a name or texture name too long for its field, a
// face index outside its array, an empty track or an interval below 1).
// After `end` every write fails.
class Writer {
public:
    Writer();

    [[nodiscard]] bool mesh(const Mesh& m);
    [[nodiscard]] bool dummy(const Dummy& d);
    [[nodiscard]] bool material(const Material& m);
    [[nodiscard]] bool camera(const Camera& c);
    [[nodiscard]] bool target(const Point& p);
    [[nodiscard]] bool light(const Light& l);
    [[nodiscard]] bool particleSystem(const Point& p);
    [[nodiscard]] bool positionKeys(int32_t ownerId, const std::vector<PositionKey>& keys);
    [[nodiscard]] bool rotationKeys(int32_t ownerId, const std::vector<RotationKey>& keys);
    // Baked animation: one position and rotation per `interval` scene time units.
    [[nodiscard]] bool samples(int32_t ownerId, int32_t interval, const std::vector<Sample>& track);
    // Any chunk with a payload made by the caller (types readers skip, too).
    [[nodiscard]] bool chunk(int32_t type, const std::vector<uint8_t>& payload);
    // Appends the end chunk (type 1, no payload). Idempotent.
    void end();

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    const std::string& error() const { return error_; }
    bool ended() const { return ended_; }

private:
    bool fail(const std::string& message);
    bool open();
    bool controller(int32_t ownerId, int32_t type, int32_t kind, int32_t count, int32_t interval,
                    const std::vector<uint8_t>& items);

    std::vector<uint8_t> bytes_;
    std::string error_;
    int32_t nextControllerId_ = 1;
    bool ended_ = false;
};

// Appends little-endian values and fixed-size names to a byte buffer.
class ByteSink {
public:
    explicit ByteSink(std::vector<uint8_t>& out) : out_(out) {}
    void i16(int16_t v);
    void i32(int32_t v);
    void u32(uint32_t v);
    void f32(float v);
    void f3(const Float3& v);
    void f4(const Float4& v);
    void byte(uint8_t v) { out_.push_back(v); }
    void zeros(size_t n) { out_.insert(out_.end(), n, 0); }
    // The text, then NULs up to `size` bytes; the caller has checked that
    // the text is shorter than `size`.
    void name(const std::string& text, size_t size);

private:
    std::vector<uint8_t>& out_;
};

// Writes bytes to path; false (with a line on standard error) on failure.
bool saveFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace scenefile
