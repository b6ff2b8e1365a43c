#pragma once
// Scene files built byte by byte: chunk headers and the records of each
// chunk type, little-endian, for feeding the reader known and damaged files.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class Bytes {
public:
    Bytes& i32(int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            text_ += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
        return *this;
    }
    Bytes& u32(uint32_t v) { return i32(static_cast<int32_t>(v)); }
    Bytes& i16(int16_t v)
    {
        text_ += static_cast<char>(v & 0xFF);
        text_ += static_cast<char>((v >> 8) & 0xFF);
        return *this;
    }
    Bytes& f32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return u32(bits);
    }
    Bytes& vec(float x, float y, float z) { return f32(x).f32(y).f32(z); }
    Bytes& quat(float x, float y, float z, float w) { return f32(x).f32(y).f32(z).f32(w); }
    // A NUL-padded text field of `size` bytes; a text of `size` bytes or
    // more fills the field without any NUL.
    Bytes& name(const std::string& s, size_t size)
    {
        std::string field = s.substr(0, size);
        field.resize(size, '\0');
        text_ += field;
        return *this;
    }
    Bytes& byte(uint8_t b)
    {
        text_ += static_cast<char>(b);
        return *this;
    }
    Bytes& zeros(size_t n)
    {
        text_.append(n, '\0');
        return *this;
    }
    Bytes& raw(const std::string& s)
    {
        text_ += s;
        return *this;
    }
    const std::string& str() const { return text_; }
    size_t size() const { return text_.size(); }

private:
    std::string text_;
};

// A whole file: the zero header, then chunks.
class SceneFile {
public:
    SceneFile() { bytes_.i32(0); }
    SceneFile& chunk(int32_t type, const Bytes& payload) { return chunk(type, payload, static_cast<int32_t>(payload.size())); }
    SceneFile& chunk(int32_t type, const Bytes& payload, int32_t length)
    {
        bytes_.i32(type).i32(length).raw(payload.str());
        return *this;
    }
    SceneFile& end() { return chunk(1, Bytes()); }
    std::string str() const { return bytes_.str(); }

private:
    Bytes bytes_;
};

struct MeshFace {
    int32_t v[3];
    int32_t t1[3];
    int32_t materialId;
    int32_t smoothing;
};

// Mesh chunk: a record and its arrays. Texture coordinates as stored (v not
// yet negated).
inline Bytes meshChunk(int32_t id, int32_t parent, const std::string& name, const std::vector<float>& xyz,
                       const std::vector<float>& uv, const std::vector<MeshFace>& faces,
                       const float position[3] = nullptr)
{
    Bytes b;
    b.i32(id).i32(parent).name(name, 52);
    b.u32(static_cast<uint32_t>(xyz.size() / 3)).u32(static_cast<uint32_t>(uv.size() / 2)).u32(0);
    b.u32(static_cast<uint32_t>(faces.size()));
    if (position != nullptr)
        b.vec(position[0], position[1], position[2]);
    else
        b.vec(0, 0, 0);
    b.quat(0, 0, 0, 1).vec(1, 1, 1).zeros(12);
    for (float f : xyz)
        b.f32(f);
    for (float f : uv)
        b.f32(f);
    for (const MeshFace& face : faces) {
        for (int32_t v : face.v)
            b.i32(v);
        for (int32_t t : face.t1)
            b.i32(t);
        b.i32(0).i32(0).i32(0).i32(face.materialId).i32(face.smoothing);
    }
    return b;
}

// The unit square of side 2 facing +z, two faces of one material.
inline Bytes squareChunk(int32_t id, int32_t parent, const std::string& name, int32_t materialId,
                         const float position[3] = nullptr)
{
    return meshChunk(id, parent, name, {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {0, 0, 1, 0, 1, 1, 0, 1},
                     {{{0, 1, 2}, {0, 1, 2}, materialId, 1}, {{0, 2, 3}, {0, 2, 3}, materialId, 1}}, position);
}

inline Bytes dummyChunk(int32_t id, int32_t parent, const std::string& name, float x = 0, float y = 0, float z = 0)
{
    Bytes b;
    b.i32(id).i32(parent).name(name, 52).vec(x, y, z).quat(0, 0, 0, 1).vec(1, 1, 1);
    return b;
}

// Material chunk; maps in file order: diffuse, reflection, additive, bump,
// opacity, light.
inline Bytes materialChunk(int32_t id, const std::string& name, float r, float g, float b, float opacity = 1.0f,
                           const std::vector<std::string>& maps = {}, bool dynamicReflection = false)
{
    Bytes m;
    m.i32(id).name(name, 52).vec(r * 0.5f, g * 0.5f, b * 0.5f).vec(r, g, b).vec(0, 0, 0);
    m.f32(0.25f).f32(0.0f).f32(opacity).byte(0);
    for (size_t i = 0; i < 6; ++i)
        m.name(i < maps.size() ? maps[i] : "", 100);
    m.byte(dynamicReflection ? 1 : 0).zeros(2);
    return m;
}

inline Bytes cameraChunk(int32_t id, const std::string& name, float x, float y, float z, float fov, int32_t target)
{
    Bytes b;
    b.i32(id).name(name, 52).vec(x, y, z).f32(fov).i32(target);
    return b;
}

// Target (type 6) and particle-system (type 9) records.
inline Bytes pointChunk(int32_t id, const std::string& name, float x, float y, float z)
{
    Bytes b;
    b.i32(id).name(name, 52).vec(x, y, z);
    return b;
}

inline Bytes lightChunk(int32_t id, const std::string& name, float x, float y, float z, float range, int32_t target,
                        float cutoff = 180.0f, const std::string& projected = "")
{
    Bytes b;
    b.i32(id).name(name, 52).vec(x, y, z).vec(1, 1, 1).f32(range).i32(target).f32(2.0f).f32(cutoff);
    b.name(projected, 100);
    return b;
}

inline Bytes controllerHeader(int32_t owner, int32_t type, int32_t kind, int32_t count, int32_t interval)
{
    Bytes b;
    b.i32(0).i32(owner).i32(type).i32(kind).i32(0).i32(count).i32(interval);
    return b;
}

// Position-rotation samples moving along x by `step` per sample.
inline Bytes sampleController(int32_t owner, int32_t count, int32_t interval, float step)
{
    Bytes b = controllerHeader(owner, 5, 1, count, interval);
    for (int i = 0; i < count; ++i)
        b.vec(step * static_cast<float>(i), 0, 0).quat(0, 0, 0, 1);
    return b;
}
