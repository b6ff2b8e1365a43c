#include "scene/scene_file_parser.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <string>
#include <unordered_set>

namespace {

constexpr size_t nameSize = 52;
constexpr size_t texnameSize = 100;
constexpr int32_t sampledPositionRotation = 5;

// Little-endian fields of one record, which the caller has checked to lie
// inside the file.
class Record {
public:
    explicit Record(const uint8_t* bytes) : bytes_(bytes) {}

    uint32_t u32(size_t at) const
    {
        return static_cast<uint32_t>(bytes_[at]) | static_cast<uint32_t>(bytes_[at + 1]) << 8 |
               static_cast<uint32_t>(bytes_[at + 2]) << 16 | static_cast<uint32_t>(bytes_[at + 3]) << 24;
    }
    int32_t i32(size_t at) const { return static_cast<int32_t>(u32(at)); }
    int16_t i16(size_t at) const { return static_cast<int16_t>(static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8)); }
    float f32(size_t at) const
    {
        const uint32_t bits = u32(at);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    Vec3 vec3(size_t at) const { return Vec3(f32(at), f32(at + 4), f32(at + 8)); }
    Quaternion quaternion(size_t at) const
    {
        Quaternion q;
        q.set(f32(at), f32(at + 4), f32(at + 8), f32(at + 12));
        return q;
    }
    uint8_t byte(size_t at) const { return bytes_[at]; }
    // The text up to the field's NUL; false when the field holds none.
    bool text(size_t at, size_t size, std::string& out) const
    {
        const uint8_t* begin = bytes_ + at;
        const void* nul = std::memchr(begin, 0, size);
        if (nul == nullptr)
            return false;
        out.assign(reinterpret_cast<const char*>(begin), static_cast<size_t>(static_cast<const uint8_t*>(nul) - begin));
        return true;
    }

private:
    const uint8_t* bytes_;
};

class Parser {
public:
    Parser(const uint8_t* data, size_t size) : data_(data), size_(size) { out_.fileSize = size; }
    SceneDescription parse();

private:
    size_t remaining() const { return position_ < size_ ? size_ - position_ : 0; }
    // The next n bytes as a record, the position moved past them; null
    // (with the problem set) when the file ends first.
    const uint8_t* take(size_t n, const char* what);
    bool damaged(const std::string& text);
    bool refused(const std::string& text);
    bool unterminated(const char* field, size_t width);
    bool name(const Record& r, size_t at, size_t width, const char* field, std::string& out);

    bool readChunk(int32_t type, uint64_t payloadEnd);
    bool readObjectRecord(SceneObject& object, size_t size, size_t nameAt);
    bool readMesh();
    bool readMeshArrays(SceneObject& mesh, uint32_t vertices, uint32_t count1, uint32_t count2, uint32_t faces);
    bool readDummy();
    bool readMaterial();
    bool readCamera();
    bool readPoint(bool particleSystem);
    bool readLight();
    bool readController(uint64_t payloadEnd);
    bool readKeysOrSamples(SceneController& controller, size_t itemSize);
    bool attachObject(SceneObject object, const char* kind);
    bool checkFaceMaterials();


    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    int32_t chunkType_ = 0;
    uint32_t chunkStart_ = 0;
    SceneDescription out_;
    SceneItemIndex items_;
};

bool Parser::damaged(const std::string& text)
{
    out_.failed = true;
    out_.problem = SceneProblem{chunkType_, chunkStart_, text, true};
    return false;
}

bool Parser::refused(const std::string& text)
{
    out_.failed = true;
    out_.problem = SceneProblem{chunkType_, chunkStart_, text, false};
    return false;
}

bool Parser::unterminated(const char* field, size_t width)
{
    return damaged(std::string("the ") + field + " has no NUL in its " + std::to_string(width) + " bytes");
}

bool Parser::name(const Record& r, size_t at, size_t width, const char* field, std::string& out)
{
    return r.text(at, width, out) || unterminated(field, width);
}

const uint8_t* Parser::take(size_t n, const char* what)
{
    if (n > remaining()) {
        damaged(std::string(what) + " needs " + std::to_string(n) + " bytes, the file has " +
                std::to_string(remaining()) + " left");
        return nullptr;
    }
    const uint8_t* at = data_ + position_;
    position_ += n;
    return at;
}

SceneDescription Parser::parse()
{
    const uint8_t* header = take(4, "the file header");
    if (header == nullptr)
        return out_;
    if (Record(header).i32(0) != 0) {
        damaged("not a scene file (the first four bytes are not zero)");
        return out_;
    }
    while (remaining() >= 8) {
        chunkStart_ = static_cast<uint32_t>(position_);
        const Record r(take(8, "the chunk header"));
        chunkType_ = r.i32(0);
        const int32_t length = r.i32(4);
        if (chunkType_ == sceneEndChunk) {
            out_.endChunk = true;
            break;
        }
        // A length that ran backwards would read the same chunks again.
        if (length < 0) {
            damaged("negative length " + std::to_string(length));
            return out_;
        }
        const uint64_t payloadEnd = std::min<uint64_t>(uint64_t{position_} + static_cast<uint64_t>(length), size_);
        if (!readChunk(chunkType_, payloadEnd))
            return out_;
    }
    checkFaceMaterials();
    return out_;
}

bool Parser::readChunk(int32_t type, uint64_t payloadEnd)
{
    switch (type) {
    case sceneMeshChunk: return readMesh();
    case sceneDummyChunk: return readDummy();
    case sceneMaterialChunk: return readMaterial();
    case sceneCameraChunk: return readCamera();
    case sceneTargetChunk: return readPoint(false);
    case sceneLightChunk: return readLight();
    case sceneControllerChunk: return readController(payloadEnd);
    case sceneParticleChunk: return readPoint(true);
    default:
        out_.unknownChunks.push_back("unknown chunk type " + std::to_string(type) + ", " +
                                     std::to_string(payloadEnd - position_) + " bytes, passed over");
        position_ = static_cast<size_t>(payloadEnd);
        return true;
    }
}

// Id, parent id, name at nameAt, then position, rotation and scale.
bool Parser::readObjectRecord(SceneObject& object, size_t size, size_t nameAt)
{
    const uint8_t* bytes = take(size, object.kind == SceneObject::Kind::mesh ? "the mesh record" : "the dummy record");
    if (bytes == nullptr)
        return false;
    const Record r(bytes);
    object.id = r.i32(0);
    object.parentId = r.i32(4);
    object.chunkOffset = chunkStart_;
    if (!name(r, nameAt, nameSize, "object name", object.name))
        return false;
    const size_t transform = nameAt + nameSize + (object.kind == SceneObject::Kind::mesh ? 16 : 0);
    object.position = r.vec3(transform);
    object.rotation = r.quaternion(transform + 12);
    object.scale = r.vec3(transform + 28);
    return true;
}

bool Parser::readMesh()
{
    SceneObject mesh;
    mesh.kind = SceneObject::Kind::mesh;
    const size_t recordStart = position_;
    if (!readObjectRecord(mesh, 128, 8))
        return false;
    const Record r(data_ + recordStart);
    if (!readMeshArrays(mesh, r.u32(60), r.u32(64), r.u32(68), r.u32(72)))
        return false;
    return attachObject(std::move(mesh), "object ");
}

bool Parser::readMeshArrays(SceneObject& mesh, uint32_t vertices, uint32_t count1, uint32_t count2, uint32_t faces)
{
    // Every array has to lie inside the file before anything is allocated.
    const uint64_t needed = uint64_t{vertices} * 12 + (uint64_t{count1} + count2) * 8 + uint64_t{faces} * 44;
    if (needed > remaining())
        return damaged(std::to_string(vertices) + " vertices, " + std::to_string(count1) + " + " +
                       std::to_string(count2) + " texture coordinates and " + std::to_string(faces) + " faces need " +
                       std::to_string(needed) + " bytes, the file has " + std::to_string(remaining()) + " left");
    SceneMeshGeometry& g = mesh.geometry;
    g.positions.resize(vertices);
    for (Vec3& p : g.positions)
        p = Record(take(12, "a vertex")).vec3(0);
    g.coords1.resize(count1);
    g.coords2.resize(count2);
    for (auto* set : {&g.coords1, &g.coords2})
        for (SceneTexCoord& t : *set) {
            const Record c(take(8, "a texture coordinate"));
            t.u = c.f32(0);
            t.v = -c.f32(4);
        }
    g.faces.resize(faces);
    for (size_t i = 0; i < g.faces.size(); ++i) {
        SceneMeshFace& face = g.faces[i];
        const Record f(take(44, "a face"));
        for (size_t c = 0; c < 3; ++c) {
            SceneMeshCorner& corner = face.corners[c];
            corner.vertex = f.i32(c * 4);
            corner.coord1 = f.i32(12 + c * 4);
            corner.coord2 = f.i32(24 + c * 4);
            // An empty coordinate set is never indexed; any other index has
            // to name an element of its array.
            if (corner.vertex < 0 || static_cast<uint32_t>(corner.vertex) >= vertices)
                return damaged("face " + std::to_string(i) + " names vertex " + std::to_string(corner.vertex) +
                               " of " + std::to_string(vertices));
            for (const auto& [index, count, set] : {std::tuple{corner.coord1, count1, 1}, {corner.coord2, count2, 2}})
                if (count > 0 && (index < 0 || static_cast<uint32_t>(index) >= count))
                    return damaged("face " + std::to_string(i) + " names coordinate " + std::to_string(index) +
                                   " of set " + std::to_string(set) + ", which has " + std::to_string(count));
        }
        face.materialId = f.i32(36) == -1 ? 0 : f.i32(36);
        face.smoothing = f.i32(40);
    }
    return true;
}

bool Parser::attachObject(SceneObject object, const char* kind)
{
    if (object.parentId != 0) {
        object.parent = items_.find(object.parentId);
        if (!object.parent.valid())
            return refused(kind + std::to_string(object.id) + " could not find parent obj " +
                           std::to_string(object.parentId));
    } else {
        items_.addTopLevelObject(out_.objects.size());
    }
    items_.add(SceneList::objects, object.id, out_.objects.size());
    out_.objects.push_back(std::move(object));
    return true;
}

bool Parser::readDummy()
{
    SceneObject dummy;
    dummy.kind = SceneObject::Kind::dummy;
    return readObjectRecord(dummy, 100, 8) && attachObject(std::move(dummy), "dummy object ");
}

bool Parser::readMaterial()
{
    static const char* const mapFields[mapSlots] = {"diffuse map", "reflection map", "additive map",
                                                    "bump map",    "opacity map",    "light map"};
    const uint8_t* bytes = take(708, "the material record");
    if (bytes == nullptr)
        return false;
    const Record r(bytes);
    SceneMaterial m;
    m.id = r.i32(0);
    if (!name(r, 4, nameSize, "material name", m.name))
        return false;
    for (size_t i = 0; i < mapSlots; ++i)
        if (!name(r, 105 + i * texnameSize, texnameSize, mapFields[i], m.maps[i]))
            return false;
    m.ambient = r.vec3(56);
    m.diffuse = r.vec3(68);
    m.specular = r.vec3(80);
    m.shininess = r.f32(92);
    m.specularLevel = r.f32(96);
    m.opacity = r.f32(100);
    m.twoSided = r.byte(104) != 0;
    m.dynamicReflection = r.byte(705) != 0;
    out_.materials.push_back(std::move(m));
    return true;
}

bool Parser::readCamera()
{
    const uint8_t* bytes = take(76, "the camera record");
    if (bytes == nullptr)
        return false;
    const Record r(bytes);
    SceneCamera camera;
    camera.id = r.i32(0);
    if (!name(r, 4, nameSize, "camera name", camera.name))
        return false;
    camera.position = r.vec3(56);
    camera.fov = r.f32(68);
    camera.targetId = r.i32(72);
    items_.add(SceneList::cameras, camera.id, out_.cameras.size());
    out_.cameras.push_back(std::move(camera));
    return true;
}

bool Parser::readPoint(bool particleSystem)
{
    const uint8_t* bytes = take(68, particleSystem ? "the particle system record" : "the target record");
    if (bytes == nullptr)
        return false;
    const Record r(bytes);
    std::string pointName;
    if (!name(r, 4, nameSize, "object name", pointName))
        return false;
    if (particleSystem) {
        items_.add(SceneList::particles, r.i32(0), out_.particles.size());
        out_.particles.push_back(SceneParticleNode{r.i32(0), std::move(pointName), r.vec3(56)});
        return true;
    }
    SceneObject target;
    target.kind = SceneObject::Kind::target;
    target.id = r.i32(0);
    target.name = std::move(pointName);
    target.position = r.vec3(56);
    target.chunkOffset = chunkStart_;
    return attachObject(std::move(target), "target ");
}

bool Parser::readLight()
{
    const uint8_t* bytes = take(196, "the light record");
    if (bytes == nullptr)
        return false;
    const Record r(bytes);
    SceneLight light;
    light.id = r.i32(0);
    if (!name(r, 4, nameSize, "light name", light.name) ||
        !name(r, 96, texnameSize, "projected texture", light.projectedTexture))
        return false;
    light.position = r.vec3(56);
    light.colour = r.vec3(68);
    light.range = r.f32(80);
    light.targetId = r.i32(84);
    light.spotExponent = r.f32(88);
    light.spotCutoff = r.f32(92);
    items_.add(SceneList::lights, light.id, out_.lights.size());
    out_.lights.push_back(std::move(light));
    return true;
}

bool Parser::readController(uint64_t payloadEnd)
{
    const uint8_t* bytes = take(28, "the controller record");
    if (bytes == nullptr)
        return false;
    const Record r(bytes);
    SceneController c;
    c.ownerId = r.i32(4);
    c.type = r.i32(8);
    c.itemKind = r.i32(12);
    c.count = r.i32(20);
    c.interval = r.i32(24);
    size_t itemSize = 0;
    if (c.itemKind == 2 && c.type == 2)
        c.kind = SceneController::Kind::positionKeys, itemSize = 36;
    else if (c.itemKind == 2 && c.type == 3)
        c.kind = SceneController::Kind::rotationKeys, itemSize = 20;
    else if (c.itemKind == 1 && c.type == sampledPositionRotation)
        c.kind = SceneController::Kind::samples, itemSize = 28;
    else if (c.itemKind == 1)
        return refused("other sample controller type than GRAFT_CTRL_PR not supported yet");
    if (c.kind == SceneController::Kind::undefined) {
        // Items this format does not define: passed over by the length.
        position_ = static_cast<size_t>(payloadEnd);
        out_.controllers.push_back(std::move(c));
        return true;
    }
    if (!readKeysOrSamples(c, itemSize))
        return false;
    c.owner = items_.find(c.ownerId);
    if (c.kind == SceneController::Kind::samples) {
        out_.sampleCount = c.count;
        out_.sampleInterval = c.interval;
        if (!c.owner.valid())
            out_.warnings.push_back("could not find owner for GRAFT_CTRL_PR object - skipping it!");
    } else if (!c.owner.valid()) {
        return refused("could not find owner for controller object");
    }
    out_.controllers.push_back(std::move(c));
    return true;
}

bool Parser::readKeysOrSamples(SceneController& c, size_t itemSize)
{
    if (c.count < 0)
        return damaged("negative count " + std::to_string(c.count));
    const uint64_t needed = static_cast<uint64_t>(c.count) * itemSize;
    if (needed > remaining())
        return damaged(std::to_string(c.count) + " items of " + std::to_string(itemSize) + " bytes need " +
                       std::to_string(needed) + " bytes, the file has " + std::to_string(remaining()) + " left");
    const auto n = static_cast<size_t>(c.count);
    if (c.kind == SceneController::Kind::samples) {
        c.samplePositions.resize(n);
        c.sampleRotations.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const Record s(take(28, "a sample"));
            c.samplePositions[i] = s.vec3(0);
            c.sampleRotations[i] = s.quaternion(12);
        }
    } else if (c.kind == SceneController::Kind::positionKeys) {
        c.positionKeys.resize(n);
        for (PositionKey& key : c.positionKeys) {
            const Record k(take(36, "a position key"));
            key.frame = k.i16(0);
            key.position = k.vec3(4);
            key.tension = k.f32(16);
            key.continuity = k.f32(20);
            key.bias = k.f32(24);
            key.easeTo = k.f32(28);
            key.easeFrom = k.f32(32);
        }
    } else {
        c.rotationKeys.resize(n);
        for (RotationKey& key : c.rotationKeys) {
            const Record k(take(20, "a rotation key"));
            key.frame = k.i16(0);
            key.rotation = k.quaternion(4);
        }
    }
    return true;
}

bool Parser::checkFaceMaterials()
{
    std::unordered_set<int32_t> held;
    for (const SceneMaterial& m : out_.materials)
        held.insert(m.id);
    for (const SceneObject& object : out_.objects)
        for (const SceneMeshFace& face : object.geometry.faces)
            if (held.count(face.materialId) == 0) {
                chunkType_ = sceneMeshChunk;
                chunkStart_ = object.chunkOffset;
                return refused("face material not found: " + std::to_string(face.materialId));
            }
    return true;
}

}  // namespace

SceneDescription parseSceneFile(const uint8_t* data, size_t size) { return Parser(data, size).parse(); }
