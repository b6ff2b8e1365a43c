#include "tools/soundtrack/ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// libvorbis keeps its state in four C structures that must be cleared in
// reverse order of set-up.
struct Encoder {
    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    ogg_stream_state stream{};
    bool analysing = false;

    Encoder() { vorbis_info_init(&info); }
    ~Encoder()
    {
        if (analysing) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
            vorbis_comment_clear(&comment);
        }
        vorbis_info_clear(&info);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
};

bool writePage(std::FILE* file, const ogg_page& page)
{
    return std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), file) ==
               static_cast<size_t>(page.header_len) &&
           std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), file) == static_cast<size_t>(page.body_len);
}

// Moves every finished block into packets and every full page to the file.
bool drain(Encoder& e, std::FILE* file, bool flush)
{
    while (vorbis_analysis_blockout(&e.dsp, &e.block) == 1) {
        vorbis_analysis(&e.block, nullptr);
        vorbis_bitrate_addblock(&e.block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&e.dsp, &packet) == 1)
            ogg_stream_packetin(&e.stream, &packet);
    }
    ogg_page page;
    while (flush ? ogg_stream_flush(&e.stream, &page) != 0 : ogg_stream_pageout(&e.stream, &page) != 0) {
        if (!writePage(file, page))
            return false;
    }
    return true;
}

}  // namespace

bool writeOgg(const std::string& path, const std::vector<float>& left, const std::vector<float>& right,
              float quality, int serial)
{
    return writeOggChannels(path, {left, right}, 44100, quality, serial);
}

bool writeOggChannels(const std::string& path, const std::vector<std::vector<float>>& channels, int rate,
                      float quality, int serial)
{
    if (channels.empty())
        return false;
    const size_t length = channels[0].size();
    for (const auto& channel : channels)
        if (channel.size() != length)
            return false;
    Encoder e;
    if (vorbis_encode_init_vbr(&e.info, static_cast<long>(channels.size()), rate, quality) != 0)
        return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    vorbis_comment_init(&e.comment);
    vorbis_comment_add_tag(&e.comment, "TITLE", "stillwater");
    vorbis_analysis_init(&e.dsp, &e.info);
    vorbis_block_init(&e.dsp, &e.block);
    ogg_stream_init(&e.stream, serial);
    e.analysing = true;

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&e.dsp, &e.comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&e.stream, &header);
    ogg_stream_packetin(&e.stream, &commentHeader);
    ogg_stream_packetin(&e.stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&e.stream, &page) != 0) {
        if (!writePage(file.get(), page))
            return false;
    }

    constexpr size_t chunk = 4096;
    for (size_t at = 0; at < length; at += chunk) {
        const size_t n = std::min(chunk, length - at);
        float** buffer = vorbis_analysis_buffer(&e.dsp, static_cast<int>(n));
        for (size_t c = 0; c < channels.size(); ++c)
            std::copy_n(channels[c].begin() + static_cast<long>(at), n, buffer[c]);
        vorbis_analysis_wrote(&e.dsp, static_cast<int>(n));
        if (!drain(e, file.get(), false))
            return false;
    }
    vorbis_analysis_wrote(&e.dsp, 0);
    if (!drain(e, file.get(), true))
        return false;
    return std::fflush(file.get()) == 0;
}
