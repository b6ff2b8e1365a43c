#include "tools/swtool/scene_listing.h"

#include <cstdarg>
#include <cstdio>
#include <set>

#include "scene/scene_file_parser.h"

namespace {

// Objects nested deeper than this are indented no further; their depth is
// written as a number instead, so that a deep chain prints in linear size.
constexpr size_t indentedLevels = 4;

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...)
{
    char text[512];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return text;
}

std::string reducedTextureName(const std::string& stored)
{
    const auto slash = stored.rfind('\\');
    return slash == std::string::npos ? stored : stored.substr(slash + 1);
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

class Printer {
public:
    explicit Printer(const SceneDescription& d) : d_(d), items_(d) {}
    SceneListing print();

private:
    std::string objectLine(const SceneObject& object) const;
    void printObjects();
    std::string targetText(int32_t targetId) const;
    void printLights();
    void printMaterials();
    void printControllers();
    void add(std::string line) { listing_.lines.push_back(std::move(line)); }
    void addTexture(const std::string& stored)
    {
        if (!stored.empty())
            listing_.textures.push_back(reducedTextureName(stored));
    }

    const SceneDescription& d_;
    const SceneItemIndex items_;
    SceneListing listing_;
};

std::string Printer::objectLine(const SceneObject& o) const
{
    if (o.kind == SceneObject::Kind::target)
        return format("target \"%s\" id %d at %.2f %.2f %.2f", o.name.c_str(), o.id, o.position.x, o.position.y,
                      o.position.z);
    if (o.kind == SceneObject::Kind::dummy)
        return format("dummy \"%s\" id %d parent %d", o.name.c_str(), o.id, o.parentId);
    const SceneMeshGeometry& g = o.geometry;
    std::set<int32_t> materials;
    for (const SceneMeshFace& face : g.faces)
        materials.insert(face.materialId);
    std::string used;
    for (const int32_t m : materials)
        used += (used.empty() ? "" : " ") + std::to_string(m);
    return format("mesh \"%s\" id %d parent %d: %zu vertices, %zu + %zu texture coordinates, %zu faces, "
                  "%zu materials (",
                  o.name.c_str(), o.id, o.parentId, g.positions.size(), g.coords1.size(), g.coords2.size(),
                  g.faces.size(), materials.size()) +
           used + ")";
}

// Depth first, without recursion: the tree may be as deep as the file has
// objects. Objects whose parent is a light, camera or particle system are
// listed at the top with their parent's id.
void Printer::printObjects()
{
    constexpr uint32_t none = UINT32_MAX;
    const size_t n = d_.objects.size();
    std::vector<uint32_t> firstChild(n, none), lastChild(n, none), nextSibling(n, none);
    std::vector<uint32_t> roots;
    for (uint32_t i = 0; i < n; ++i) {
        const SceneItemRef& parent = d_.objects[i].parent;
        if (parent.list != SceneList::objects) {
            roots.push_back(i);
            continue;
        }
        (firstChild[parent.index] == none ? firstChild[parent.index] : nextSibling[lastChild[parent.index]]) = i;
        lastChild[parent.index] = i;
    }
    std::vector<std::pair<uint32_t, size_t>> stack;  // object, depth
    for (auto root = roots.rbegin(); root != roots.rend(); ++root)
        stack.emplace_back(*root, 0);
    while (!stack.empty()) {
        const auto [index, depth] = stack.back();
        stack.pop_back();
        std::string line(std::min(depth, indentedLevels) * 2, ' ');
        if (depth > indentedLevels)
            line += format("(depth %zu) ", depth);
        add(line + objectLine(d_.objects[index]));
        // Children pushed last to first, so that the first is listed first.
        std::vector<uint32_t> children;
        for (uint32_t c = firstChild[index]; c != none; c = nextSibling[c])
            children.push_back(c);
        for (auto c = children.rbegin(); c != children.rend(); ++c)
            stack.emplace_back(*c, depth + 1);
    }
}

std::string Printer::targetText(int32_t targetId) const
{
    if (targetId == 0)
        return " no target";
    const SceneItemRef ref = items_.find(targetId);
    return format(" target %d ", targetId) + (ref.valid() ? quoted(sceneItemName(d_, ref)) : "(none)");
}

void Printer::printLights()
{
    for (const SceneLight& l : d_.lights) {
        std::string line = format("light \"%s\" id %d colour %.2f %.2f %.2f range %.1f", l.name.c_str(), l.id,
                                  l.colour.x, l.colour.y, l.colour.z, l.range);
        line += l.spotCutoff > 0.0f && l.spotCutoff < 180.0f
                    ? format(" spot %.1f exponent %.1f", l.spotCutoff, l.spotExponent)
                    : std::string(" omni");
        if (!l.projectedTexture.empty())
            line += " projector " + quoted(reducedTextureName(l.projectedTexture));
        add(line + targetText(l.targetId));
    }
}

void Printer::printMaterials()
{
    static const char* const slots[mapSlots] = {"diffuse", "reflection", "additive", "bump", "opacity", "light"};
    for (const SceneMaterial& m : d_.materials) {
        std::string line = format("material %d \"%s\" mode %d opacity %.2f%s", m.id, m.name.c_str(), m.mode(),
                                  m.opacity, m.twoSided ? " two-sided" : "");
        for (size_t i = 0; i < mapSlots; ++i)
            if (!m.maps[i].empty())
                line += format(" %s ", slots[i]) + quoted(reducedTextureName(m.maps[i]));
        add(line);
    }
}

void Printer::printControllers()
{
    for (const SceneController& c : d_.controllers) {
        if (c.kind == SceneController::Kind::undefined) {
            add(format("controller kind %d type %d owner %d: items of no known layout, passed over", c.itemKind,
                       c.type, c.ownerId));
            continue;
        }
        const char* what = c.kind == SceneController::Kind::positionKeys   ? "position keys"
                           : c.kind == SceneController::Kind::rotationKeys ? "rotation keys"
                                                                           : "position-rotation samples";
        const std::string owner = c.owner.valid() ? quoted(sceneItemName(d_, c.owner)) : "(none)";
        add(format("controller %s owner %d ", c.kind == SceneController::Kind::samples ? "samples" : "keys",
                   c.ownerId) +
            owner + format(": %d %s, interval %d", c.count, what, c.interval) +
            (c.owner.valid() ? "" : " (no such owner: skipped)"));
    }
}

SceneListing Printer::print()
{
    add(format("scene: %llu bytes, %s", static_cast<unsigned long long>(d_.fileSize),
               d_.endChunk ? "ends with its end chunk" : "ends without an end chunk"));
    for (const std::string& line : d_.unknownChunks)
        add(line);
    printObjects();
    for (const SceneCamera& c : d_.cameras)
        add(format("camera \"%s\" id %d fov %.1f", c.name.c_str(), c.id, c.fov) + targetText(c.targetId));
    printLights();
    for (const SceneParticleNode& p : d_.particles)
        add(format("particle system \"%s\" id %d at %.2f %.2f %.2f", p.name.c_str(), p.id, p.position.x, p.position.y,
                   p.position.z));
    printMaterials();
    printControllers();
    add(format("clock: %d samples every %d scene time units", d_.sampleCount, d_.sampleInterval));
    // Textures in the order the file names them: materials, then lights.
    for (const SceneMaterial& m : d_.materials)
        for (const std::string& map : m.maps)
            addTexture(map);
    for (const SceneLight& l : d_.lights)
        addTexture(l.projectedTexture);
    if (d_.failed)
        listing_.problem = d_.problem.where() + ": " + d_.problem.text;
    return listing_;
}

}  // namespace

SceneListing listScene(const std::vector<uint8_t>& file)
{
    const SceneDescription description = parseSceneFile(file.data(), file.size());
    return Printer(description).print();
}

SceneListing listScene(const SceneDescription& description) { return Printer(description).print(); }
