// swtool scene's reading of scene files: every chunk kind listed from
// byte-built files, damage named with its chunk and offset, and the show's
// own scenes read whole.
#include "tools/swtool/scene_listing.h"

#include "tests/scene/scene_file_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> bytesOf(const SceneFile& file)
{
    const std::string text = file.str();
    return {text.begin(), text.end()};
}

bool hasLine(const SceneListing& listing, const std::string& line)
{
    for (const std::string& l : listing.lines) {
        if (l == line)
            return true;
    }
    return false;
}

std::string allLines(const SceneListing& listing)
{
    std::string text;
    for (const std::string& l : listing.lines)
        text += l + "\n";
    return text;
}

TEST(SceneListingTest, EveryChunkKindIsListed)
{
    SceneFile file;
    file.chunk(4, materialChunk(3, "steel", 0.5f, 0.5f, 0.5f, 1.0f, {"C:\\maps\\steel.png", "", "", "", "", "lm.png"}))
        .chunk(2, squareChunk(10, 0, "plate", 3))
        .chunk(3, dummyChunk(11, 10, "handle"))
        .chunk(6, pointChunk(12, "Cam.Target", 0, 0, -10))
        .chunk(5, cameraChunk(13, "Cam", 0, 0, 10, 45.0f, 12))
        .chunk(7, lightChunk(14, "Spot", 1, 2, 3, 0.0f, 12, 30.0f, "D:\\x\\gobo.png"))
        .chunk(7, lightChunk(15, "Fill", 0, 0, 0, 100.0f, 0))
        .chunk(9, pointChunk(16, "Spray", 1, 1, 1))
        .chunk(8, sampleController(11, 4, 160, 1.0f))
        .chunk(12, Bytes().zeros(40))
        .end();
    const SceneListing listing = listScene(bytesOf(file));
    ASSERT_EQ(listing.problem, "") << allLines(listing);
    EXPECT_TRUE(hasLine(listing, "unknown chunk type 12, 40 bytes, passed over")) << allLines(listing);
    EXPECT_TRUE(hasLine(listing, "mesh \"plate\" id 10 parent 0: 4 vertices, 4 + 0 texture coordinates, 2 faces, "
                                 "1 materials (3)"))
        << allLines(listing);
    EXPECT_TRUE(hasLine(listing, "  dummy \"handle\" id 11 parent 10")) << allLines(listing);
    EXPECT_TRUE(hasLine(listing, "camera \"Cam\" id 13 fov 45.0 target 12 \"Cam.Target\"")) << allLines(listing);
    EXPECT_TRUE(hasLine(listing, "light \"Spot\" id 14 colour 1.00 1.00 1.00 range 0.0 spot 30.0 exponent 2.0 "
                                 "projector \"gobo.png\" target 12 \"Cam.Target\""))
        << allLines(listing);
    EXPECT_TRUE(hasLine(listing, "light \"Fill\" id 15 colour 1.00 1.00 1.00 range 100.0 omni no target"))
        << allLines(listing);
    EXPECT_TRUE(hasLine(listing, "particle system \"Spray\" id 16 at 1.00 1.00 1.00")) << allLines(listing);
    EXPECT_TRUE(hasLine(listing, "material 3 \"steel\" mode 5 opacity 1.00 diffuse \"steel.png\" light \"lm.png\""))
        << allLines(listing);
    EXPECT_TRUE(hasLine(listing, "controller samples owner 11 \"handle\": 4 position-rotation samples, interval 160"))
        << allLines(listing);
    EXPECT_TRUE(hasLine(listing, "clock: 4 samples every 160 scene time units")) << allLines(listing);
    EXPECT_EQ(listing.textures, (std::vector<std::string>{"steel.png", "lm.png", "gobo.png"}));
}

TEST(SceneListingTest, DamageIsNamedWithItsChunkAndOffset)
{
    // Offsets: header 4 bytes, then the material chunk (8 + 708).
    const size_t second = 4 + 8 + 708;
    {
        // The arrays after the 128-byte record are cut to 12 bytes.
        SceneFile file;
        file.chunk(4, materialChunk(1, "m", 1, 1, 1)).chunk(2, Bytes().raw(squareChunk(5, 0, "cut", 1).str().substr(0, 140)));
        EXPECT_EQ(listScene(bytesOf(file)).problem,
                  "mesh chunk at offset " + std::to_string(second) +
                      ": 4 vertices, 4 + 0 texture coordinates and 2 faces need 168 bytes, the file has 12 left");
    }
    {
        SceneFile file;
        file.chunk(4, materialChunk(1, "m", 1, 1, 1)).chunk(3, Bytes().i32(5).i32(0).name(std::string(60, 'x'), 52).zeros(40));
        EXPECT_EQ(listScene(bytesOf(file)).problem,
                  "dummy chunk at offset " + std::to_string(second) + ": the object name has no NUL in its 52 bytes");
    }
    {
        SceneFile file;
        file.chunk(4, materialChunk(1, "m", 1, 1, 1)).chunk(3, dummyChunk(5, 9, "orphan"));
        EXPECT_EQ(listScene(bytesOf(file)).problem,
                  "dummy chunk at offset " + std::to_string(second) + ": dummy object 5 could not find parent obj 9");
    }
    {
        SceneFile file;
        file.chunk(8, controllerHeader(1, 4, 1, 0, 10));
        EXPECT_EQ(listScene(bytesOf(file)).problem,
                  "controller chunk at offset 4: other sample controller type than GRAFT_CTRL_PR not supported yet");
    }
    {
        SceneFile file;
        file.chunk(7, Bytes().zeros(50));
        EXPECT_EQ(listScene(bytesOf(file)).problem,
                  "light chunk at offset 4: the light record needs 196 bytes, the file has 50 left");
    }
    {
        SceneFile file;
        file.chunk(2, Bytes(), -8);
        EXPECT_EQ(listScene(bytesOf(file)).problem, "mesh chunk at offset 4: negative length -8");
    }
    {
        SceneFile file;
        file.chunk(8, controllerHeader(7, 2, 2, 0, 10));
        EXPECT_EQ(listScene(bytesOf(file)).problem,
                  "controller chunk at offset 4: could not find owner for controller object");
    }
    {
        // Material 1 exists, the square's faces name material 2.
        SceneFile file;
        file.chunk(4, materialChunk(1, "m", 1, 1, 1)).chunk(2, squareChunk(5, 0, "odd", 2)).end();
        EXPECT_EQ(listScene(bytesOf(file)).problem,
                  "mesh chunk at offset " + std::to_string(second) + ": face material not found: 2");
    }
    EXPECT_EQ(listScene({1, 0, 0, 0}).problem,
              "header at offset 0: not a scene file (the first four bytes are not zero)");
}

TEST(SceneListingTest, AnyEarlierItemServesAsParent)
{
    SceneFile file;
    file.chunk(7, lightChunk(4, "Lamp", 0, 0, 0, 0.0f, 0)).chunk(3, dummyChunk(5, 4, "shade")).end();
    const SceneListing listing = listScene(bytesOf(file));
    EXPECT_EQ(listing.problem, "");
    EXPECT_TRUE(hasLine(listing, "dummy \"shade\" id 5 parent 4")) << allLines(listing);
}

TEST(SceneListingTest, ARecordReadByItsLayoutNeedsOnlyItsOwnBytes)
{
    // A dummy whose length field overstates what follows, at the end of the
    // file, is still read whole; a trailing unknown chunk likewise.
    SceneFile file;
    file.chunk(3, dummyChunk(5, 0, "d"), 5000).chunk(40, Bytes().zeros(4), 1000);
    const SceneListing listing = listScene(bytesOf(file));
    EXPECT_EQ(listing.problem, "");
    EXPECT_TRUE(hasLine(listing, "dummy \"d\" id 5 parent 0")) << allLines(listing);
    EXPECT_TRUE(hasLine(listing, "unknown chunk type 40, 4 bytes, passed over")) << allLines(listing);
}

TEST(SceneListingTest, AKnownChunkIsReadByItsRecordWhateverItsLength)
{
    // As the player reads them: a length of 0 or one running past the
    // record hides nothing; the next chunk starts after the record.
    for (const int32_t length : {0, 100, 500}) {
        SceneFile file;
        file.chunk(3, dummyChunk(1, 0, "a"), length).chunk(3, dummyChunk(2, 1, "b")).end();
        const SceneListing listing = listScene(bytesOf(file));
        EXPECT_EQ(listing.problem, "") << length;
        EXPECT_TRUE(hasLine(listing, "  dummy \"b\" id 2 parent 1")) << allLines(listing);
        EXPECT_TRUE(hasLine(listing, "scene: 228 bytes, ends with its end chunk")) << allLines(listing);
    }
}

TEST(SceneListingTest, ADeepChainIsListedInLinearSize)
{
    // A chain of dummies, each the child of the one before: indentation
    // stops after four levels and the depth is written as a number.
    constexpr int32_t chain = 2000;
    SceneFile file;
    for (int32_t id = 1; id <= chain; ++id)
        file.chunk(3, dummyChunk(id, id - 1, "d"));
    file.end();
    const SceneListing listing = listScene(bytesOf(file));
    ASSERT_EQ(listing.problem, "");
    EXPECT_TRUE(hasLine(listing, "dummy \"d\" id 1 parent 0")) << allLines(listing);
    EXPECT_TRUE(hasLine(listing, "        dummy \"d\" id 5 parent 4"));
    EXPECT_TRUE(hasLine(listing, "        (depth 5) dummy \"d\" id 6 parent 5"));
    EXPECT_TRUE(hasLine(listing, "        (depth 1999) dummy \"d\" id 2000 parent 1999"));
    size_t longest = 0;
    for (const std::string& line : listing.lines)
        longest = std::max(longest, line.size());
    EXPECT_LT(longest, 60u);
}

TEST(SceneListingTest, TheShowsScenesReadWhole)
{
    const std::filesystem::path data = std::filesystem::path(SW_BINARY_DIR) / "show" / "data";
    for (const char* name : {"gang.scn", "welderscene4.scn", "tree.scn", "cranium.scn", "gallery.scn"}) {
        std::ifstream in(data / name, std::ios::binary);
        ASSERT_TRUE(in) << name;
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const SceneListing listing = listScene(bytes);
        EXPECT_EQ(listing.problem, "") << name;
        EXPECT_EQ(listing.lines.front().find("ends with its end chunk") != std::string::npos, true) << name;
        EXPECT_EQ(listing.lines.back().rfind("clock: ", 0), 0u) << name;
        for (const std::string& texture : listing.textures)
            EXPECT_TRUE(std::filesystem::is_regular_file(data / "textures" / texture)) << name << ": " << texture;
    }
}

}  // namespace
