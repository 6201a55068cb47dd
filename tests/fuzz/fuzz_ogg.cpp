// libFuzzer entry: bytes as an Ogg Vorbis music file through the music stream,
// as the game plays it: Play (which opens the decoder and does the first
// fill), a few ticks of refills with the mixer running, then Stop. A file the
// decoder refuses leaves the stream stopped; any other must play and stop
// cleanly, and no fill may hang (libFuzzer's -timeout reports a hang).
//
// Ogg pages carry a checksum, so almost every mutation would only make the
// decoder skip a page; the checksums are recomputed first (ogg_pages.h),
// letting mutated pages reach the Vorbis decoder.
#include "fuzz_scratch.h"
#include "ogg_pages.h"
#include "shell/music_stream.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// dat\blank.wav as the game ships it (8-bit mono at 44.1 kHz), a fifth of a
// second long so every input costs little.
void WriteBlankWave() {
    const uint32_t samples = 8820;
    std::vector<uint8_t> wave;
    auto put = [&wave](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            wave.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    wave.insert(wave.end(), {'R', 'I', 'F', 'F'});
    put(36 + samples, 4);
    wave.insert(wave.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(44100, 4);
    put(44100, 4);
    put(1, 2);
    put(8, 2);
    wave.insert(wave.end(), {'d', 'a', 't', 'a'});
    put(samples, 4);
    wave.insert(wave.end(), samples, 128);
    std::filesystem::create_directories("dat");
    fuzz::WriteWhole("dat/blank.wav", wave.data(), wave.size());
}

MusicStream* SharedStream() {
    static MusicStream* stream = [] {
        fuzz::EnterScratchDirectory();
        WriteBlankWave();
        platform::ForceAudioBackend(platform::AudioBackend::ManualNull);
        StartSound();
        if (!soundReady)
            std::abort();
        auto* made = new MusicStream;
        if (!made->buffer->sound)
            std::abort();
        return made;
    }();
    return stream;
}

} // namespace

// libvorbisfile loses 8 bytes of its own when ov_open fails with a read error
// on some broken files (ov_clear cannot free them either); not ours to mend.
// Its frames carry no frame pointers, so only the library itself can be
// named. A decoder never cleared still shows: most of its memory comes from
// libogg and libvorbis.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libvorbisfile.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MusicStream* stream = SharedStream();
    std::vector<uint8_t> bytes(data, data + size);
    ogg_pages::FixChecksums(bytes);
    fuzz::WriteWhole("music.ogg", bytes.data(), bytes.size());
    const HRESULT played = stream->Play("music.ogg");
    if (FAILED(played) != (stream->file == nullptr))
        std::abort();
    // 26 ms of output a tick: four ticks pass both halves at least once
    for (int tick = 0; tick < 4; ++tick) {
        platform::RenderAudio(1146);
        stream->Tick();
    }
    stream->Stop();
    if (stream->file != nullptr)
        std::abort();
    return 0;
}
