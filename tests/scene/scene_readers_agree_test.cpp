// The player's loader and `swtool scene` read every byte-built file and
// every show scene alike: the same files accepted, the same objects in the
// same tree, the same cameras, lights, particle systems, materials (with
// their modes) and clock; the same files refused, for the same reason.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "scene/scene_file_parser.h"
#include "scene/scene_file_reader.h"
#include "tests/scene/scene_builders.h"
#include "tests/scene/scene_file_bytes.h"
#include "tests/support/death_pattern.h"
#include "tests/support/temp_dir.h"
#include "tools/swtool/scene_listing.h"

namespace {

struct NamedFile {
    std::string name;
    std::string bytes;
};

Bytes keyController(int32_t owner, int32_t count)
{
    Bytes b = controllerHeader(owner, 2, 2, count, 0);
    for (int32_t i = 0; i < count; ++i)
        b.i16(static_cast<int16_t>(i * 10)).i16(0).vec(1, 2, 3).f32(0).f32(0).f32(0).f32(0).f32(0);
    return b;
}

// Files the loader accepts, every chunk kind and the odd layouts among them.
std::vector<NamedFile> acceptedFiles()
{
    const float at[3] = {0, 0, 0};
    std::vector<NamedFile> files;
    files.push_back({"every chunk kind",
                     SceneFile()
                         .chunk(4, materialChunk(3, "steel", 0.5f, 0.5f, 0.5f, 1.0f))
                         .chunk(4, materialChunk(4, "glass", 0, 1, 0, 0.5f))
                         .chunk(4, materialChunk(5, "mirror", 1, 1, 1, 1.0f, {}, true))
                         .chunk(2, squareChunk(10, 0, "plate", 3))
                         .chunk(3, dummyChunk(11, 10, "handle"))
                         .chunk(2, squareChunk(17, 11, "knob", 4, at))
                         .chunk(2, squareChunk(18, 0, "mirror", 5, at))
                         .chunk(6, pointChunk(12, "Cam.Target", 0, 0, -10))
                         .chunk(5, cameraChunk(13, "Cam", 0, 0, 10, 45.0f, 12))
                         .chunk(7, lightChunk(14, "Spot", 1, 2, 3, 0.0f, 12, 30.0f))
                         .chunk(3, dummyChunk(19, 14, "under the light"))
                         .chunk(9, pointChunk(16, "Spray", 1, 1, 1))
                         .chunk(8, sampleController(11, 4, 160, 1.0f))
                         .chunk(8, keyController(10, 2))
                         .chunk(8, controllerHeader(10, 4, 2, 3, 0))
                         .chunk(12, Bytes().zeros(40))
                         .end()
                         .str()});
    // A known chunk whose length is 0, or runs past its record: the next
    // chunk starts after the record all the same, the end chunk included.
    files.push_back({"dummy of length 0",
                     SceneFile().chunk(3, dummyChunk(1, 0, "a"), 0).chunk(3, dummyChunk(2, 1, "b")).end().str()});
    files.push_back({"length past the record",
                     SceneFile().chunk(3, dummyChunk(1, 0, "a"), 500).chunk(3, dummyChunk(2, 0, "b")).end().str() +
                         std::string(600, '\x07')});
    files.push_back({"unknown chunk past the end", SceneFile()
                                                       .chunk(3, dummyChunk(1, 0, "kept"))
                                                       .chunk(12, Bytes().zeros(8), 4000)
                                                       .str()});
    files.push_back({"no end chunk", SceneFile().chunk(3, dummyChunk(1, 0, "only")).str() + std::string("\x01\x00", 2)});
    files.push_back({"samples without owner", SceneFile()
                                                  .chunk(3, dummyChunk(1, 0, "d"))
                                                  .chunk(8, sampleController(99, 3, 50, 1.0f))
                                                  .chunk(3, dummyChunk(2, 0, "e"))
                                                  .end()
                                                  .str()});
    files.push_back({"same id twice", SceneFile()
                                          .chunk(3, dummyChunk(5, 0, "first"))
                                          .chunk(3, dummyChunk(5, 0, "second"))
                                          .chunk(3, dummyChunk(6, 5, "child"))
                                          .chunk(8, sampleController(5, 2, 10, 1.0f))
                                          .end()
                                          .str()});
    return files;
}

// Files the loader refuses: damage and references the file cannot satisfy.
std::vector<NamedFile> refusedFiles()
{
    const std::string square = squareChunk(1, 0, "s", 0).str();
    std::vector<NamedFile> files;
    files.push_back({"header not zero", Bytes().i32(1).i32(1).i32(0).str()});
    files.push_back({"header cut", std::string("\0\0", 2)});
    files.push_back({"negative length", SceneFile().chunk(3, dummyChunk(1, 0, "d"), -1).end().str()});
    files.push_back({"short camera", SceneFile().chunk(5, Bytes().zeros(30)).str()});
    files.push_back({"mesh arrays cut", SceneFile().chunk(2, Bytes().raw(square.substr(0, square.size() - 10))).str()});
    files.push_back(
        {"vertex index", SceneFile()
                             .chunk(2, meshChunk(1, 0, "s", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {}, {{{0, 1, 3}, {0, 0, 0}, 0, 0}}))
                             .end()
                             .str()});
    files.push_back({"name without NUL", SceneFile().chunk(3, dummyChunk(2, 0, std::string(52, 'n'))).end().str()});
    files.push_back({"missing parent", SceneFile().chunk(3, dummyChunk(6, 8, "child")).end().str()});
    files.push_back({"missing key owner", SceneFile().chunk(3, dummyChunk(1, 0, "d")).chunk(8, keyController(42, 1)).end().str()});
    files.push_back({"other samples", SceneFile().chunk(3, dummyChunk(1, 0, "d")).chunk(8, controllerHeader(1, 7, 1, 0, 10)).end().str()});
    files.push_back({"negative count", SceneFile().chunk(3, dummyChunk(1, 0, "d")).chunk(8, controllerHeader(1, 5, 1, -1, 10)).end().str()});
    files.push_back({"material not held", SceneFile()
                                              .chunk(4, materialChunk(1, "m", 1, 1, 1))
                                              .chunk(2, squareChunk(5, 0, "odd", 2))
                                              .end()
                                              .str()});
    return files;
}

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// One line per object: kind, id, name, parent's name and id, depth, and a
// mesh's array sizes; sorted, as the loader moves top-level objects.
std::vector<std::string> describedObjects(const SceneDescription& d)
{
    std::vector<std::string> lines;
    for (const SceneObject& o : d.objects) {
        std::string parent = "top";
        size_t depth = 0;
        for (SceneItemRef p = o.parent; p.valid(); ++depth) {
            if (depth == 0)
                parent = sceneItemName(d, p);
            p = p.list == SceneList::objects ? d.objects[p.index].parent : SceneItemRef{};
        }
        static const char* const kinds[] = {"mesh", "dummy", "target"};
        lines.push_back(std::string(kinds[static_cast<int>(o.kind)]) + " " + std::to_string(o.id) + " " + o.name +
                        " under " + parent + " depth " + std::to_string(depth) + " " +
                        std::to_string(o.geometry.positions.size()) + "/" + std::to_string(o.geometry.faces.size()));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

void collectBuilt(const SceneNode* node, const std::string& parent, size_t depth, std::vector<std::string>& lines)
{
    for (; node != nullptr; node = node->next()) {
        const auto* mesh = dynamic_cast<const Mesh*>(node);
        const char* kind = mesh != nullptr ? "mesh" : dynamic_cast<const TargetNode*>(node) != nullptr ? "target" : "dummy";
        lines.push_back(std::string(kind) + " " + std::to_string(node->id()) + " " + node->name() + " under " + parent +
                        " depth " + std::to_string(depth) + " " +
                        std::to_string(mesh != nullptr ? mesh->vertices().size() : 0) + "/" +
                        std::to_string(mesh != nullptr ? mesh->faces().size() : 0));
        collectBuilt(node->firstChild(), node->name(), depth + 1, lines);
    }
}

// The objects as the loader built them, in the lines above.
std::vector<std::string> builtObjects(const Scene& scene)
{
    std::vector<std::string> lines;
    collectBuilt(scene.firstObject(), "top", 0, lines);
    for (const SceneNode* holder : {static_cast<const SceneNode*>(scene.firstLight()),
                                    static_cast<const SceneNode*>(scene.firstCamera()),
                                    static_cast<const SceneNode*>(scene.firstParticleNode())})
        for (; holder != nullptr; holder = holder->next())
            collectBuilt(holder->firstChild(), holder->name(), 1, lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

template <typename Node>
std::vector<std::string> namesOf(const Node* first)
{
    std::vector<std::string> names;
    for (const SceneNode* n = first; n != nullptr; n = n->next())
        names.push_back(std::to_string(n->id()) + " " + n->name());
    return names;
}

template <typename Record>
std::vector<std::string> namesOf(const std::vector<Record>& records)
{
    std::vector<std::string> names;
    for (const Record& r : records)
        names.push_back(std::to_string(r.id) + " " + r.name);
    return names;
}

class SceneReadersAgreeTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        clearFrame();
    }

    void expectSameScene(const std::string& what, const std::string& path, const std::string& textures,
                         const std::vector<uint8_t>& bytes)
    {
        const SceneDescription d = parseSceneFile(bytes.data(), bytes.size());
        const SceneListing listing = listScene(d);
        ASSERT_EQ(listing.problem, "") << what;
        testing::internal::CaptureStderr();
        SceneFileReader reader;
        std::unique_ptr<Scene> scene(reader.load(path.c_str(), textures.c_str()));
        testing::internal::GetCapturedStderr();
        ASSERT_NE(scene, nullptr) << what;
        EXPECT_EQ(builtObjects(*scene), describedObjects(d)) << what;
        EXPECT_EQ(namesOf(scene->firstCamera()), namesOf(d.cameras)) << what;
        EXPECT_EQ(namesOf(scene->firstLight()), namesOf(d.lights)) << what;
        EXPECT_EQ(namesOf(scene->firstParticleNode()), namesOf(d.particles)) << what;
        ASSERT_EQ(scene->materials().size(), d.materials.size()) << what;
        for (size_t i = 0; i < d.materials.size(); ++i) {
            EXPECT_EQ(scene->materials()[i]->name(), d.materials[i].name) << what;
            EXPECT_EQ(scene->materials()[i]->mode(), d.materials[i].mode()) << what;
        }
        EXPECT_EQ(scene->sampleCount(), d.sampleCount) << what;
        EXPECT_EQ(scene->sampleInterval(), d.sampleInterval) << what;
        // Every described object is listed once.
        EXPECT_EQ(listing.lines.size(), 1 + d.unknownChunks.size() + d.objects.size() + d.cameras.size() +
                                            d.lights.size() + d.particles.size() + d.materials.size() +
                                            d.controllers.size() + 1)
            << what;
    }

    TempDir dir_;
};

TEST_F(SceneReadersAgreeTest, ByteBuiltFilesThatLoadAreListedAsBuilt)
{
    for (const NamedFile& file : acceptedFiles()) {
        const std::string path = dir_.write("accepted.scn", file.bytes);
        expectSameScene(file.name, path, dir_.path().string() + "/", bytesOf(file.bytes));
    }
}

TEST_F(SceneReadersAgreeTest, ShowScenesAreListedAsBuilt)
{
    const std::filesystem::path data = std::filesystem::path(SW_BINARY_DIR) / "show" / "data";
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data)) {
        if (entry.path().extension() != ".scn")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        expectSameScene(entry.path().string(), entry.path().string(), (data / "textures").string() + "/", bytes);
        ++compared;
    }
    EXPECT_GE(compared, 5);
}

TEST_F(SceneReadersAgreeTest, RefusedFilesEndTheLoaderWithTheListingsReason)
{
    for (const NamedFile& file : refusedFiles()) {
        const std::vector<uint8_t> bytes = bytesOf(file.bytes);
        const SceneDescription d = parseSceneFile(bytes.data(), bytes.size());
        const SceneListing listing = listScene(d);
        ASSERT_TRUE(d.failed) << file.name;
        EXPECT_EQ(listing.problem, d.problem.where() + ": " + d.problem.text) << file.name;
        const std::string path = dir_.write("refused.scn", file.bytes);
        // The dying child runs the test again, in a temporary folder of its own.
        const std::string said = "/refused.scn: " +
                                 (d.problem.structural ? "not a grafter file: " + listing.problem : d.problem.text);
        EXPECT_EXIT(
            {
                SceneFileReader reader;
                reader.load(path.c_str(), "");
            },
            ::testing::ExitedWithCode(1), "Error in parsing .*" + literally(said))
            << file.name;
    }
}

}  // namespace
