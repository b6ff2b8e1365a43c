#include "tools/swtool/render_video.h"

#include "platform/sound_decoder.h"
#include "timeline/demo.h"
#include "tools/swtool/offline_show.h"
#include "tools/swtool/progress_line.h"
#include "tools/swtool/video_writer.h"

#include <cstdio>
#include <vector>

namespace {

// The soundtrack from `from` ms, handed out as the frames need it.
class MusicSpan {
public:
    // The span of `samples` samples from `from` ms on.
    bool open(const std::string& path, long from, int64_t samples)
    {
        if (!decoder_.open(path) || !decoder_.seekMilliseconds(from))
            return false;
        total_ = samples;
        return true;
    }
    // Writes the samples up to sample `until` (at most the span's end);
    // past the track's end the span goes on in silence.
    bool writeUntil(int64_t until, VideoWriter& writer)
    {
        until = std::min(until, total_);
        std::vector<int16_t> samples;
        while (written_ < until) {
            const long count = static_cast<long>(std::min<int64_t>(until - written_, 4096));
            samples.assign(static_cast<size_t>(count) * 2, 0);
            const long got = decoder_.read(samples.data(), count);
            if (got < 0)
                return false;
            if (!writer.writeAudio(samples.data(), count))
                return false;
            written_ += count;
        }
        return true;
    }
    int64_t total() const { return total_; }

private:
    platform::OggDecoder decoder_;
    int64_t total_ = 0;
    int64_t written_ = 0;
};

}  // namespace

int renderVideo(OfflineShow& show, const VideoJob& job)
{
    const long frames = (job.to - job.from) * job.fps / 1000;
    if (frames <= 0 || job.fps > 1000) {
        std::fprintf(stderr, "swtool render: --video needs --from A --to B --fps F with B > A\n");
        return 1;
    }
    // The sound lasts exactly as long as the pictures: frames x 44100 / fps
    // samples, however the span's ms divide into frames.
    MusicSpan music;
    const int64_t samples = static_cast<int64_t>(frames) * platform::soundRate / job.fps;
    if (!job.music.empty() && !music.open(job.music, job.from, samples)) {
        std::fprintf(stderr, "swtool render: cannot read music %s\n", job.music.c_str());
        return 1;
    }
    VideoSettings settings;
    settings.width = OfflineShow::frameWidth;
    settings.height = OfflineShow::frameHeight;
    settings.fps = static_cast<int>(job.fps);
    settings.crf = job.crf;
    settings.bitrateKbps = job.bitrateKbps;
    settings.withAudio = !job.music.empty();
    settings.audioRate = platform::soundRate;
    VideoWriter writer;
    if (!writer.open(job.path, settings))
        return 1;

    // The show is drawn from its start at the same rate up to the span, without
    // encoding, so that flashes, trails and everything else that remembers
    // earlier frames look at `from` as in the played show.
    for (const int time : stepTimes(show.demo().startTime(), job.from - 1, job.fps))
        show.drawFrameAt(time);

    std::vector<uint8_t> pixels(static_cast<size_t>(settings.width) * settings.height * 3);
    bool ok = true;
    show.demo().setFrameObserver([&](int32_t) {
        readFrameRgb(pixels.data());
        ok = writer.writeFrame(pixels.data()) && ok;
    });
    ProgressLine progress(static_cast<size_t>(frames), job.quiet);
    for (long n = 0; n < frames && ok; ++n) {
        show.drawFrameAt(static_cast<int32_t>(job.from + n * 1000 / job.fps));
        if (settings.withAudio)
            ok = music.writeUntil((n + 1) * static_cast<int64_t>(platform::soundRate) / job.fps, writer) && ok;
        progress.update(static_cast<size_t>(n + 1));
    }
    if (settings.withAudio)
        ok = music.writeUntil(music.total(), writer) && ok;
    show.demo().setFrameObserver(nullptr);
    return writer.finish() && ok ? 0 : 1;
}
