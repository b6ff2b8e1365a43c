#pragma once
// swtool render --video: the show's frames at a constant rate, and the music
// from the same moment, encoded into one video file.
#include <string>

class OfflineShow;

struct VideoJob {
    std::string path;
    long from = 0;
    long to = 0;
    long fps = 60;
    int crf = -1;
    int bitrateKbps = 0;
    std::string music;  // absolute path of the soundtrack, or empty
    bool quiet = false;
};

// Renders (to - from) x fps / 1000 frames, frame n at demo time from +
// n x 1000 / fps, after drawing the show from its start up to `from` at the
// same rate unwritten; with music the track's samples from `from` to `to`,
// the first under the first frame. Returns the process status.
int renderVideo(OfflineShow& show, const VideoJob& job);
