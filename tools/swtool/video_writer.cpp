#include "tools/swtool/video_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Formats {
    const char* video;
    const char* audio;
    int defaultCrf;
};

// The encoders for a file name, or null members for an unknown extension.
Formats formatsFor(const std::string& path)
{
    const auto dot = path.rfind('.');
    std::string extension = dot == std::string::npos ? "" : path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "mp4" || extension == "mkv" || extension == "mov")
        return {"libx264", "aac", 18};
    if (extension == "webm")
        return {"libvpx-vp9", "libvorbis", 31};
    return {nullptr, nullptr, 0};
}

struct CodecContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScaleFree {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct ResampleFree {
    void operator()(SwrContext* s) const { swr_free(&s); }
};

void reportFailure(const char* what, int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    std::fprintf(stderr, "swtool render: %s: %s\n", what, text);
}

}  // namespace

struct VideoWriter::State {
    AVFormatContext* container = nullptr;
    std::unique_ptr<AVCodecContext, CodecContextFree> video, audio;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    std::unique_ptr<AVFrame, FrameFree> picture, sound;
    std::unique_ptr<AVPacket, PacketFree> packet;
    std::unique_ptr<SwsContext, ScaleFree> scale;
    std::unique_ptr<SwrContext, ResampleFree> resample;
    std::vector<int16_t> pendingAudio;  // interleaved stereo not yet encoded
    int64_t nextFrame = 0;
    int64_t nextSample = 0;
    int width = 0, height = 0;
    bool headerWritten = false;

    ~State()
    {
        if (container != nullptr) {
            if (!(container->oformat->flags & AVFMT_NOFILE))
                avio_closep(&container->pb);
            avformat_free_context(container);
        }
    }

    // Sends one frame (null: flush) and writes every packet that comes out.
    bool encode(AVCodecContext* codec, AVStream* stream, const AVFrame* frame)
    {
        int result = avcodec_send_frame(codec, frame);
        if (result < 0) {
            reportFailure("cannot encode", result);
            return false;
        }
        for (;;) {
            result = avcodec_receive_packet(codec, packet.get());
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
                return true;
            if (result < 0) {
                reportFailure("cannot encode", result);
                return false;
            }
            av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            result = av_interleaved_write_frame(container, packet.get());
            if (result < 0) {
                reportFailure("cannot write", result);
                return false;
            }
        }
    }

    bool openVideo(const char* encoderName, const VideoSettings& s, int defaultCrf)
    {
        const AVCodec* encoder = avcodec_find_encoder_by_name(encoderName);
        if (encoder == nullptr) {
            std::fprintf(stderr, "swtool render: no %s encoder in this FFmpeg\n", encoderName);
            return false;
        }
        video.reset(avcodec_alloc_context3(encoder));
        videoStream = avformat_new_stream(container, nullptr);
        AVCodecContext* c = video.get();
        c->width = s.width;
        c->height = s.height;
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->time_base = AVRational{1, s.fps};
        c->framerate = AVRational{s.fps, 1};
        c->gop_size = s.fps * 2;
        if (s.bitrateKbps > 0) {
            c->bit_rate = static_cast<int64_t>(s.bitrateKbps) * 1000;
        } else {
            av_opt_set_int(c->priv_data, "crf", s.crf >= 0 ? s.crf : defaultCrf, 0);
            if (std::string(encoderName) == "libvpx-vp9")
                c->bit_rate = 0;  // constant quality needs no target rate
        }
        if (std::string(encoderName) == "libx264")
            av_opt_set(c->priv_data, "preset", "fast", 0);
        if (container->oformat->flags & AVFMT_GLOBALHEADER)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        const int result = avcodec_open2(c, encoder, nullptr);
        if (result < 0) {
            reportFailure("cannot open the video encoder", result);
            return false;
        }
        avcodec_parameters_from_context(videoStream->codecpar, c);
        videoStream->time_base = c->time_base;
        videoStream->avg_frame_rate = c->framerate;
        picture.reset(av_frame_alloc());
        picture->format = c->pix_fmt;
        picture->width = c->width;
        picture->height = c->height;
        av_frame_get_buffer(picture.get(), 0);
        scale.reset(sws_getContext(s.width, s.height, AV_PIX_FMT_RGB24, s.width, s.height, AV_PIX_FMT_YUV420P,
                                   SWS_BICUBIC, nullptr, nullptr, nullptr));
        return scale != nullptr;
    }

    bool openAudio(const char* encoderName, const VideoSettings& s)
    {
        const AVCodec* encoder = avcodec_find_encoder_by_name(encoderName);
        if (encoder == nullptr) {
            std::fprintf(stderr, "swtool render: no %s encoder in this FFmpeg\n", encoderName);
            return false;
        }
        audio.reset(avcodec_alloc_context3(encoder));
        audioStream = avformat_new_stream(container, nullptr);
        AVCodecContext* c = audio.get();
        c->sample_rate = s.audioRate;
        c->sample_fmt = encoder->sample_fmts != nullptr ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
        av_channel_layout_default(&c->ch_layout, 2);
        c->bit_rate = 192000;
        c->time_base = AVRational{1, s.audioRate};
        if (container->oformat->flags & AVFMT_GLOBALHEADER)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        int result = avcodec_open2(c, encoder, nullptr);
        if (result < 0) {
            reportFailure("cannot open the audio encoder", result);
            return false;
        }
        avcodec_parameters_from_context(audioStream->codecpar, c);
        audioStream->time_base = c->time_base;
        SwrContext* converter = nullptr;
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        result = swr_alloc_set_opts2(&converter, &c->ch_layout, c->sample_fmt, c->sample_rate, &stereo,
                                     AV_SAMPLE_FMT_S16, s.audioRate, 0, nullptr);
        resample.reset(converter);
        if (result < 0 || swr_init(converter) < 0) {
            std::fprintf(stderr, "swtool render: cannot convert the music for the encoder\n");
            return false;
        }
        sound.reset(av_frame_alloc());
        return true;
    }

    // Encodes whole encoder frames from pendingAudio; with `all`, the rest too.
    bool encodePendingAudio(bool all)
    {
        AVCodecContext* c = audio.get();
        const long perFrame = c->frame_size > 0 ? c->frame_size : 1024;
        size_t used = 0;
        while (pendingAudio.size() - used >= static_cast<size_t>(perFrame) * 2 ||
               (all && pendingAudio.size() > used)) {
            const long count = std::min<long>(perFrame, static_cast<long>((pendingAudio.size() - used) / 2));
            av_frame_unref(sound.get());
            sound->format = c->sample_fmt;
            sound->sample_rate = c->sample_rate;
            av_channel_layout_copy(&sound->ch_layout, &c->ch_layout);
            // The last short frame is handed over short where the encoder
            // takes one, so that no silence is added past the picture.
            const bool shortAllowed = c->frame_size <= 0 || (c->codec->capabilities &
                                                              (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE)) != 0;
            sound->nb_samples = static_cast<int>(shortAllowed ? count : perFrame);
            if (av_frame_get_buffer(sound.get(), 0) < 0)
                return false;
            av_samples_set_silence(sound->data, 0, sound->nb_samples, c->ch_layout.nb_channels, c->sample_fmt);
            const auto* input = reinterpret_cast<const uint8_t*>(pendingAudio.data() + used);
            if (swr_convert(resample.get(), sound->data, static_cast<int>(count), &input, static_cast<int>(count)) < 0)
                return false;
            sound->pts = nextSample;
            nextSample += count;
            used += static_cast<size_t>(count) * 2;
            if (!encode(c, audioStream, sound.get()))
                return false;
        }
        pendingAudio.erase(pendingAudio.begin(), pendingAudio.begin() + static_cast<std::ptrdiff_t>(used));
        return true;
    }
};

bool videoFormatKnown(const std::string& path) { return formatsFor(path).video != nullptr; }

VideoWriter::VideoWriter() = default;
VideoWriter::~VideoWriter() = default;

bool VideoWriter::open(const std::string& path, const VideoSettings& settings)
{
    const Formats formats = formatsFor(path);
    if (formats.video == nullptr) {
        std::fprintf(stderr, "swtool render: %s: the video must end in .mp4, .mkv, .mov or .webm\n", path.c_str());
        return false;
    }
    // The encoders' statistics would drown the progress line.
    av_log_set_level(AV_LOG_ERROR);
    state_ = std::make_unique<State>();
    State& s = *state_;
    s.width = settings.width;
    s.height = settings.height;
    int result = avformat_alloc_output_context2(&s.container, nullptr, nullptr, path.c_str());
    if (result < 0) {
        reportFailure("cannot make the video file", result);
        return false;
    }
    s.packet.reset(av_packet_alloc());
    if (!s.openVideo(formats.video, settings, formats.defaultCrf))
        return false;
    if (settings.withAudio && !s.openAudio(formats.audio, settings))
        return false;
    if (!(s.container->oformat->flags & AVFMT_NOFILE)) {
        result = avio_open(&s.container->pb, path.c_str(), AVIO_FLAG_WRITE);
        if (result < 0) {
            reportFailure(path.c_str(), result);
            return false;
        }
    }
    result = avformat_write_header(s.container, nullptr);
    if (result < 0) {
        reportFailure("cannot write the video header", result);
        return false;
    }
    s.headerWritten = true;
    return true;
}

bool VideoWriter::writeFrame(const uint8_t* rgb)
{
    State& s = *state_;
    if (av_frame_make_writable(s.picture.get()) < 0)
        return false;
    const uint8_t* source[1] = {rgb};
    const int stride[1] = {s.width * 3};
    sws_scale(s.scale.get(), source, stride, 0, s.height, s.picture->data, s.picture->linesize);
    s.picture->pts = s.nextFrame++;
    return s.encode(s.video.get(), s.videoStream, s.picture.get());
}

bool VideoWriter::writeAudio(const int16_t* samples, long frames)
{
    State& s = *state_;
    if (s.audio == nullptr)
        return false;
    s.pendingAudio.insert(s.pendingAudio.end(), samples, samples + frames * 2);
    return s.encodePendingAudio(false);
}

bool VideoWriter::finish()
{
    if (state_ == nullptr || !state_->headerWritten)
        return false;
    State& s = *state_;
    bool ok = s.encode(s.video.get(), s.videoStream, nullptr);
    if (s.audio != nullptr)
        ok = s.encodePendingAudio(true) && s.encode(s.audio.get(), s.audioStream, nullptr) && ok;
    const int result = av_write_trailer(s.container);
    if (result < 0) {
        reportFailure("cannot finish the video", result);
        ok = false;
    }
    state_.reset();
    return ok;
}
