#include "platform/sound_decoder.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>

namespace platform {

struct OggDecoder::State {
    OggVorbis_File file{};
};

OggDecoder::OggDecoder() : state_(new State) {}

OggDecoder::~OggDecoder()
{
    close();
    delete state_;
}

bool OggDecoder::open(const std::string& path)
{
    close();
    if (ov_fopen(path.c_str(), &state_->file) != 0)
        return false;
    const vorbis_info* info = ov_info(&state_->file, -1);
    const ogg_int64_t total = ov_pcm_total(&state_->file, -1);
    if (info == nullptr || info->rate != soundRate || (info->channels != 1 && info->channels != 2) || total < 0 ||
        ov_seekable(&state_->file) == 0) {
        std::fprintf(stderr, "sound: %s is not a seekable mono or stereo 44100 Hz OGG Vorbis file\n", path.c_str());
        ov_clear(&state_->file);
        return false;
    }
    channels_ = info->channels;
    length_ = total;
    open_ = true;
    return true;
}

void OggDecoder::close()
{
    if (open_)
        ov_clear(&state_->file);
    open_ = false;
    channels_ = 0;
    length_ = 0;
}

bool OggDecoder::seekFrame(int64_t frame)
{
    if (!open_)
        return false;
    frame = std::clamp<int64_t>(frame, 0, length_);
    return ov_pcm_seek(&state_->file, frame) == 0;
}

bool OggDecoder::seekMilliseconds(int64_t ms) { return seekFrame(ms * soundRate / 1000); }

long OggDecoder::read(int16_t* out, long frames)
{
    if (!open_)
        return 0;
    long written = 0;
    while (written < frames) {
        float** pcm = nullptr;
        int section = 0;
        const long got = ov_read_float(&state_->file, &pcm, static_cast<int>(frames - written), &section);
        if (got == OV_HOLE)
            continue;  // a gap in the stream: vorbisfile resumes after it
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        for (long i = 0; i < got; ++i) {
            for (int c = 0; c < 2; ++c) {
                const float v = pcm[channels_ == 2 ? c : 0][i];
                const float scaled = std::clamp(v * 32768.0f, -32768.0f, 32767.0f);
                out[(written + i) * 2 + c] = static_cast<int16_t>(scaled < 0 ? scaled - 0.5f : scaled + 0.5f);
            }
        }
        written += got;
    }
    return written;
}

}  // namespace platform
