// swtool compare DIR_A DIR_B [--edges DIR_4 DIR_0]: how the PNG frames of
// two folders (two renders of the same times) differ, one line per frame
// and a total, so that a change can be checked against the frames of the
// build before it.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "resources/images/image.h"
#include "resources/images/loaders.h"
#include "tools/swtool/commands.h"
#include "tools/swtool/frame_compare.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* usage =
    "usage: swtool compare DIR_A DIR_B [--edges DIR_4 DIR_0]\n"
    "  compares the PNG frames of the same names in DIR_A and DIR_B; one line per frame,\n"
    "  then one for all frames, fields separated by tabs:\n"
    "  NAME DIFFERING PIXELS MAX MEAN_ABS MEAN_SIGNED EDGE_DIFFERING EDGE_SHARE\n"
    "  (NAME is \"total\" on the last line; differences are B minus A in levels 0..255 over\n"
    "  red, green and blue; the edge fields are \"-\" without --edges, whose folders hold\n"
    "  the same frames rendered with 4 and with 0 samples)\n";

// The names of the .png files in dir, sorted; false when dir cannot be read.
bool listFrames(const std::string& dir, std::vector<std::string>& names)
{
    std::error_code error;
    fs::directory_iterator it(dir, error);
    if (error)
        return false;
    for (const fs::directory_entry& entry : it) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 4 && name.ends_with(".png") && entry.is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return true;
}

// Names every frame one folder has and the other lacks; true when none.
bool sameNames(const std::string& dirA, const std::vector<std::string>& a, const std::string& dirB,
               const std::vector<std::string>& b)
{
    std::vector<std::string> onlyA;
    std::vector<std::string> onlyB;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(onlyA));
    std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(onlyB));
    for (const std::string& name : onlyA)
        std::fprintf(stderr, "swtool compare: %s is in %s but not in %s\n", name.c_str(), dirA.c_str(), dirB.c_str());
    for (const std::string& name : onlyB)
        std::fprintf(stderr, "swtool compare: %s is in %s but not in %s\n", name.c_str(), dirB.c_str(), dirA.c_str());
    return onlyA.empty() && onlyB.empty();
}

// Brings a decoded picture to red, green, blue: grey and palette pictures
// are expanded, an alpha channel is dropped (rendered frames are opaque).
bool toRgb(const Image& image, RgbFrame& frame)
{
    const size_t pixels = size_t{image.width} * image.height;
    frame.width = image.width;
    frame.height = image.height;
    frame.rgb.assign(pixels * 3, 0);
    const unsigned bytes = unsigned(imageBytesPerPixel(image.bitsPerPixel));
    if (bytes != 1 && bytes != 3 && bytes != 4)
        return false;
    for (size_t p = 0; p < pixels; ++p) {
        const uint8_t* in = image.pixels + p * bytes;
        uint8_t* out = &frame.rgb[p * 3];
        if (bytes >= 3) {
            std::memcpy(out, in, 3);
        } else if (image.paletteEntries == 0) {
            std::memset(out, in[0], 3);
        } else if (in[0] < image.paletteEntries) {
            std::memcpy(out, image.palette + size_t{in[0]} * 3, 3);
        }
    }
    return true;
}

bool loadFrame(const std::string& path, RgbFrame& frame)
{
    Image* image = loadPng(path.c_str());
    const bool ok = image != nullptr && toRgb(*image, frame);
    imageFree(image);
    if (!ok)
        std::fprintf(stderr, "swtool compare: cannot read %s\n", path.c_str());
    return ok;
}

bool sameSizes(const RgbFrame& a, const std::string& pathA, const RgbFrame& b, const std::string& pathB)
{
    if (a.width == b.width && a.height == b.height)
        return true;
    std::fprintf(stderr, "swtool compare: %s is %d x %d but %s is %d x %d\n", pathA.c_str(), a.width, a.height,
                 pathB.c_str(), b.width, b.height);
    return false;
}

void printLine(const char* name, const DifferenceSums& sums, bool withEdges)
{
    std::printf("%s\t%" PRIu64 "\t%" PRIu64 "\t%d\t%.6f\t%.6f", name, sums.differing, sums.pixels, sums.maxAbs,
                meanAbsDifference(sums), meanSignedDifference(sums));
    if (withEdges)
        std::printf("\t%" PRIu64 "\t%.6f\n", sums.edgeDiffering, edgeShare(sums));
    else
        std::printf("\t-\t-\n");
}

struct Folders {
    std::string a;
    std::string b;
    std::string edges4;  // empty without --edges
    std::string edges0;
};

// Compares one frame of the folders and prints its line; false (after
// naming the file) when a file cannot be read or the sizes differ.
bool compareOne(const Folders& dirs, const std::string& name, DifferenceSums& total)
{
    const std::string pathA = (fs::path(dirs.a) / name).string();
    const std::string pathB = (fs::path(dirs.b) / name).string();
    RgbFrame a;
    RgbFrame b;
    if (!loadFrame(pathA, a) || !loadFrame(pathB, b) || !sameSizes(a, pathA, b, pathB))
        return false;
    const bool withEdges = !dirs.edges4.empty();
    std::vector<uint8_t> edges;
    if (withEdges) {
        const std::string path4 = (fs::path(dirs.edges4) / name).string();
        const std::string path0 = (fs::path(dirs.edges0) / name).string();
        RgbFrame multisampled;
        RgbFrame plain;
        if (!loadFrame(path4, multisampled) || !loadFrame(path0, plain) || !sameSizes(a, pathA, multisampled, path4) ||
            !sameSizes(a, pathA, plain, path0))
            return false;
        edges = edgeMask(multisampled, plain);
    }
    const DifferenceSums sums = compareFrames(a, b, withEdges ? &edges : nullptr);
    printLine(name.c_str(), sums, withEdges);
    addSums(total, sums);
    return true;
}

// The frame names, when every folder can be read and holds the same ones.
bool commonFrames(const Folders& dirs, std::vector<std::string>& names)
{
    std::vector<std::string> all[4];
    const std::string* folders[4] = {&dirs.a, &dirs.b, &dirs.edges4, &dirs.edges0};
    const int count = dirs.edges4.empty() ? 2 : 4;
    for (int i = 0; i < count; ++i) {
        if (!listFrames(*folders[i], all[i])) {
            std::fprintf(stderr, "swtool compare: cannot read the folder %s\n", folders[i]->c_str());
            return false;
        }
    }
    bool same = true;
    for (int i = 1; i < count; ++i)
        same = sameNames(dirs.a, all[0], *folders[i], all[i]) && same;
    if (same && all[0].empty()) {
        std::fprintf(stderr, "swtool compare: no .png frames in %s\n", dirs.a.c_str());
        return false;
    }
    names = std::move(all[0]);
    return same;
}

}  // namespace

int runCompare(int argc, char** argv)
{
    Folders dirs;
    std::vector<const char*> positional;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--edges") == 0 && i + 2 < argc && dirs.edges4.empty()) {
            dirs.edges4 = argv[i + 1];
            dirs.edges0 = argv[i + 2];
            i += 2;
        } else if (argv[i][0] != '-' && positional.size() < 2) {
            positional.push_back(argv[i]);
        } else {
            positional.clear();
            break;
        }
    }
    if (positional.size() != 2) {
        std::fprintf(stderr, "%s", usage);
        return 1;
    }
    dirs.a = positional[0];
    dirs.b = positional[1];
    // The decoders' progress lines would mix with the results.
    imageVerbose = false;
    imageOutput = stderr;
    std::vector<std::string> names;
    if (!commonFrames(dirs, names))
        return 1;
    DifferenceSums total;
    for (const std::string& name : names) {
        if (!compareOne(dirs, name, total))
            return 1;
    }
    printLine("total", total, !dirs.edges4.empty());
    return 0;
}
