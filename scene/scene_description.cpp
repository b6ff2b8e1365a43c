#include "scene/scene_description.h"

const char* sceneChunkName(int32_t type)
{
    switch (type) {
    case sceneEndChunk: return "end";
    case sceneMeshChunk: return "mesh";
    case sceneDummyChunk: return "dummy";
    case sceneMaterialChunk: return "material";
    case sceneCameraChunk: return "camera";
    case sceneTargetChunk: return "target";
    case sceneLightChunk: return "light";
    case sceneControllerChunk: return "controller";
    case sceneParticleChunk: return "particle system";
    default: return "unknown";
    }
}

std::string SceneProblem::where() const
{
    if (chunkOffset == 0)
        return "header at offset 0";
    return std::string(sceneChunkName(chunkType)) + " chunk at offset " + std::to_string(chunkOffset);
}

// The first row that matches wins. A texture that cannot be loaded stops the
// player, so the textures named are the textures that load.
int SceneMaterial::mode() const
{
    const bool diffuse = !maps[diffuseSlot].empty(), reflection = !maps[reflectionSlot].empty();
    const bool additive = !maps[additiveSlot].empty(), bump = !maps[bumpSlot].empty();
    const bool light = !maps[lightSlot].empty();
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

SceneItemIndex::SceneItemIndex(const SceneDescription& description)
{
    for (size_t i = 0; i < description.objects.size(); ++i) {
        if (!description.objects[i].parent.valid())
            addTopLevelObject(i);
        add(SceneList::objects, description.objects[i].id, i);
    }
    for (size_t i = 0; i < description.lights.size(); ++i)
        add(SceneList::lights, description.lights[i].id, i);
    for (size_t i = 0; i < description.cameras.size(); ++i)
        add(SceneList::cameras, description.cameras[i].id, i);
    for (size_t i = 0; i < description.particles.size(); ++i)
        add(SceneList::particles, description.particles[i].id, i);
}

void SceneItemIndex::add(SceneList list, int32_t id, size_t index)
{
    firstOf_[static_cast<size_t>(list)].emplace(id, static_cast<uint32_t>(index));
}

void SceneItemIndex::addTopLevelObject(size_t index)
{
    if (hasTopLevelObject_)
        return;
    hasTopLevelObject_ = true;
    firstTopLevelObject_ = static_cast<uint32_t>(index);
}

SceneItemRef SceneItemIndex::find(int32_t id) const
{
    if (id == 0)
        return hasTopLevelObject_ ? SceneItemRef{SceneList::objects, firstTopLevelObject_} : SceneItemRef{};
    for (SceneList list : {SceneList::objects, SceneList::lights, SceneList::cameras, SceneList::particles}) {
        const auto& ids = firstOf_[static_cast<size_t>(list)];
        const auto found = ids.find(id);
        if (found != ids.end())
            return SceneItemRef{list, found->second};
    }
    return SceneItemRef{};
}

const std::string& sceneItemName(const SceneDescription& description, const SceneItemRef& ref)
{
    switch (ref.list) {
    case SceneList::lights: return description.lights[ref.index].name;
    case SceneList::cameras: return description.cameras[ref.index].name;
    case SceneList::particles: return description.particles[ref.index].name;
    default: return description.objects[ref.index].name;
    }
}
