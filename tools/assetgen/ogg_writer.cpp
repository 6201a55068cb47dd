#include <vorbis/vorbisenc.h>

#include <cstdio>
#include <memory>

#include "writers.h"

namespace assetgen {

namespace {

constexpr int kSerialNumber = 0x42465245;
constexpr int kBlock = 1024;

bool WritePage(FILE* file, const ogg_page& page) {
    return std::fwrite(page.header, 1, size_t(page.header_len), file) == size_t(page.header_len) &&
           std::fwrite(page.body, 1, size_t(page.body_len), file) == size_t(page.body_len);
}

} // namespace

bool WriteOgg(const std::string& path, const std::vector<float>& samples, int rate, float quality) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file)
        return false;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "backfire assetgen");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, kSerialNumber);
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    bool ok = true;
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        ok = ok && WritePage(file.get(), page);
    size_t position = 0;
    bool ended = false, endSent = false;
    while (!ended) {
        size_t count = std::min(size_t(kBlock), samples.size() - position);
        if (count == 0) {
            if (endSent) {
                while (ogg_stream_flush(&stream, &page) != 0)
                    ok = ok && WritePage(file.get(), page);
                break;
            }
            vorbis_analysis_wrote(&dsp, 0);
            endSent = true;
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, int(count));
            for (size_t i = 0; i < count; ++i)
                buffer[0][i] = samples[position + i];
            vorbis_analysis_wrote(&dsp, int(count));
            position += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    ok = ok && WritePage(file.get(), page);
                    if (ogg_page_eos(&page))
                        ended = true;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return ok && std::fflush(file.get()) == 0;
}

} // namespace assetgen
