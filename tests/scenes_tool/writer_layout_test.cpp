// Every chunk the scene writer makes, checked byte by byte against the
// record layouts of the scene format (offsets and sizes worked out by hand).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/scenes/scene_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t u32At(const Bytes& b, size_t at)
{
    return static_cast<uint32_t>(b.at(at)) | static_cast<uint32_t>(b.at(at + 1)) << 8 |
           static_cast<uint32_t>(b.at(at + 2)) << 16 | static_cast<uint32_t>(b.at(at + 3)) << 24;
}

Bytes slice(const Bytes& b, size_t at, size_t n) { return Bytes(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n)); }

// A name field: the text, then NULs to the field's size.
Bytes field(const std::string& text, size_t size)
{
    Bytes out(text.begin(), text.end());
    out.resize(size, 0);
    return out;
}

// IEEE single encodings used below.
constexpr uint32_t one = 0x3F800000;        // 1.0
constexpr uint32_t two = 0x40000000;        // 2.0
constexpr uint32_t three = 0x40400000;      // 3.0
constexpr uint32_t half = 0x3F000000;       // 0.5
constexpr uint32_t minusOne = 0xBF800000;   // -1.0
constexpr uint32_t quarter = 0x3E800000;    // 0.25
constexpr uint32_t fortyFive = 0x42340000;  // 45.0

// The payload of the only chunk after the file header, after checking its header.
Bytes onlyPayload(const scenefile::Writer& w, int32_t type, uint32_t length)
{
    const Bytes& b = w.bytes();
    EXPECT_EQ(b.size(), 12u + length);
    EXPECT_EQ(u32At(b, 0), 0u);
    EXPECT_EQ(u32At(b, 4), static_cast<uint32_t>(type));
    EXPECT_EQ(u32At(b, 8), length);
    return b.size() >= 12 ? Bytes(b.begin() + 12, b.end()) : Bytes{};
}

TEST(SceneWriter, FileStartsWithZeroAndEndsWithTypeOneChunk)
{
    scenefile::Writer w;
    EXPECT_EQ(w.bytes(), (Bytes{0, 0, 0, 0}));
    w.end();
    w.end();  // a second end adds nothing
    EXPECT_EQ(w.bytes(), (Bytes{0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
    scenefile::Point p{12, "late", {}};
    EXPECT_FALSE(w.target(p));
    EXPECT_EQ(w.bytes().size(), 12u);
}

TEST(SceneWriter, MeshRecordAndArrays)
{
    scenefile::Mesh m;
    m.id = 0x01020304;
    m.parentId = 7;
    m.name = "Box02";
    m.position = {1.0f, 2.0f, 3.0f};
    m.rotation = {0.0f, 0.5f, 0.0f, -1.0f};
    m.scale = {0.25f, 1.0f, 2.0f};
    m.vertices = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    m.tex1 = {{0.5f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.25f}};
    scenefile::Face f;
    f.vertex = {0, 1, 2};
    f.tex1 = {2, 1, 0};
    f.tex2 = {0, 0, 0};
    f.materialId = -1;
    f.smoothing = 0x80000001u;
    m.faces = {f};
    scenefile::Writer w;
    ASSERT_TRUE(w.mesh(m));
    // 128-byte record, 3 vertices of 12, 3 coordinates of 8, no set 2, one face of 44.
    const Bytes p = onlyPayload(w, 2, 128 + 36 + 24 + 44);
    ASSERT_EQ(p.size(), 232u);
    EXPECT_EQ(slice(p, 0, 4), (Bytes{0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(u32At(p, 4), 7u);
    EXPECT_EQ(slice(p, 8, 52), field("Box02", 52));
    EXPECT_EQ(u32At(p, 60), 3u);  // V
    EXPECT_EQ(u32At(p, 64), 3u);  // T1
    EXPECT_EQ(u32At(p, 68), 0u);  // T2
    EXPECT_EQ(u32At(p, 72), 1u);  // F
    EXPECT_EQ(u32At(p, 76), one);
    EXPECT_EQ(u32At(p, 80), two);
    EXPECT_EQ(u32At(p, 84), three);
    EXPECT_EQ(u32At(p, 88), 0u);
    EXPECT_EQ(u32At(p, 92), half);
    EXPECT_EQ(u32At(p, 96), 0u);
    EXPECT_EQ(u32At(p, 100), minusOne);
    EXPECT_EQ(u32At(p, 104), quarter);
    EXPECT_EQ(u32At(p, 108), one);
    EXPECT_EQ(u32At(p, 112), two);
    EXPECT_EQ(slice(p, 116, 12), Bytes(12, 0));
    // Vertices from 128: (1,0,0), (0,1,0), (0,0,1).
    EXPECT_EQ(u32At(p, 128), one);
    EXPECT_EQ(u32At(p, 132), 0u);
    EXPECT_EQ(u32At(p, 144), one);
    EXPECT_EQ(u32At(p, 160), one);
    // Set-1 coordinates from 164, as given (the reader flips v).
    EXPECT_EQ(u32At(p, 164), half);
    EXPECT_EQ(u32At(p, 168), one);
    EXPECT_EQ(u32At(p, 180), one);
    EXPECT_EQ(u32At(p, 184), quarter);
    // The face from 188.
    EXPECT_EQ(u32At(p, 188), 0u);
    EXPECT_EQ(u32At(p, 192), 1u);
    EXPECT_EQ(u32At(p, 196), 2u);
    EXPECT_EQ(u32At(p, 200), 2u);
    EXPECT_EQ(u32At(p, 204), 1u);
    EXPECT_EQ(u32At(p, 208), 0u);
    EXPECT_EQ(slice(p, 212, 12), Bytes(12, 0));
    EXPECT_EQ(slice(p, 224, 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(slice(p, 228, 4), (Bytes{0x01, 0x00, 0x00, 0x80}));
}

TEST(SceneWriter, MeshWithBothCoordinateSetsPlacesSetTwoAfterSetOne)
{
    scenefile::Mesh m;
    m.id = 1;
    m.name = "lit";
    m.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    m.tex1 = {{0, 0}};
    m.tex2 = {{0.5f, 0.25f}, {1, 1}};
    scenefile::Face f;
    f.vertex = {0, 1, 2};
    f.tex2 = {1, 0, 1};
    m.faces = {f};
    scenefile::Writer w;
    ASSERT_TRUE(w.mesh(m));
    const Bytes p = onlyPayload(w, 2, 128 + 36 + 8 + 16 + 44);
    ASSERT_EQ(p.size(), 232u);
    EXPECT_EQ(u32At(p, 64), 1u);
    EXPECT_EQ(u32At(p, 68), 2u);
    EXPECT_EQ(u32At(p, 172), half);  // set 2 starts at 128 + 36 + 8
    EXPECT_EQ(u32At(p, 176), quarter);
    EXPECT_EQ(u32At(p, 188 + 24), 1u);  // first set-2 index of the face
    EXPECT_EQ(u32At(p, 188 + 40), 1u);  // default smoothing: group 1
}

TEST(SceneWriter, DummyPointAndCameraRecords)
{
    scenefile::Writer dummyWriter;
    scenefile::Dummy d;
    d.id = 5;
    d.parentId = 4;
    d.name = "weld - tip";
    d.position = {1, 2, 3};
    d.rotation = {0, 0, 0, 1};
    d.scale = {2, 2, 2};
    ASSERT_TRUE(dummyWriter.dummy(d));
    Bytes p = onlyPayload(dummyWriter, 3, 100);
    EXPECT_EQ(u32At(p, 0), 5u);
    EXPECT_EQ(u32At(p, 4), 4u);
    EXPECT_EQ(slice(p, 8, 52), field("weld - tip", 52));
    EXPECT_EQ(u32At(p, 60), one);
    EXPECT_EQ(u32At(p, 68), three);
    EXPECT_EQ(u32At(p, 72), 0u);
    EXPECT_EQ(u32At(p, 84), one);  // quaternion w
    EXPECT_EQ(u32At(p, 88), two);
    EXPECT_EQ(u32At(p, 96), two);

    for (int32_t type : {6, 9}) {
        scenefile::Writer w;
        const scenefile::Point point{9, "Spray01", {0.5f, -1.0f, 2.0f}};
        ASSERT_TRUE(type == 6 ? w.target(point) : w.particleSystem(point));
        p = onlyPayload(w, type, 68);
        EXPECT_EQ(u32At(p, 0), 9u);
        EXPECT_EQ(slice(p, 4, 52), field("Spray01", 52));
        EXPECT_EQ(u32At(p, 56), half);
        EXPECT_EQ(u32At(p, 60), minusOne);
        EXPECT_EQ(u32At(p, 64), two);
    }

    scenefile::Writer cameraWriter;
    ASSERT_TRUE(cameraWriter.camera({11, "Camera01", {1, 2, 3}, 45.0f, 12}));
    p = onlyPayload(cameraWriter, 5, 76);
    EXPECT_EQ(u32At(p, 0), 11u);
    EXPECT_EQ(slice(p, 4, 52), field("Camera01", 52));
    EXPECT_EQ(u32At(p, 56), one);
    EXPECT_EQ(u32At(p, 64), three);
    EXPECT_EQ(u32At(p, 68), fortyFive);
    EXPECT_EQ(u32At(p, 72), 12u);
}

TEST(SceneWriter, LightRecord)
{
    scenefile::Light l;
    l.id = 20;
    l.name = "Spot01";
    l.position = {1, 2, 3};
    l.colour = {1.0f, 0.5f, 0.25f};
    l.range = 2.0f;
    l.targetId = 21;
    l.spotExponent = 3.0f;
    l.spotCutoff = 45.0f;
    l.projectedTexture = "C:\\maps\\gobo.png";
    scenefile::Writer w;
    ASSERT_TRUE(w.light(l));
    const Bytes p = onlyPayload(w, 7, 196);
    EXPECT_EQ(u32At(p, 0), 20u);
    EXPECT_EQ(slice(p, 4, 52), field("Spot01", 52));
    EXPECT_EQ(u32At(p, 56), one);
    EXPECT_EQ(u32At(p, 68), one);
    EXPECT_EQ(u32At(p, 72), half);
    EXPECT_EQ(u32At(p, 76), quarter);
    EXPECT_EQ(u32At(p, 80), two);
    EXPECT_EQ(u32At(p, 84), 21u);
    EXPECT_EQ(u32At(p, 88), three);
    EXPECT_EQ(u32At(p, 92), fortyFive);
    EXPECT_EQ(slice(p, 96, 100), field("C:\\maps\\gobo.png", 100));
}

TEST(SceneWriter, MaterialRecord)
{
    scenefile::Material m;
    m.id = 3;
    m.name = "bone";
    m.ambient = {0.25f, 0.25f, 0.25f};
    m.diffuse = {1, 1, 1};
    m.specular = {0.5f, 0.5f, 0.5f};
    m.shininess = 0.25f;
    m.specularLevel = 2.0f;
    m.opacity = 0.5f;
    m.twoSided = true;
    m.diffuseMap = "d.png";
    m.reflectionMap = "r.png";
    m.additiveMap = "a.png";
    m.bumpMap = "b.png";
    m.opacityMap = "o.png";
    m.lightMap = "l.png";
    m.dynamicReflection = true;
    scenefile::Writer w;
    ASSERT_TRUE(w.material(m));
    const Bytes p = onlyPayload(w, 4, 708);
    EXPECT_EQ(u32At(p, 0), 3u);
    EXPECT_EQ(slice(p, 4, 52), field("bone", 52));
    EXPECT_EQ(u32At(p, 56), quarter);
    EXPECT_EQ(u32At(p, 68), one);
    EXPECT_EQ(u32At(p, 80), half);
    EXPECT_EQ(u32At(p, 92), quarter);
    EXPECT_EQ(u32At(p, 96), two);
    EXPECT_EQ(u32At(p, 100), half);
    EXPECT_EQ(p[104], 1);
    EXPECT_EQ(slice(p, 105, 100), field("d.png", 100));
    EXPECT_EQ(slice(p, 205, 100), field("r.png", 100));
    EXPECT_EQ(slice(p, 305, 100), field("a.png", 100));
    EXPECT_EQ(slice(p, 405, 100), field("b.png", 100));
    EXPECT_EQ(slice(p, 505, 100), field("o.png", 100));
    EXPECT_EQ(slice(p, 605, 100), field("l.png", 100));
    EXPECT_EQ(p[705], 1);
    EXPECT_EQ(p[706], 0);
    EXPECT_EQ(p[707], 0);
}

TEST(SceneWriter, ControllerChunks)
{
    scenefile::Writer w;
    scenefile::Sample s;
    s.position = {1, 2, 3};
    s.rotation = {0, 0, 0.5f, 1};
    ASSERT_TRUE(w.samples(30, 160, {s, s}));
    const Bytes samples = onlyPayload(w, 8, 28 + 2 * 28);
    EXPECT_EQ(u32At(samples, 0), 1u);    // controller id: the first one written
    EXPECT_EQ(u32At(samples, 4), 30u);   // owner
    EXPECT_EQ(u32At(samples, 8), 5u);    // position-rotation samples
    EXPECT_EQ(u32At(samples, 12), 1u);   // kind: samples
    EXPECT_EQ(u32At(samples, 16), 0u);
    EXPECT_EQ(u32At(samples, 20), 2u);   // count
    EXPECT_EQ(u32At(samples, 24), 160u); // interval
    EXPECT_EQ(u32At(samples, 28), one);
    EXPECT_EQ(u32At(samples, 36), three);
    EXPECT_EQ(u32At(samples, 48), half);
    EXPECT_EQ(u32At(samples, 52), one);
    EXPECT_EQ(u32At(samples, 56), one);  // the second sample

    scenefile::Writer keys;
    scenefile::PositionKey pk;
    pk.frame = -2;
    pk.position = {1, 2, 3};
    pk.tension = 0.5f;
    pk.continuity = 0.25f;
    pk.bias = -1.0f;
    pk.easeTo = 2.0f;
    pk.easeFrom = 3.0f;
    ASSERT_TRUE(keys.positionKeys(40, {pk}));
    scenefile::RotationKey rk;
    rk.frame = 300;
    rk.rotation = {0.5f, 0, 0, 1};
    ASSERT_TRUE(keys.rotationKeys(40, {rk}));
    const Bytes& b = keys.bytes();
    ASSERT_EQ(b.size(), 4u + 8 + 28 + 36 + 8 + 28 + 20);
    const Bytes position = slice(b, 12, 64);
    EXPECT_EQ(u32At(b, 4), 8u);
    EXPECT_EQ(u32At(b, 8), 64u);
    EXPECT_EQ(u32At(position, 0), 1u);
    EXPECT_EQ(u32At(position, 8), 2u);   // position keys
    EXPECT_EQ(u32At(position, 12), 2u);  // kind: keys
    EXPECT_EQ(u32At(position, 20), 1u);
    EXPECT_EQ(slice(position, 28, 4), (Bytes{0xFE, 0xFF, 0x00, 0x00}));  // int16 -2, two bytes padding
    EXPECT_EQ(u32At(position, 32), one);
    EXPECT_EQ(u32At(position, 44), half);
    EXPECT_EQ(u32At(position, 48), quarter);
    EXPECT_EQ(u32At(position, 52), minusOne);
    EXPECT_EQ(u32At(position, 56), two);
    EXPECT_EQ(u32At(position, 60), three);
    const Bytes rotation = slice(b, 12 + 64 + 8, 48);
    EXPECT_EQ(u32At(b, 76), 8u);
    EXPECT_EQ(u32At(b, 80), 48u);
    EXPECT_EQ(u32At(rotation, 0), 2u);  // the second controller
    EXPECT_EQ(u32At(rotation, 8), 3u);
    EXPECT_EQ(u32At(rotation, 12), 2u);
    EXPECT_EQ(slice(rotation, 28, 4), (Bytes{0x2C, 0x01, 0x00, 0x00}));  // 300
    EXPECT_EQ(u32At(rotation, 32), half);
    EXPECT_EQ(u32At(rotation, 44), one);
}

TEST(SceneWriter, OtherChunkTypesCarryTheirPayload)
{
    scenefile::Writer w;
    ASSERT_TRUE(w.chunk(12, Bytes(40, 0xAB)));
    const Bytes p = onlyPayload(w, 12, 40);
    EXPECT_EQ(p, Bytes(40, 0xAB));
}

TEST(SceneWriter, RefusesWhatTheFormatCannotHold)
{
    scenefile::Writer w;
    const size_t start = w.bytes().size();
    EXPECT_TRUE(w.target({1, std::string(51, 'n'), {}}));
    const size_t afterFit = w.bytes().size();
    EXPECT_EQ(afterFit, start + 8 + 68);
    EXPECT_FALSE(w.target({1, std::string(52, 'n'), {}}));
    EXPECT_FALSE(w.camera({1, std::string("a\0b", 3), {}, 45.0f, 0}));
    EXPECT_NE(w.error().find("scenes: "), std::string::npos);

    scenefile::Material m;
    m.diffuseMap = std::string(99, 't');
    EXPECT_TRUE(w.material(m));
    m.lightMap = std::string(100, 't');
    EXPECT_FALSE(w.material(m));

    scenefile::Mesh mesh;
    mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    scenefile::Face f;
    f.vertex = {0, 1, 3};
    mesh.faces = {f};
    EXPECT_FALSE(w.mesh(mesh));  // vertex 3 of 3
    mesh.faces[0].vertex = {0, 1, 2};
    mesh.faces[0].tex1 = {0, 0, 1};
    EXPECT_FALSE(w.mesh(mesh));  // no set-1 coordinates to point at

    EXPECT_FALSE(w.samples(1, 0, {scenefile::Sample{}}));
    EXPECT_FALSE(w.samples(1, 10, {}));
    EXPECT_FALSE(w.positionKeys(1, {}));
    const size_t beforeEnd = w.bytes().size();
    EXPECT_EQ(beforeEnd, afterFit + 8 + 708);  // only the fitting material was added
    // Controller ids count only the chunks written.
    ASSERT_TRUE(w.samples(1, 10, {scenefile::Sample{}}));
    EXPECT_EQ(u32At(w.bytes(), beforeEnd + 8), 1u);
}

}  // namespace
