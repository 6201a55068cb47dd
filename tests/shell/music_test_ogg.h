// Ogg Vorbis files made on the spot with libvorbisenc for the music tests.
#pragma once

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

namespace music_test_ogg {

// Encodes `frames` frames of a sine at `frequency` Hz (the same on every
// channel) with amplitude `amplitude`; frames 0 writes a stream with no audio.
inline std::string Encode(int channels, long rate, long frames, double frequency, double amplitude) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.6f) != 0)
        std::abort();
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1234);
    std::string out;
    ogg_page page;
    auto writePage = [&] {
        out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
        out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    while (ogg_stream_flush(&stream, &page) != 0)
        writePage();
    auto drain = [&] {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0)
                    writePage();
            }
        }
    };
    for (long done = 0; done < frames;) {
        long n = std::min(1024L, frames - done);
        float** buffers = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
        for (long i = 0; i < n; ++i) {
            float value = static_cast<float>(
                amplitude * std::sin(2.0 * std::numbers::pi * frequency * (done + i) / rate));
            for (int c = 0; c < channels; ++c)
                buffers[c][i] = value;
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(n));
        drain();
        done += n;
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    while (ogg_stream_flush(&stream, &page) != 0)
        writePage();
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

} // namespace music_test_ogg
