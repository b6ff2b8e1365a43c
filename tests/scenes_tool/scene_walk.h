#pragma once
// A strict, independent walk over a scene file's chunks for the tests: it
// follows the record layouts of the format and keeps what the tests look at
// (names, ids, links, texture names, transforms and tracks). Any length or
// count that does not add up is recorded as a problem.
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace scenewalk {

struct Node {
    int32_t type = 0;  // chunk type
    int32_t id = 0;
    int32_t parent = 0;
    std::string name;
    std::array<float, 3> position{};
    std::array<float, 4> rotation{0, 0, 0, 1};
    std::array<float, 3> scale{1, 1, 1};
    int32_t target = 0;          // cameras and lights
    uint32_t tex2Count = 0;      // meshes
    std::vector<int32_t> faceMaterials;  // meshes: the material id of each face
};

struct Material {
    int32_t id = 0;
    std::string name;
    std::array<std::string, 6> maps;  // diffuse, reflection, additive, bump, opacity, light
    bool twoSided = false;
    bool dynamicReflection = false;
    float opacity = 1.0f;
};

struct Track {
    int32_t owner = 0;
    int32_t kind = 0;
    int32_t type = 0;
    int32_t interval = 0;
    std::vector<std::array<float, 7>> samples;  // position, quaternion
};

struct Scene {
    std::vector<Node> nodes;  // in file order
    std::vector<Material> materials;
    std::vector<Track> tracks;
    std::vector<std::string> problems;
    bool ended = false;

    const Node* byName(const std::string& name) const
    {
        for (const Node& n : nodes)
            if (n.name == name)
                return &n;
        return nullptr;
    }
    const Node* byId(int32_t id) const
    {
        for (const Node& n : nodes)
            if (n.id == id)
                return &n;
        return nullptr;
    }
    const Track* trackOf(int32_t id) const
    {
        for (const Track& t : tracks)
            if (t.owner == id && t.kind == 1)
                return &t;
        return nullptr;
    }
    size_t count(int32_t type) const
    {
        size_t n = 0;
        for (const Node& node : nodes)
            n += node.type == type ? 1 : 0;
        return n;
    }
};

class Cursor {
public:
    Cursor(const std::vector<uint8_t>& bytes, size_t at, size_t end) : b_(bytes), at_(at), end_(end) {}
    bool has(size_t n) const { return at_ + n <= end_; }
    int32_t i32()
    {
        uint32_t v = 0;
        if (has(4))
            v = static_cast<uint32_t>(b_[at_]) | static_cast<uint32_t>(b_[at_ + 1]) << 8 |
                static_cast<uint32_t>(b_[at_ + 2]) << 16 | static_cast<uint32_t>(b_[at_ + 3]) << 24;
        at_ += 4;
        return static_cast<int32_t>(v);
    }
    float f32()
    {
        const uint32_t v = static_cast<uint32_t>(i32());
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
    std::string name(size_t size, bool& terminated)
    {
        std::string s;
        terminated = false;
        for (size_t i = 0; i < size && has(1); ++i, ++at_) {
            if (terminated)
                continue;
            if (b_[at_] == 0)
                terminated = true;
            else
                s.push_back(static_cast<char>(b_[at_]));
        }
        return s;
    }
    void skip(size_t n) { at_ += n; }
    size_t at() const { return at_; }

private:
    const std::vector<uint8_t>& b_;
    size_t at_;
    size_t end_;
};

inline Scene walk(const std::vector<uint8_t>& bytes)
{
    Scene scene;
    Cursor head(bytes, 0, bytes.size());
    if (!head.has(4) || head.i32() != 0) {
        scene.problems.push_back("header is not 0");
        return scene;
    }
    size_t at = 4;
    while (at + 8 <= bytes.size() && !scene.ended) {
        Cursor h(bytes, at, bytes.size());
        const int32_t type = h.i32();
        const int32_t length = h.i32();
        const size_t start = at + 8;
        if (length < 0 || start + static_cast<size_t>(length) > bytes.size()) {
            scene.problems.push_back("chunk runs past the end");
            return scene;
        }
        const size_t end = start + static_cast<size_t>(length);
        Cursor c(bytes, start, end);
        bool terminated = true;
        bool ok = true;
        auto name = [&](size_t size) {
            std::string s = c.name(size, terminated);
            ok = ok && terminated;
            return s;
        };
        auto f3 = [&c]() { return std::array<float, 3>{c.f32(), c.f32(), c.f32()}; };
        Node n;
        n.type = type;
        switch (type) {
        case 1:
            scene.ended = true;
            if (end != bytes.size())
                scene.problems.push_back("bytes after the end chunk");
            break;
        case 2: {
            n.id = c.i32();
            n.parent = c.i32();
            n.name = name(52);
            const auto v = static_cast<uint32_t>(c.i32());
            const auto t1 = static_cast<uint32_t>(c.i32());
            n.tex2Count = static_cast<uint32_t>(c.i32());
            const auto f = static_cast<uint32_t>(c.i32());
            n.position = f3();
            n.rotation = {c.f32(), c.f32(), c.f32(), c.f32()};
            n.scale = f3();
            c.skip(12);
            if (static_cast<size_t>(length) != 128 + v * 12ull + (t1 + n.tex2Count) * 8ull + f * 44ull) {
                scene.problems.push_back("mesh length does not match its counts: " + n.name);
                break;
            }
            c.skip(v * 12 + (t1 + n.tex2Count) * 8);
            for (uint32_t i = 0; i < f; ++i) {
                int32_t idx[9];
                for (int32_t& x : idx)
                    x = c.i32();
                for (int k = 0; k < 3; ++k) {
                    ok = ok && idx[k] >= 0 && static_cast<uint32_t>(idx[k]) < v;
                    ok = ok && (t1 == 0 ? idx[3 + k] == 0 : idx[3 + k] >= 0 && static_cast<uint32_t>(idx[3 + k]) < t1);
                    ok = ok && (n.tex2Count == 0 ? idx[6 + k] == 0
                                                 : idx[6 + k] >= 0 && static_cast<uint32_t>(idx[6 + k]) < n.tex2Count);
                }
                n.faceMaterials.push_back(c.i32());
                c.skip(4);
            }
            break;
        }
        case 3:
            ok = length == 100;
            n.id = c.i32();
            n.parent = c.i32();
            n.name = name(52);
            n.position = f3();
            n.rotation = {c.f32(), c.f32(), c.f32(), c.f32()};
            n.scale = f3();
            break;
        case 6:
        case 9:
            ok = length == 68;
            n.id = c.i32();
            n.name = name(52);
            n.position = f3();
            break;
        case 5:
            ok = length == 76;
            n.id = c.i32();
            n.name = name(52);
            n.position = f3();
            c.f32();
            n.target = c.i32();
            break;
        case 7:
            ok = length == 196;
            n.id = c.i32();
            n.name = name(52);
            n.position = f3();
            c.skip(16);
            n.target = c.i32();
            c.skip(8);
            name(100);
            break;
        case 4: {
            ok = length == 708;
            Material m;
            m.id = c.i32();
            m.name = name(52);
            c.skip(44);
            m.opacity = c.f32();
            m.twoSided = bytes[c.at()] != 0;
            c.skip(1);
            for (std::string& map : m.maps)
                map = name(100);
            m.dynamicReflection = bytes[c.at()] != 0;
            scene.materials.push_back(m);
            break;
        }
        case 8: {
            Track t;
            c.i32();
            t.owner = c.i32();
            t.type = c.i32();
            t.kind = c.i32();
            c.i32();
            const int32_t count = c.i32();
            t.interval = c.i32();
            const size_t item = t.kind == 1 ? 28 : (t.type == 2 ? 36 : 20);
            ok = count > 0 && static_cast<size_t>(length) == 28 + item * static_cast<size_t>(count);
            for (int32_t i = 0; ok && t.kind == 1 && i < count; ++i)
                t.samples.push_back({c.f32(), c.f32(), c.f32(), c.f32(), c.f32(), c.f32(), c.f32()});
            scene.tracks.push_back(t);
            break;
        }
        default:
            break;
        }
        if (!ok)
            scene.problems.push_back("malformed chunk of type " + std::to_string(type) + " " + n.name);
        if (type >= 2 && type != 4 && type != 8)
            scene.nodes.push_back(n);
        at = end;
    }
    if (!scene.ended)
        scene.problems.push_back("no end chunk");
    return scene;
}

}  // namespace scenewalk
