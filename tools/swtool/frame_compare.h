#pragma once
// The arithmetic of swtool compare: how two renders of the same frame
// differ, and which pixels count as edge pixels (where multisampling
// changes the picture), so that a change to a show or to the drawing code
// can be judged by numbers rather than by eye.
#include <cstdint>
#include <vector>

// One frame as red, green, blue bytes, top row first, no padding.
struct RgbFrame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width x height x 3
};

// Sums over one frame or over several; the figures are derived from them
// so that a total over frames is exact, not an average of averages.
struct DifferenceSums {
    uint64_t pixels = 0;          // pixels compared
    uint64_t differing = 0;       // pixels where any channel differs
    int maxAbs = 0;               // largest |B - A| of any channel, 0..255
    uint64_t sumAbs = 0;          // sum of |B - A| over every channel
    int64_t sumSigned = 0;        // sum of B - A over every channel
    uint64_t edgeDiffering = 0;   // differing pixels that are edge pixels
};

// Compares b against a, which must have the same sizes. With an edge mask
// (one byte per pixel, non-zero for an edge pixel, as edgeMask makes),
// also counts the differing pixels that lie on it; without one,
// edgeDiffering stays 0.
DifferenceSums compareFrames(const RgbFrame& a, const RgbFrame& b, const std::vector<uint8_t>* edges);

// The edge pixels of a frame rendered twice, with and without
// multisampling (same sizes): every pixel where any channel differs, grown
// by one pixel in all eight directions, clipped at the frame's border.
// One byte per pixel, 1 on an edge, 0 elsewhere.
std::vector<uint8_t> edgeMask(const RgbFrame& multisampled, const RgbFrame& plain);

// Adds one frame's sums to a running total (maxAbs becomes the larger).
void addSums(DifferenceSums& total, const DifferenceSums& frame);

// The mean |B - A| and mean B - A per channel, in levels 0..255, over
// pixels x 3 channels; 0 when no pixel was compared.
double meanAbsDifference(const DifferenceSums& sums);
double meanSignedDifference(const DifferenceSums& sums);

// The share (0..1) of differing pixels that are edge pixels; 1 when no
// pixel differs, since then no difference lies off the edges.
double edgeShare(const DifferenceSums& sums);
