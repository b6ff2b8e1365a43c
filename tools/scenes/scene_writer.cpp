#include "tools/scenes/scene_writer.h"

#include <bit>
#include <cstdio>
#include <memory>

namespace scenefile {

void ByteSink::u32(uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out_.push_back(static_cast<uint8_t>(v >> shift));
}

void ByteSink::i32(int32_t v) { u32(static_cast<uint32_t>(v)); }

void ByteSink::i16(int16_t v)
{
    const auto u = static_cast<uint16_t>(v);
    out_.push_back(static_cast<uint8_t>(u));
    out_.push_back(static_cast<uint8_t>(u >> 8));
}

void ByteSink::f32(float v) { u32(std::bit_cast<uint32_t>(v)); }

void ByteSink::f3(const Float3& v)
{
    f32(v.x);
    f32(v.y);
    f32(v.z);
}

void ByteSink::f4(const Float4& v)
{
    f32(v.x);
    f32(v.y);
    f32(v.z);
    f32(v.w);
}

void ByteSink::name(const std::string& text, size_t size)
{
    out_.insert(out_.end(), text.begin(), text.end());
    zeros(size - text.size());
}

namespace {

// A name fits when its text and the terminating NUL fit the field and it has
// no NUL of its own (a reader would cut it there).
bool fits(const std::string& text, size_t size)
{
    return text.size() < size && text.find('\0') == std::string::npos;
}

bool indexValid(int32_t index, size_t count)
{
    // Without coordinates of a set, the corners name index 0 of that set.
    if (count == 0)
        return index == 0;
    return index >= 0 && static_cast<size_t>(index) < count;
}

}  // namespace

Writer::Writer()
{
    ByteSink(bytes_).i32(0);
}

bool Writer::fail(const std::string& message)
{
    error_ = "scenes: " + message;
    return false;
}

bool Writer::open()
{
    return !ended_ || fail("chunk written after the end chunk");
}

bool Writer::chunk(int32_t type, const std::vector<uint8_t>& payload)
{
    if (!open())
        return false;
    if (payload.size() > static_cast<size_t>(INT32_MAX))
        return fail("chunk payload too large");
    ByteSink out(bytes_);
    out.i32(type);
    out.i32(static_cast<int32_t>(payload.size()));
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    return true;
}

bool Writer::mesh(const Mesh& m)
{
    if (!fits(m.name, nameSize))
        return fail("mesh name too long: " + m.name);
    for (const Face& f : m.faces) {
        for (int c = 0; c < 3; ++c) {
            if (!indexValid(f.vertex[c], m.vertices.size()) || m.vertices.empty() ||
                !indexValid(f.tex1[c], m.tex1.size()) || !indexValid(f.tex2[c], m.tex2.size()))
                return fail("face index out of range in mesh " + m.name);
        }
    }
    std::vector<uint8_t> payload;
    payload.reserve(meshRecordSize + m.vertices.size() * 12 + (m.tex1.size() + m.tex2.size()) * 8 +
                    m.faces.size() * faceSize);
    ByteSink out(payload);
    out.i32(m.id);
    out.i32(m.parentId);
    out.name(m.name, nameSize);
    out.u32(static_cast<uint32_t>(m.vertices.size()));
    out.u32(static_cast<uint32_t>(m.tex1.size()));
    out.u32(static_cast<uint32_t>(m.tex2.size()));
    out.u32(static_cast<uint32_t>(m.faces.size()));
    out.f3(m.position);
    out.f4(m.rotation);
    out.f3(m.scale);
    out.zeros(12);
    for (const Float3& v : m.vertices)
        out.f3(v);
    for (const auto* set : {&m.tex1, &m.tex2}) {
        for (const TexCoord& t : *set) {
            out.f32(t.u);
            out.f32(t.v);
        }
    }
    for (const Face& f : m.faces) {
        for (int32_t i : f.vertex)
            out.i32(i);
        for (int32_t i : f.tex1)
            out.i32(i);
        for (int32_t i : f.tex2)
            out.i32(i);
        out.i32(f.materialId);
        out.u32(f.smoothing);
    }
    return chunk(chunkMesh, payload);
}

bool Writer::dummy(const Dummy& d)
{
    if (!fits(d.name, nameSize))
        return fail("dummy name too long: " + d.name);
    std::vector<uint8_t> payload;
    ByteSink out(payload);
    out.i32(d.id);
    out.i32(d.parentId);
    out.name(d.name, nameSize);
    out.f3(d.position);
    out.f4(d.rotation);
    out.f3(d.scale);
    return chunk(chunkDummy, payload);
}

bool Writer::material(const Material& m)
{
    if (!fits(m.name, nameSize))
        return fail("material name too long: " + m.name);
    const std::string* maps[] = {&m.diffuseMap, &m.reflectionMap, &m.additiveMap,
                                 &m.bumpMap,    &m.opacityMap,    &m.lightMap};
    for (const std::string* map : maps) {
        if (!fits(*map, texNameSize))
            return fail("texture name too long in material " + m.name + ": " + *map);
    }
    std::vector<uint8_t> payload;
    ByteSink out(payload);
    out.i32(m.id);
    out.name(m.name, nameSize);
    out.f3(m.ambient);
    out.f3(m.diffuse);
    out.f3(m.specular);
    out.f32(m.shininess);
    out.f32(m.specularLevel);
    out.f32(m.opacity);
    out.byte(m.twoSided ? 1 : 0);
    for (const std::string* map : maps)
        out.name(*map, texNameSize);
    out.byte(m.dynamicReflection ? 1 : 0);
    out.zeros(2);
    return chunk(chunkMaterial, payload);
}

bool Writer::camera(const Camera& c)
{
    if (!fits(c.name, nameSize))
        return fail("camera name too long: " + c.name);
    std::vector<uint8_t> payload;
    ByteSink out(payload);
    out.i32(c.id);
    out.name(c.name, nameSize);
    out.f3(c.position);
    out.f32(c.fov);
    out.i32(c.targetId);
    return chunk(chunkCamera, payload);
}

namespace {

std::vector<uint8_t> pointRecord(const Point& p)
{
    std::vector<uint8_t> payload;
    ByteSink out(payload);
    out.i32(p.id);
    out.name(p.name, nameSize);
    out.f3(p.position);
    return payload;
}

}  // namespace

bool Writer::target(const Point& p)
{
    if (!fits(p.name, nameSize))
        return fail("target name too long: " + p.name);
    return chunk(chunkTarget, pointRecord(p));
}

bool Writer::particleSystem(const Point& p)
{
    if (!fits(p.name, nameSize))
        return fail("particle system name too long: " + p.name);
    return chunk(chunkParticles, pointRecord(p));
}

bool Writer::light(const Light& l)
{
    if (!fits(l.name, nameSize))
        return fail("light name too long: " + l.name);
    if (!fits(l.projectedTexture, texNameSize))
        return fail("projected texture name too long in light " + l.name);
    std::vector<uint8_t> payload;
    ByteSink out(payload);
    out.i32(l.id);
    out.name(l.name, nameSize);
    out.f3(l.position);
    out.f3(l.colour);
    out.f32(l.range);
    out.i32(l.targetId);
    out.f32(l.spotExponent);
    out.f32(l.spotCutoff);
    out.name(l.projectedTexture, texNameSize);
    return chunk(chunkLight, payload);
}

bool Writer::controller(int32_t ownerId, int32_t type, int32_t kind, int32_t count, int32_t interval,
                        const std::vector<uint8_t>& items)
{
    std::vector<uint8_t> payload;
    payload.reserve(controllerRecordSize + items.size());
    ByteSink out(payload);
    out.i32(nextControllerId_);
    out.i32(ownerId);
    out.i32(type);
    out.i32(kind);
    out.i32(0);
    out.i32(count);
    out.i32(interval);
    payload.insert(payload.end(), items.begin(), items.end());
    if (!chunk(chunkController, payload))
        return false;
    ++nextControllerId_;
    return true;
}

bool Writer::positionKeys(int32_t ownerId, const std::vector<PositionKey>& keys)
{
    if (keys.empty() || keys.size() > static_cast<size_t>(INT32_MAX) / positionKeySize)
        return fail("position key count out of range");
    std::vector<uint8_t> items;
    ByteSink out(items);
    for (const PositionKey& k : keys) {
        out.i16(k.frame);
        out.zeros(2);
        out.f3(k.position);
        out.f32(k.tension);
        out.f32(k.continuity);
        out.f32(k.bias);
        out.f32(k.easeTo);
        out.f32(k.easeFrom);
    }
    return controller(ownerId, controllerPosition, controllerKeys, static_cast<int32_t>(keys.size()), 0, items);
}

bool Writer::rotationKeys(int32_t ownerId, const std::vector<RotationKey>& keys)
{
    if (keys.empty() || keys.size() > static_cast<size_t>(INT32_MAX) / rotationKeySize)
        return fail("rotation key count out of range");
    std::vector<uint8_t> items;
    ByteSink out(items);
    for (const RotationKey& k : keys) {
        out.i16(k.frame);
        out.zeros(2);
        out.f4(k.rotation);
    }
    return controller(ownerId, controllerRotation, controllerKeys, static_cast<int32_t>(keys.size()), 0, items);
}

bool Writer::samples(int32_t ownerId, int32_t interval, const std::vector<Sample>& track)
{
    if (track.empty() || track.size() > static_cast<size_t>(INT32_MAX) / sampleSize)
        return fail("sample count out of range");
    // The player divides scene time by the interval.
    if (interval < 1)
        return fail("sample interval below 1");
    std::vector<uint8_t> items;
    items.reserve(track.size() * sampleSize);
    ByteSink out(items);
    for (const Sample& s : track) {
        out.f3(s.position);
        out.f4(s.rotation);
    }
    return controller(ownerId, controllerPositionRotation, controllerSamples, static_cast<int32_t>(track.size()),
                      interval, items);
}

void Writer::end()
{
    if (ended_)
        return;
    ByteSink out(bytes_);
    out.i32(chunkEnd);
    out.i32(0);
    ended_ = true;
}

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool saveFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) {
        std::fprintf(stderr, "scenes: cannot write %s\n", path.c_str());
        return false;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fclose(file.release()) != 0) {
        std::fprintf(stderr, "scenes: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace scenefile
