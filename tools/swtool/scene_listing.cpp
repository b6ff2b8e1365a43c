#include "tools/swtool/scene_listing.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>

namespace {

// Little-endian reads from one chunk's payload; reading past its end is an
// error, never a silent zero.
class Record {
public:
    Record(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool has(size_t offset, size_t bytes) const { return offset <= size_ && bytes <= size_ - offset; }
    int32_t int32(size_t at) const
    {
        uint32_t v = 0;
        std::memcpy(&v, data_ + at, 4);
        return static_cast<int32_t>(v);
    }
    float real(size_t at) const
    {
        float v = 0.0f;
        std::memcpy(&v, data_ + at, 4);
        return v;
    }
    uint8_t byte(size_t at) const { return data_[at]; }
    // A NUL-terminated name field of `width` bytes; false without its NUL.
    bool name(size_t at, size_t width, std::string& out) const
    {
        const void* end = std::memchr(data_ + at, 0, width);
        if (end == nullptr)
            return false;
        out.assign(reinterpret_cast<const char*>(data_ + at), static_cast<const uint8_t*>(end) - (data_ + at));
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

struct ObjectEntry {
    int32_t id = 0;
    int32_t parent = 0;
    std::string line;
    std::vector<size_t> children;
};

const char* chunkName(int32_t type)
{
    static const char* const names[] = {"", "end", "mesh", "dummy", "material", "camera", "target", "light",
                                        "controller", "particle system"};
    return type >= 1 && type <= 9 ? names[type] : "unknown";
}

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

class SceneReader {
public:
    explicit SceneReader(const std::vector<uint8_t>& file) : file_(file) {}
    SceneListing read();

private:
    // Each handler reads one chunk's payload at `offset` of `length` bytes;
    // false with problem_ set when the chunk is damaged.
    bool readMesh(const Record& r, size_t length);
    bool readDummy(const Record& r);
    bool readMaterial(const Record& r);
    bool readCamera(const Record& r);
    bool readPoint(const Record& r, const char* kind);
    bool readLight(const Record& r);
    bool readController(const Record& r, size_t length);
    bool fail(const std::string& what);
    bool needs(const Record& r, size_t bytes, const char* what);
    bool readName(const Record& r, size_t at, size_t width, const char* field, std::string& out);
    bool texture(const Record& r, size_t at, const char* field, std::string& out);
    bool addObject(int32_t id, int32_t parent, std::string line);
    std::string nameOf(int32_t id) const;
    void printObject(size_t index, int depth);

    const std::vector<uint8_t>& file_;
    SceneListing listing_;
    int32_t chunkType_ = 0;
    size_t chunkOffset_ = 0;
    std::vector<ObjectEntry> objects_;
    std::vector<size_t> topLevel_;
    std::map<int32_t, std::string> names_;
    // Cameras and lights name their targets, which may come later in the
    // file: the names are looked up when everything is read.
    struct Aimed {
        std::string line;
        int32_t target;
    };
    std::vector<Aimed> cameras_, lights_;
    std::vector<std::string> particles_, materials_, controllers_;
    // Faces name materials that may come later in the file: checked when
    // everything is read, as the player binds them.
    struct FaceMaterial {
        int32_t id;
        size_t chunkOffset;
        std::string mesh;
    };
    std::vector<FaceMaterial> faceMaterials_;
    std::set<int32_t> materialIds_;
    bool checkFaceMaterials();
    void printAimed(const std::vector<Aimed>& items);
    int32_t sampleCount_ = 0;
    int32_t sampleInterval_ = 0;
};

bool SceneReader::fail(const std::string& what)
{
    listing_.problem = format("%s chunk at offset %zu: ", chunkName(chunkType_), chunkOffset_) + what;
    return false;
}

bool SceneReader::needs(const Record& r, size_t bytes, const char* what)
{
    return r.has(0, bytes) || fail(format("%s needs %zu bytes, the chunk ends before", what, bytes));
}

bool SceneReader::readName(const Record& r, size_t at, size_t width, const char* field, std::string& out)
{
    return r.name(at, width, out) || fail(format("the %s field has no NUL in its %zu bytes", field, width));
}

bool SceneReader::texture(const Record& r, size_t at, const char* field, std::string& out)
{
    if (!readName(r, at, 100, field, out))
        return false;
    if (!out.empty())
        listing_.textures.push_back(reducedTextureName(out));
    return true;
}

std::string SceneReader::nameOf(int32_t id) const
{
    const auto found = names_.find(id);
    return found != names_.end() ? "\"" + found->second + "\"" : "(none)";
}

bool SceneReader::addObject(int32_t id, int32_t parent, std::string line)
{
    objects_.push_back({id, parent, std::move(line), {}});
    const size_t index = objects_.size() - 1;
    if (parent == 0) {
        topLevel_.push_back(index);
        return true;
    }
    for (size_t i = 0; i < index; ++i) {
        if (objects_[i].id == parent) {
            objects_[i].children.push_back(index);
            return true;
        }
    }
    // The player also takes an earlier light, camera or particle system as
    // a parent; such a child is listed at the top with its parent's id.
    if (names_.count(parent) != 0) {
        topLevel_.push_back(index);
        return true;
    }
    return fail(format("object %d names parent %d, which no earlier object has", id, parent));
}

bool SceneReader::readMesh(const Record& r, size_t length)
{
    std::string name;
    if (!needs(r, 128, "the mesh record") || !readName(r, 8, 52, "name", name))
        return false;
    const auto vertices = static_cast<uint32_t>(r.int32(60));
    const auto tex1 = static_cast<uint32_t>(r.int32(64));
    const auto tex2 = static_cast<uint32_t>(r.int32(68));
    const auto faces = static_cast<uint32_t>(r.int32(72));
    const uint64_t arrays = 12ull * vertices + 8ull * tex1 + 8ull * tex2 + 44ull * faces;
    if (128 + arrays > length)
        return fail(format("%u vertices, %u + %u texture coordinates and %u faces need %llu bytes, the chunk has %zu",
                           vertices, tex1, tex2, faces, static_cast<unsigned long long>(128 + arrays), length));
    std::set<int32_t> materials;
    const size_t faceStart = 128 + 12ull * vertices + 8ull * tex1 + 8ull * tex2;
    for (uint32_t f = 0; f < faces; ++f) {
        const size_t at = faceStart + 44ull * f;
        for (int corner = 0; corner < 3; ++corner) {
            const auto index = static_cast<uint32_t>(r.int32(at + 4 * corner));
            if (index >= vertices)
                return fail(format("face %u names vertex %u of %u", f, index, vertices));
        }
        const int32_t material = r.int32(at + 36);
        materials.insert(material == -1 ? 0 : material);
    }
    std::string used;
    for (const int32_t m : materials) {
        used += format(" %d", m);
        faceMaterials_.push_back({m, chunkOffset_, name});
    }
    const int32_t id = r.int32(0);
    names_[id] = name;
    return addObject(id, r.int32(4),
                     format("mesh \"%s\" id %d parent %d: %u vertices, %u + %u texture coordinates, %u faces, "
                            "%zu materials (",
                            name.c_str(), id, r.int32(4), vertices, tex1, tex2, faces, materials.size()) +
                         (used.empty() ? "" : used.substr(1)) + ")");
}

bool SceneReader::readDummy(const Record& r)
{
    std::string name;
    if (!needs(r, 100, "the dummy record") || !readName(r, 8, 52, "name", name))
        return false;
    const int32_t id = r.int32(0);
    names_[id] = name;
    return addObject(id, r.int32(4), format("dummy \"%s\" id %d parent %d", name.c_str(), id, r.int32(4)));
}

bool SceneReader::readPoint(const Record& r, const char* kind)
{
    std::string name;
    if (!needs(r, 68, "the point record") || !readName(r, 4, 52, "name", name))
        return false;
    const int32_t id = r.int32(0);
    names_[id] = name;
    const std::string line = format("%s \"%s\" id %d at %.2f %.2f %.2f", kind, name.c_str(), id, r.real(56),
                                    r.real(60), r.real(64));
    if (std::strcmp(kind, "target") == 0)
        return addObject(id, 0, line);
    particles_.push_back(line);
    return true;
}

bool SceneReader::readCamera(const Record& r)
{
    std::string name;
    if (!needs(r, 76, "the camera record") || !readName(r, 4, 52, "name", name))
        return false;
    const int32_t id = r.int32(0);
    names_[id] = name;
    cameras_.push_back({format("camera \"%s\" id %d fov %.1f", name.c_str(), id, r.real(68)), r.int32(72)});
    return true;
}

bool SceneReader::readLight(const Record& r)
{
    std::string name, projected;
    if (!needs(r, 196, "the light record") || !readName(r, 4, 52, "name", name) ||
        !texture(r, 96, "projected texture", projected))
        return false;
    const int32_t id = r.int32(0);
    names_[id] = name;
    const float cutOff = r.real(92);
    std::string line = format("light \"%s\" id %d colour %.2f %.2f %.2f range %.1f", name.c_str(), id, r.real(68),
                              r.real(72), r.real(76), r.real(80));
    line += cutOff > 0.0f && cutOff < 180.0f ? format(" spot %.1f exponent %.1f", cutOff, r.real(88)) : " omni";
    if (!projected.empty())
        line += " projector \"" + reducedTextureName(projected) + "\"";
    lights_.push_back({line, r.int32(84)});
    return true;
}

bool SceneReader::readMaterial(const Record& r)
{
    static const char* const slots[] = {"diffuse", "reflection", "additive", "bump", "opacity", "light"};
    std::string name;
    if (!needs(r, 708, "the material record") || !readName(r, 4, 52, "name", name))
        return false;
    std::string maps[6];
    for (int i = 0; i < 6; ++i) {
        if (!texture(r, 105 + 100 * static_cast<size_t>(i), slots[i], maps[i]))
            return false;
    }
    const bool dynamic = r.byte(705) != 0;
    const bool diffuse = !maps[0].empty(), reflection = !maps[1].empty(), additive = !maps[2].empty();
    const bool bump = !maps[3].empty(), light = !maps[5].empty();
    int mode = 0;
    if (dynamic)
        mode = reflection ? 11 : 10;
    else if (diffuse && reflection)
        mode = 4;
    else if (diffuse && light)
        mode = 5;
    else if (diffuse && bump)
        mode = 6;
    else if (reflection && bump)
        mode = 7;
    else if (additive || diffuse)
        mode = 1;
    else if (reflection)
        mode = 2;
    materialIds_.insert(r.int32(0));
    std::string line = format("material %d \"%s\" mode %d opacity %.2f%s", r.int32(0), name.c_str(), mode,
                              r.real(100), r.byte(104) != 0 ? " two-sided" : "");
    for (int i = 0; i < 6; ++i) {
        if (!maps[i].empty())
            line += format(" %s \"%s\"", slots[i], reducedTextureName(maps[i]).c_str());
    }
    materials_.push_back(line);
    return true;
}

bool SceneReader::readController(const Record& r, size_t length)
{
    if (!needs(r, 28, "the controller record"))
        return false;
    const int32_t owner = r.int32(4), type = r.int32(8), kind = r.int32(12), count = r.int32(20);
    size_t itemSize = 0;
    const char* what = "";
    if (kind == 2 && type == 2) {
        itemSize = 36, what = "position keys";
    } else if (kind == 2 && type == 3) {
        itemSize = 20, what = "rotation keys";
    } else if (kind == 1 && type == 5) {
        itemSize = 28, what = "position-rotation samples";
    } else if (kind == 1) {
        return fail(format("sample controller of type %d; only type 5 is defined", type));
    } else {
        controllers_.push_back(format("controller kind %d type %d owner %d: items of no known layout, passed over",
                                      kind, type, owner));
        return true;
    }
    if (count < 0 || 28 + static_cast<uint64_t>(count) * itemSize > length)
        return fail(format("%d %s need %llu bytes, the chunk has %zu", count, what,
                           static_cast<unsigned long long>(28 + static_cast<int64_t>(count) * itemSize), length));
    if (kind == 2 && names_.count(owner) == 0)
        return fail(format("%s for owner %d, which no earlier object has", what, owner));
    if (kind == 1) {
        sampleCount_ = count;
        sampleInterval_ = r.int32(24);
    }
    // Owners precede their controllers, as the reader needs them.
    controllers_.push_back(format("controller %s owner %d %s: %d %s, interval %d", kind == 1 ? "samples" : "keys",
                                  owner, nameOf(owner).c_str(), count, what, r.int32(24)) +
                           (names_.count(owner) == 0 ? " (no such owner: skipped)" : ""));
    return true;
}

bool SceneReader::checkFaceMaterials()
{
    for (const FaceMaterial& face : faceMaterials_) {
        if (materialIds_.count(face.id) == 0) {
            chunkType_ = 2;
            chunkOffset_ = face.chunkOffset;
            return fail(format("a face of \"%s\" names material %d, which the file does not hold", face.mesh.c_str(),
                               face.id));
        }
    }
    return true;
}

void SceneReader::printAimed(const std::vector<Aimed>& items)
{
    for (const Aimed& item : items)
        listing_.lines.push_back(item.line + (item.target != 0 ? format(" target %d ", item.target) + nameOf(item.target)
                                                               : std::string(" no target")));
}

void SceneReader::printObject(size_t index, int depth)
{
    listing_.lines.push_back(std::string(static_cast<size_t>(depth) * 2, ' ') + objects_[index].line);
    for (const size_t child : objects_[index].children)
        printObject(child, depth + 1);
}

SceneListing SceneReader::read()
{
    chunkType_ = 0;
    if (file_.size() < 4 || Record(file_.data(), 4).int32(0) != 0) {
        listing_.problem = "header at offset 0: not a scene file (the first four bytes are not zero)";
        return listing_;
    }
    size_t at = 4;
    bool ended = false;
    bool ok = true;
    while (ok && !ended && at + 8 <= file_.size()) {
        const Record header(file_.data() + at, 8);
        chunkType_ = header.int32(0);
        chunkOffset_ = at;
        const int32_t length = header.int32(4);
        const size_t payload = at + 8;
        if (length < 0) {
            ok = fail(format("negative length %d", length));
            break;
        }
        // A record read by its fixed layout may stand in a chunk whose length
        // runs past the file: only what is really there counts.
        const size_t available = file_.size() - payload;
        const size_t size = std::min<size_t>(static_cast<size_t>(length), available);
        const Record r(file_.data() + payload, size);
        switch (chunkType_) {
        case 1: ended = true; break;
        case 2: ok = readMesh(r, size); break;
        case 3: ok = readDummy(r); break;
        case 4: ok = readMaterial(r); break;
        case 5: ok = readCamera(r); break;
        case 6: ok = readPoint(r, "target"); break;
        case 7: ok = readLight(r); break;
        case 8: ok = readController(r, size); break;
        case 9: ok = readPoint(r, "particle system"); break;
        default: listing_.lines.push_back(format("unknown chunk type %d, %d bytes, passed over", chunkType_, length));
        }
        at = payload + static_cast<size_t>(length) <= file_.size() ? payload + static_cast<size_t>(length)
                                                                  : file_.size();
    }
    if (ok && !faceMaterials_.empty())
        checkFaceMaterials();
    std::vector<std::string> head = {format("scene: %zu bytes, %s", file_.size(),
                                            ended ? "ends with its end chunk" : "ends without an end chunk")};
    head.insert(head.end(), listing_.lines.begin(), listing_.lines.end());
    listing_.lines = std::move(head);
    for (const size_t index : topLevel_)
        printObject(index, 0);
    printAimed(cameras_);
    printAimed(lights_);
    for (auto* group : {&particles_, &materials_, &controllers_})
        listing_.lines.insert(listing_.lines.end(), group->begin(), group->end());
    listing_.lines.push_back(format("clock: %d samples every %d scene time units", sampleCount_, sampleInterval_));
    return listing_;
}

}  // namespace

SceneListing listScene(const std::vector<uint8_t>& file) { return SceneReader(file).read(); }
