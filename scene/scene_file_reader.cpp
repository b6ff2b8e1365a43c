#include "scene/scene_file_reader.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "resources/datafile.h"
#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"
#include "scene/mesh.h"
#include "scene/scene.h"
#include "shell/error_report.h"

namespace {

enum ChunkType : int32_t {
    endOfFile = 1,
    meshChunk = 2,
    dummyChunk = 3,
    materialChunk = 4,
    cameraChunk = 5,
    targetChunk = 6,
    lightChunk = 7,
    controllerChunk = 8,
    particleChunk = 9,
};

constexpr int32_t graftCtrlPR = 5;

const char* chunkName(int32_t type)
{
    switch (type) {
    case meshChunk: return "mesh";
    case dummyChunk: return "dummy";
    case materialChunk: return "material";
    case cameraChunk: return "camera";
    case targetChunk: return "target";
    case lightChunk: return "light";
    case particleChunk: return "particle system";
    default: return "unknown";
    }
}
constexpr size_t nameSize = 52;
constexpr size_t texnameSize = 100;

// Little-endian fields of one record read whole.
class Record {
public:
    explicit Record(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    uint32_t u32(size_t at) const
    {
        return static_cast<uint32_t>(bytes_[at]) | static_cast<uint32_t>(bytes_[at + 1]) << 8 |
               static_cast<uint32_t>(bytes_[at + 2]) << 16 | static_cast<uint32_t>(bytes_[at + 3]) << 24;
    }
    int32_t i32(size_t at) const { return static_cast<int32_t>(u32(at)); }
    int16_t i16(size_t at) const
    {
        return static_cast<int16_t>(static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8));
    }
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
        const auto* begin = bytes_.data() + at;
        const void* nul = std::memchr(begin, 0, size);
        if (nul == nullptr)
            return false;
        out.assign(reinterpret_cast<const char*>(begin), static_cast<size_t>(static_cast<const uint8_t*>(nul) - begin));
        return true;
    }

private:
    const std::vector<uint8_t>& bytes_;
};

void setTransform(SceneNode& node, const Record& r, size_t position, size_t rotation, size_t scale)
{
    node.setPosition(r.vec3(position));
    node.setRotationMatrix(r.quaternion(rotation).toMatrix());
    const Vec3 s = r.vec3(scale);
    node.setScale(s.x, s.y, s.z);
}

// Material modes by what loaded; the first row that matches wins.
int chooseMode(bool dynamicReflection, bool diffuse, bool reflection, bool light, bool bump, bool additive)
{
    if (dynamicReflection)
        return reflection ? 11 : 10;
    if (diffuse && reflection)
        return 4;
    if (diffuse && light)
        return 5;
    if (diffuse && bump)
        return 6;
    if (reflection && bump)
        return 7;
    if (additive || diffuse)
        return 1;
    if (reflection)
        return 2;
    return 0;
}

}  // namespace

SceneFileReader::~SceneFileReader()
{
    dataClose(file_);
    delete scene_;
}

bool SceneFileReader::fail(const std::string& message, bool fatal)
{
    const std::string text = "Error in parsing " + path_ + ": " + message + "\n";
    reportError(text.c_str(), -1, fatal);
    return !fatal;
}

bool SceneFileReader::unterminated(const char* field)
{
    return fail(std::string("not a grafter file: the ") + field + " of the " + chunkName(chunkType_) +
                " chunk at offset " + std::to_string(chunkStart_) + " has no NUL");
}

uint64_t SceneFileReader::remaining() const
{
    return file_->position < file_->size ? file_->size - file_->position : 0;
}

bool SceneFileReader::readRecord(std::vector<uint8_t>& record, size_t n)
{
    record.resize(n);
    if (n == 0)
        return true;
    if (dataRead(record.data(), n, 1, file_) != 1)
        return damaged();
    return true;
}

Scene* SceneFileReader::load(const char* path, const char* textureDirectory)
{
    if (!TextureManager::hasImageLibrary()) {
        // Lives as long as the textures made from its pictures: to the end.
        static ImageCache* library = new ImageCache();
        TextureManager::setImageLibrary(library);
    }
    path_ = path != nullptr ? path : "";
    textureDirectory_ = textureDirectory != nullptr ? textureDirectory : "";
    file_ = dataOpen(path_.c_str());
    if (file_ == nullptr) {
        fail("could not open file");
        return nullptr;
    }
    std::vector<uint8_t> header;
    if (!readRecord(header, 4))
        return nullptr;
    if (Record(header).i32(0) != 0) {
        fail("not a grafter file");
        return nullptr;
    }
    scene_ = new Scene();
    const bool complete = readChunks();
    dataClose(file_);
    file_ = nullptr;
    if (!complete)
        return nullptr;
    scene_->prepareObjects();
    scene_->bindObjects();
    Scene* scene = scene_;
    scene_ = nullptr;
    return scene;
}

bool SceneFileReader::readChunks()
{
    std::vector<uint8_t> header;
    // A file that ends without its end chunk simply ends the loop.
    while (remaining() >= 8) {
        chunkStart_ = file_->position;
        readRecord(header, 8);
        const Record r(header);
        const int32_t type = r.i32(0);
        const int32_t length = r.i32(4);
        chunkType_ = type;
        if (type == endOfFile)
            return true;
        // A length that runs backwards would read the same chunks again.
        if (length < 0)
            return damaged();
        // Known chunks are read by their records and need no length; it only
        // serves to pass over what the reader does not know. A length past
        // the end passes over the rest of the file, which ends the loop.
        const auto payloadEnd = static_cast<uint32_t>(std::min<uint64_t>(
            uint64_t{file_->position} + static_cast<uint64_t>(length), file_->size));
        bool ok = true;
        switch (type) {
        case meshChunk: ok = readMesh(); break;
        case dummyChunk: ok = readDummy(); break;
        case materialChunk: ok = readMaterial(); break;
        case cameraChunk: ok = readCamera(); break;
        case targetChunk: ok = readPoint(false); break;
        case lightChunk: ok = readLight(); break;
        case controllerChunk: ok = readController(payloadEnd); break;
        case particleChunk: ok = readPoint(true); break;
        default: dataSeek(file_, static_cast<long>(payloadEnd), 0); break;
        }
        if (!ok)
            return false;
    }
    return true;
}

Texture* SceneFileReader::loadTexture(const std::string& texname)
{
    if (texname.empty())
        return nullptr;
    std::string name = texname;
    const char* directory = nullptr;
    if (!useStoredPaths_) {
        const size_t slash = name.find_last_of('\\');
        if (slash != std::string::npos)
            name = name.substr(slash + 1);
        directory = textureDirectory_.c_str();
    }
    Texture* texture = TextureManager::loadTexture(name.c_str(), directory, GL_TEXTURE_2D);
    if (texture == nullptr)
        fail("could not load texture " + name + "\n");
    return texture;
}

bool SceneFileReader::readMesh()
{
    std::vector<uint8_t> bytes;
    if (!readRecord(bytes, 128))
        return false;
    const Record r(bytes);
    const int32_t id = r.i32(0);
    const int32_t parentId = r.i32(4);
    std::string name;
    if (!r.text(8, nameSize, name))
        return unterminated("object name");
    const uint64_t vertexCount = r.u32(60), count1 = r.u32(64), count2 = r.u32(68), faceCount = r.u32(72);
    // Every array has to lie inside the file before anything is allocated.
    if (vertexCount * 12 + (count1 + count2) * 8 + faceCount * 44 > remaining())
        return damaged();

    auto mesh = std::make_unique<Mesh>(id, name);
    setTransform(*mesh, r, 76, 88, 104);
    std::vector<MeshVertex> vertices(vertexCount);
    for (MeshVertex& v : vertices) {
        readRecord(bytes, 12);
        v.position = Record(bytes).vec3(0);
    }
    std::vector<TexCoord> coords[2] = {std::vector<TexCoord>(count1), std::vector<TexCoord>(count2)};
    for (auto& set : coords)
        for (TexCoord& t : set) {
            readRecord(bytes, 8);
            t.u = Record(bytes).f32(0);
            t.v = -Record(bytes).f32(4);
        }
    std::vector<Face> faces(faceCount);
    for (Face& face : faces) {
        readRecord(bytes, 44);
        const Record f(bytes);
        for (size_t c = 0; c < 3; ++c) {
            FaceCorner& corner = face.corners[c];
            corner.vertex = f.i32(c * 4);
            corner.coord1 = f.i32(12 + c * 4);
            corner.coord2 = f.i32(24 + c * 4);
            // An empty coordinate set is never indexed; any other index
            // has to name an element of its array.
            if (corner.vertex < 0 || static_cast<uint64_t>(corner.vertex) >= vertexCount ||
                (count1 > 0 && (corner.coord1 < 0 || static_cast<uint64_t>(corner.coord1) >= count1)) ||
                (count2 > 0 && (corner.coord2 < 0 || static_cast<uint64_t>(corner.coord2) >= count2)))
                return damaged();
        }
        face.materialId = f.i32(36) == -1 ? 0 : f.i32(36);
        face.smoothing = f.i32(40);
    }
    mesh->setGeometry(std::move(vertices), std::move(coords[0]), std::move(coords[1]), std::move(faces));
    return attach(std::move(mesh), parentId, "object ");
}

bool SceneFileReader::attach(std::unique_ptr<SceneNode> node, int32_t parentId, const char* kind)
{
    if (parentId == 0) {
        scene_->addObject(node.release());
        return true;
    }
    SceneNode* parent = scene_->findById(parentId);
    if (parent == nullptr)
        return fail(kind + std::to_string(node->id()) + " could not find parent obj " + std::to_string(parentId));
    parent->addChild(node.release());
    return true;
}

bool SceneFileReader::readDummy()
{
    std::vector<uint8_t> bytes;
    std::string name;
    if (!readNamedRecord(bytes, 100, 8, "object name", name))
        return false;
    const Record r(bytes);
    const int32_t id = r.i32(0);
    const int32_t parentId = r.i32(4);
    auto dummy = std::make_unique<Dummy>(id, name);
    setTransform(*dummy, r, 60, 72, 88);
    return attach(std::move(dummy), parentId, "dummy object ");
}

bool SceneFileReader::readMaterial()
{
    std::vector<uint8_t> bytes;
    if (!readRecord(bytes, 708))
        return false;
    const Record r(bytes);
    std::string name;
    std::string maps[6];  // diffuse, reflection, additive, bump, opacity, light
    static const char* const mapFields[6] = {"diffuse map", "reflection map", "additive map",
                                             "bump map",    "opacity map",    "light map"};
    if (!r.text(4, nameSize, name))
        return unterminated("material name");
    for (size_t i = 0; i < 6; ++i)
        if (!r.text(105 + i * texnameSize, texnameSize, maps[i]))
            return unterminated(mapFields[i]);
    auto material = std::make_unique<Material>(r.i32(0), name);
    const Vec3 ambient = r.vec3(56), diffuse = r.vec3(68), specular = r.vec3(80);
    material->setAmbient(Color4{ambient.x, ambient.y, ambient.z, 1.0f});
    material->setDiffuse(Color4{diffuse.x, diffuse.y, diffuse.z, 1.0f});
    material->setSpecular(Color4{specular.x, specular.y, specular.z, 1.0f});
    material->setShininess(r.f32(92), r.f32(96));
    material->setOpacity(r.f32(100));
    material->setTwoSided(r.byte(104) != 0);

    Texture* diffuseMap = loadTexture(maps[0]);
    if (diffuseMap != nullptr)
        material->setDiffuseMap(diffuseMap);
    Texture* reflectionMap = loadTexture(maps[1]);
    if (reflectionMap != nullptr)
        material->setReflectionMap(reflectionMap);
    Texture* additiveMap = loadTexture(maps[2]);
    if (additiveMap != nullptr) {
        material->setDiffuseMap(additiveMap);
        material->setAdditive(true);
    }
    Texture* lightMap = loadTexture(maps[5]);
    if (lightMap != nullptr)
        material->setLightMap(lightMap);
    Texture* bumpMap = loadTexture(maps[3]);
    if (bumpMap != nullptr)
        material->setBumpMap(bumpMap);
    Texture* opacityMap = loadTexture(maps[4]);
    if (opacityMap != nullptr)
        material->setOpacityMap(opacityMap);
    material->setMode(chooseMode(r.byte(705) != 0, diffuseMap != nullptr, reflectionMap != nullptr,
                                 lightMap != nullptr, bumpMap != nullptr, additiveMap != nullptr));
    scene_->addMaterial(material.release());
    return true;
}

bool SceneFileReader::readNamedRecord(std::vector<uint8_t>& bytes, size_t size, size_t nameAt, const char* field,
                                      std::string& name)
{
    if (!readRecord(bytes, size))
        return false;
    if (!Record(bytes).text(nameAt, nameSize, name))
        return unterminated(field);
    return true;
}

bool SceneFileReader::readCamera()
{
    std::vector<uint8_t> bytes;
    std::string name;
    if (!readNamedRecord(bytes, 76, 4, "camera name", name))
        return false;
    const Record r(bytes);
    auto* camera = new Camera(r.i32(0), name);
    camera->setPosition(r.vec3(56));
    camera->setFov(r.f32(68));
    camera->setTargetId(r.i32(72));
    scene_->addCamera(camera);
    return true;
}

bool SceneFileReader::readPoint(bool particleSystem)
{
    std::vector<uint8_t> bytes;
    std::string name;
    if (!readNamedRecord(bytes, 68, 4, "object name", name))
        return false;
    const Record r(bytes);
    if (particleSystem) {
        auto* node = new ParticleNode(r.i32(0), name);
        node->setPosition(r.vec3(56));
        scene_->addParticleNode(node);
    } else {
        auto* node = new TargetNode(r.i32(0), name);
        node->setPosition(r.vec3(56));
        scene_->addObject(node);
    }
    return true;
}

bool SceneFileReader::readLight()
{
    std::vector<uint8_t> bytes;
    std::string name, projected;
    if (!readNamedRecord(bytes, 196, 4, "light name", name))
        return false;
    const Record r(bytes);
    if (!r.text(96, texnameSize, projected))
        return unterminated("projected texture");
    auto light = std::make_unique<Light>(r.i32(0), name);
    light->setPosition(r.vec3(56));
    const Vec3 colour = r.vec3(68);
    light->setColour(Color4{colour.x, colour.y, colour.z, 1.0f});
    scene_->addLight(light.get());
    Light* added = light.release();
    const float range = r.f32(80);
    added->setLinearAttenuation(range > 0.0f ? 1.0f / (range / 2.0f) : 0.0f);
    added->setTargetId(r.i32(84));
    added->setSpotCutoff(r.f32(92));
    added->setSpotExponent(r.f32(88));
    if (Texture* texture = loadTexture(projected))
        added->setProjectedTexture(texture);
    return true;
}

bool SceneFileReader::readController(uint32_t chunkEnd)
{
    std::vector<uint8_t> bytes;
    if (!readRecord(bytes, 28))
        return false;
    const Record r(bytes);
    const int32_t ownerId = r.i32(4);
    const int32_t type = r.i32(8);
    const int32_t kind = r.i32(12);
    const int32_t count = r.i32(20);
    const int32_t interval = r.i32(24);
    const bool keys = kind == 2 && (type == 2 || type == 3);
    const bool samples = kind == 1 && type == graftCtrlPR;
    if (kind == 1 && !samples)
        return fail("other sample controller type than GRAFT_CTRL_PR not supported yet");
    if (!keys && !samples) {
        // Items this format does not define: passed over by the length.
        dataSeek(file_, static_cast<long>(chunkEnd), 0);
        return true;
    }
    const uint64_t itemSize = samples ? 28 : type == 2 ? 36 : 20;
    if (count < 0 || static_cast<uint64_t>(count) * itemSize > remaining())
        return damaged();
    const auto n = static_cast<size_t>(count);

    if (samples) {
        std::vector<Vec3> positions(n);
        std::vector<Quaternion> rotations(n);
        for (size_t i = 0; i < n; ++i) {
            readRecord(bytes, 28);
            positions[i] = Record(bytes).vec3(0);
            rotations[i] = Record(bytes).quaternion(12);
        }
        scene_->setAnimation(count, interval);
        SceneNode* owner = scene_->findById(ownerId);
        if (owner == nullptr)
            return fail("could not find owner for GRAFT_CTRL_PR object - skipping it!", false);
        owner->setSampleRotations(std::move(rotations));
        owner->setSamplePositions(std::move(positions));
        owner->setSampleInterval(interval);
        return true;
    }
    if (type == 2) {
        std::vector<PositionKey> keyArray(n);
        for (PositionKey& key : keyArray) {
            readRecord(bytes, 36);
            const Record k(bytes);
            key.frame = k.i16(0);
            key.position = k.vec3(4);
            key.tension = k.f32(16);
            key.continuity = k.f32(20);
            key.bias = k.f32(24);
            key.easeTo = k.f32(28);
            key.easeFrom = k.f32(32);
        }
        SceneNode* owner = scene_->findById(ownerId);
        if (owner == nullptr)
            return fail("could not find owner for controller object");
        owner->setPositionKeys(std::move(keyArray));
        return true;
    }
    std::vector<RotationKey> keyArray(n);
    for (RotationKey& key : keyArray) {
        readRecord(bytes, 20);
        key.frame = Record(bytes).i16(0);
        key.rotation = Record(bytes).quaternion(4);
    }
    SceneNode* owner = scene_->findById(ownerId);
    if (owner == nullptr)
        return fail("could not find owner for controller object");
    owner->setRotationKeys(std::move(keyArray));
    return true;
}
