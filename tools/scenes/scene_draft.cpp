#include "tools/scenes/scene_draft.h"

#include <utility>

namespace scenegen {

std::string storedTexture(const std::string& file)
{
    return "D:\\stillwater\\maps\\" + file;
}

SceneDraft::SceneDraft(int32_t interval, int32_t sampleCount) : interval_(interval), sampleCount_(sampleCount) {}

int32_t SceneDraft::addMaterial(scenefile::Material material)
{
    material.id = static_cast<int32_t>(materials_.size());
    materials_.push_back(std::move(material));
    return materials_.back().id;
}

int32_t SceneDraft::addMesh(scenefile::Mesh mesh, int32_t parentId, const Pose& pose, bool keepSecondSet)
{
    mesh.id = nextId_++;
    mesh.parentId = parentId;
    mesh.position = pose.position;
    mesh.rotation = toFile(pose.rotation);
    if (!keepSecondSet) {
        mesh.tex2.clear();
        for (scenefile::Face& f : mesh.faces)
            f.tex2 = {0, 0, 0};
    }
    objects_.emplace_back(std::move(mesh));
    return nextId_ - 1;
}

int32_t SceneDraft::addDummy(const std::string& name, int32_t parentId, const Pose& pose)
{
    scenefile::Dummy d;
    d.id = nextId_++;
    d.parentId = parentId;
    d.name = name;
    d.position = pose.position;
    d.rotation = toFile(pose.rotation);
    objects_.emplace_back(d);
    return d.id;
}

int32_t SceneDraft::addTarget(const std::string& name, Float3 position)
{
    objects_.emplace_back(TargetObject{{nextId_++, name, position}});
    return nextId_ - 1;
}

int32_t SceneDraft::addParticleSystem(const std::string& name, Float3 position)
{
    particles_.push_back({nextId_++, name, position});
    return nextId_ - 1;
}

int32_t SceneDraft::addCamera(const std::string& name, Float3 position, float fov, int32_t targetId)
{
    cameras_.push_back({nextId_++, name, position, fov, targetId});
    return nextId_ - 1;
}

int32_t SceneDraft::addLight(scenefile::Light light)
{
    light.id = nextId_++;
    lights_.push_back(std::move(light));
    return nextId_ - 1;
}

void SceneDraft::animate(int32_t id, const std::function<Pose(float time)>& pose)
{
    Track track{id, {}};
    for (int32_t k = 0; k < sampleCount_; ++k) {
        const Pose p = pose(static_cast<float>(k * interval_));
        track.samples.push_back({p.position, toFile(p.rotation)});
    }
    tracks_.push_back(std::move(track));
}

void SceneDraft::addKeys(int32_t id, std::vector<scenefile::PositionKey> position,
                         std::vector<scenefile::RotationKey> rotation)
{
    keys_.push_back({id, std::move(position), std::move(rotation)});
}

bool SceneDraft::encode(std::vector<uint8_t>& out, std::string& error) const
{
    scenefile::Writer writer;
    bool ok = true;
    for (const scenefile::Material& m : materials_)
        ok = ok && writer.material(m);
    for (const Object& object : objects_) {
        if (const auto* mesh = std::get_if<scenefile::Mesh>(&object))
            ok = ok && writer.mesh(*mesh);
        else if (const auto* dummy = std::get_if<scenefile::Dummy>(&object))
            ok = ok && writer.dummy(*dummy);
        else
            ok = ok && writer.target(std::get<TargetObject>(object).point);
    }
    for (const scenefile::Point& p : particles_)
        ok = ok && writer.particleSystem(p);
    for (const scenefile::Camera& c : cameras_)
        ok = ok && writer.camera(c);
    for (const scenefile::Light& l : lights_)
        ok = ok && writer.light(l);
    for (const Keys& k : keys_) {
        if (!k.position.empty())
            ok = ok && writer.positionKeys(k.owner, k.position);
        if (!k.rotation.empty())
            ok = ok && writer.rotationKeys(k.owner, k.rotation);
    }
    for (const Track& t : tracks_)
        ok = ok && writer.samples(t.owner, interval_, t.samples);
    if (!ok) {
        error = writer.error();
        return false;
    }
    writer.end();
    out = writer.bytes();
    return true;
}

}  // namespace scenegen
