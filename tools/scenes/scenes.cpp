#include "tools/scenes/scenes.h"

namespace scenegen {

const std::vector<ShowScene>& showScenes()
{
    static const std::vector<ShowScene> scenes = {{"gang.scn", buildGangScene},
                                                  {"welderscene4.scn", buildWelderScene},
                                                  {"tree.scn", buildTreeScene},
                                                  {"cranium.scn", buildCraniumScene},
                                                  {"gallery.scn", buildGalleryScene}};
    return scenes;
}

const std::vector<Window>& weldingWindows()
{
    static const std::vector<Window> windows = {
        {288, 308},   {378, 407},   {570, 590},   {1220, 1240}, {1507, 1527}, {1887, 1907}, {2039, 2059},
        {2151, 2171}, {2334, 2354}, {2500, 2520}, {2640, 2660}, {3140, 3160}, {3824, 3844}, {3961, 3981}};
    return windows;
}

scenefile::Material texturedMaterial(const std::string& name, const std::string& diffuseMap)
{
    scenefile::Material m;
    m.name = name;
    m.ambient = {0.3f, 0.3f, 0.3f};
    m.diffuse = {1.0f, 1.0f, 1.0f};
    m.specular = {0.9f, 0.9f, 0.9f};
    m.shininess = 0.25f;
    m.specularLevel = 0.2f;
    m.diffuseMap = storedTexture(diffuseMap);
    return m;
}

scenefile::Material plainMaterial(const std::string& name, Float3 colour)
{
    scenefile::Material m;
    m.name = name;
    m.ambient = colour * 0.4f;
    m.diffuse = colour;
    m.specular = {1.0f, 1.0f, 1.0f};
    m.shininess = 0.3f;
    m.specularLevel = 0.3f;
    return m;
}

scenefile::Mesh namedMesh(const std::string& name)
{
    scenefile::Mesh m;
    m.name = name;
    return m;
}

Surface paintWith(int32_t material, float uRepeat, float vRepeat, uint32_t smoothing)
{
    Surface s;
    s.material = material;
    s.uRepeat = uRepeat;
    s.vRepeat = vRepeat;
    s.smoothing = smoothing;
    return s;
}

Pose at(Float3 position) { return {position, {}}; }

float ease(float t, float t0, float t1) { return smoothstep01((t - t0) / (t1 - t0)); }

}  // namespace scenegen
