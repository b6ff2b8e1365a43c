#include "scene/scene_file_reader.h"

#include <GL/gl.h>

#include <memory>

#include "resources/datafile.h"
#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"
#include "scene/mesh.h"
#include "scene/scene.h"
#include "scene/scene_file_parser.h"
#include "shell/error_report.h"

namespace {

Color4 opaque(const Vec3& colour) { return Color4{colour.x, colour.y, colour.z, 1.0f}; }

Mesh* buildMesh(const SceneObject& record)
{
    auto* mesh = new Mesh(record.id, record.name);
    const SceneMeshGeometry& g = record.geometry;
    std::vector<MeshVertex> vertices(g.positions.size());
    for (size_t i = 0; i < vertices.size(); ++i)
        vertices[i].position = g.positions[i];
    std::vector<TexCoord> coords[2];
    for (int set = 0; set < 2; ++set)
        for (const SceneTexCoord& t : set == 0 ? g.coords1 : g.coords2)
            coords[set].push_back(TexCoord{t.u, t.v});
    std::vector<Face> faces(g.faces.size());
    for (size_t i = 0; i < faces.size(); ++i) {
        for (size_t c = 0; c < 3; ++c) {
            const SceneMeshCorner& from = g.faces[i].corners[c];
            faces[i].corners[c].vertex = from.vertex;
            faces[i].corners[c].coord1 = from.coord1;
            faces[i].corners[c].coord2 = from.coord2;
        }
        faces[i].materialId = g.faces[i].materialId;
        faces[i].smoothing = g.faces[i].smoothing;
    }
    mesh->setGeometry(std::move(vertices), std::move(coords[0]), std::move(coords[1]), std::move(faces));
    return mesh;
}

SceneNode* buildObject(const SceneObject& record)
{
    SceneNode* node = nullptr;
    switch (record.kind) {
    case SceneObject::Kind::mesh: node = buildMesh(record); break;
    case SceneObject::Kind::dummy: node = new Dummy(record.id, record.name); break;
    case SceneObject::Kind::target:
        node = new TargetNode(record.id, record.name);
        node->setPosition(record.position);
        return node;
    }
    node->setPosition(record.position);
    node->setRotationMatrix(record.rotation.toMatrix());
    node->setScale(record.scale.x, record.scale.y, record.scale.z);
    return node;
}

}  // namespace

SceneFileReader::~SceneFileReader() { delete scene_; }

bool SceneFileReader::fail(const std::string& message, bool fatal)
{
    const std::string text = "Error in parsing " + path_ + ": " + message + "\n";
    reportError(text.c_str(), -1, fatal);
    return !fatal;
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
    DataFile* file = dataOpen(path_.c_str());
    if (file == nullptr) {
        fail("could not open file");
        return nullptr;
    }
    const SceneDescription description = parseSceneFile(file->data, file->size);
    dataClose(file);
    for (const std::string& warning : description.warnings)
        fail(warning, false);
    if (description.failed) {
        const SceneProblem& p = description.problem;
        fail(p.structural ? "not a grafter file: " + p.where() + ": " + p.text : p.text);
        return nullptr;
    }
    scene_ = new Scene();
    if (!build(description))
        return nullptr;
    scene_->prepareObjects();
    scene_->bindObjects();
    Scene* scene = scene_;
    scene_ = nullptr;
    return scene;
}

bool SceneFileReader::build(const SceneDescription& description)
{
    for (const SceneMaterial& m : description.materials)
        if (!buildMaterial(m))
            return false;
    for (const SceneLight& l : description.lights)
        if (!buildLight(l))
            return false;
    for (const SceneCamera& c : description.cameras) {
        auto* camera = new Camera(c.id, c.name);
        camera->setPosition(c.position);
        camera->setFov(c.fov);
        camera->setTargetId(c.targetId);
        scene_->addCamera(camera);
        cameras_.push_back(camera);
    }
    for (const SceneParticleNode& p : description.particles) {
        auto* particles = new ParticleNode(p.id, p.name);
        particles->setPosition(p.position);
        scene_->addParticleNode(particles);
        particles_.push_back(particles);
    }
    buildObjects(description);
    for (const SceneController& c : description.controllers)
        applyController(c);
    return true;
}

void SceneFileReader::buildObjects(const SceneDescription& description)
{
    objects_.reserve(description.objects.size());
    for (const SceneObject& record : description.objects) {
        SceneNode* built = buildObject(record);
        objects_.push_back(built);
        // The parser resolved every parent to an item read before.
        if (SceneNode* parent = node(record.parent))
            parent->addChild(built);
        else
            scene_->addObject(built);
    }
}

SceneNode* SceneFileReader::node(const SceneItemRef& ref) const
{
    switch (ref.list) {
    case SceneList::objects: return objects_[ref.index];
    case SceneList::lights: return lights_[ref.index];
    case SceneList::cameras: return cameras_[ref.index];
    case SceneList::particles: return particles_[ref.index];
    case SceneList::none: break;
    }
    return nullptr;
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

bool SceneFileReader::buildMaterial(const SceneMaterial& record)
{
    auto material = std::make_unique<Material>(record.id, record.name);
    material->setAmbient(opaque(record.ambient));
    material->setDiffuse(opaque(record.diffuse));
    material->setSpecular(opaque(record.specular));
    material->setShininess(record.shininess, record.specularLevel);
    material->setOpacity(record.opacity);
    material->setTwoSided(record.twoSided);
    // Loaded in this order, so that a missing one is reported as before.
    Texture* maps[mapSlots] = {};
    for (SceneMapSlot slot : {diffuseSlot, reflectionSlot, additiveSlot, lightSlot, bumpSlot, opacitySlot}) {
        maps[slot] = loadTexture(record.maps[slot]);
        if (maps[slot] == nullptr && !record.maps[slot].empty())
            return false;
    }
    if (maps[diffuseSlot] != nullptr)
        material->setDiffuseMap(maps[diffuseSlot]);
    if (maps[reflectionSlot] != nullptr)
        material->setReflectionMap(maps[reflectionSlot]);
    if (maps[additiveSlot] != nullptr) {
        material->setDiffuseMap(maps[additiveSlot]);
        material->setAdditive(true);
    }
    if (maps[lightSlot] != nullptr)
        material->setLightMap(maps[lightSlot]);
    if (maps[bumpSlot] != nullptr)
        material->setBumpMap(maps[bumpSlot]);
    if (maps[opacitySlot] != nullptr)
        material->setOpacityMap(maps[opacitySlot]);
    material->setMode(record.mode());
    scene_->addMaterial(material.release());
    return true;
}

bool SceneFileReader::buildLight(const SceneLight& record)
{
    auto* light = new Light(record.id, record.name);
    light->setPosition(record.position);
    light->setColour(opaque(record.colour));
    scene_->addLight(light);
    lights_.push_back(light);
    light->setLinearAttenuation(record.range > 0.0f ? 1.0f / (record.range / 2.0f) : 0.0f);
    light->setTargetId(record.targetId);
    light->setSpotCutoff(record.spotCutoff);
    light->setSpotExponent(record.spotExponent);
    Texture* texture = loadTexture(record.projectedTexture);
    if (texture != nullptr)
        light->setProjectedTexture(texture);
    return texture != nullptr || record.projectedTexture.empty();
}

void SceneFileReader::applyController(const SceneController& c)
{
    if (c.kind == SceneController::Kind::samples)
        scene_->setAnimation(c.count, c.interval);
    SceneNode* owner = node(c.owner);
    if (owner == nullptr)
        return;
    switch (c.kind) {
    case SceneController::Kind::samples:
        owner->setSampleRotations(c.sampleRotations);
        owner->setSamplePositions(c.samplePositions);
        owner->setSampleInterval(c.interval);
        break;
    case SceneController::Kind::positionKeys: owner->setPositionKeys(c.positionKeys); break;
    case SceneController::Kind::rotationKeys: owner->setRotationKeys(c.rotationKeys); break;
    case SceneController::Kind::undefined: break;
    }
}
