// libFuzzer entry: bytes through the RIFF WAVE reader, once over a memory file
// and once over a file on disk (the game's way). It may refuse the input; it
// must not crash or read out of bounds, both ways must agree, an opened file
// must report a format and a size it can actually deliver, and a rewind must
// give the same bytes again.
#include "engine/wave_file.h"
#include "fuzz_scratch.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

size_t FormatBytes(const WAVEFORMATEX& format) {
    return format.wFormatTag == WAVE_FORMAT_PCM ? 16 : 18 + size_t{format.cbSize};
}

// Every sample byte, read in odd pieces that cross the reader's buffer at
// every offset; aborts when the reader delivers less than it announced.
std::vector<uint8_t> ReadAll(WaveFile& wave) {
    std::vector<uint8_t> bytes(wave.GetSize());
    uint32_t total = 0;
    while (total < bytes.size()) {
        uint32_t read = 0;
        if (FAILED(wave.Read(bytes.data() + total, 97, &read)) || read == 0)
            std::abort();
        total += read;
    }
    uint32_t extra = 0;
    uint8_t byte = 0;
    if (FAILED(wave.Read(&byte, 1, &extra)) || extra != 0)
        std::abort();
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnterScratchDirectory();
    fuzz::WriteWhole("sound.wav", data, size);
    WaveFile wave;
    WaveFile onDisk;
    const bool opened = SUCCEEDED(wave.OpenMemory(data, static_cast<uint32_t>(size)));
    if (opened != SUCCEEDED(onDisk.Open("sound.wav")))
        std::abort();
    if (!opened) {
        if (wave.format != nullptr || wave.GetSize() != 0 || onDisk.format != nullptr ||
            onDisk.GetSize() != 0)
            std::abort();
        return 0;
    }
    if (wave.format == nullptr || onDisk.format == nullptr || wave.GetSize() > size ||
        wave.GetSize() != onDisk.GetSize() || FormatBytes(*wave.format) != FormatBytes(*onDisk.format) ||
        std::memcmp(wave.format, onDisk.format, FormatBytes(*wave.format)) != 0)
        std::abort();
    const std::vector<uint8_t> first = ReadAll(wave);
    if (ReadAll(onDisk) != first)
        std::abort();
    std::vector<uint8_t> again(first.size() + 1);
    uint32_t read = 0;
    if (FAILED(wave.ResetFile()) ||
        FAILED(wave.Read(again.data(), static_cast<uint32_t>(again.size()), &read)) || read != first.size() ||
        (!first.empty() && std::memcmp(again.data(), first.data(), first.size()) != 0))
        std::abort();
    return 0;
}
