// libFuzzer entry: any bytes through the RIFF WAVE reader over a memory file.
// It may refuse the input; it must not crash or read out of bounds, an opened
// file must report a format and a size it can actually deliver, and a rewind
// must give the same bytes again.
#include "engine/wave_file.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WaveFile wave;
    if (FAILED(wave.OpenMemory(data, static_cast<uint32_t>(size)))) {
        if (wave.format != nullptr || wave.GetSize() != 0)
            std::abort();
        return 0;
    }
    if (wave.format == nullptr || wave.GetSize() > size)
        std::abort();
    std::vector<uint8_t> first(wave.GetSize());
    uint32_t total = 0;
    while (total < first.size()) {
        uint32_t read = 0;
        // odd piece sizes cross the reader's buffer at every offset
        if (FAILED(wave.Read(first.data() + total, 97, &read)) || read == 0)
            std::abort();
        total += read;
    }
    uint32_t extra = 0;
    uint8_t byte = 0;
    if (FAILED(wave.Read(&byte, 1, &extra)) || extra != 0)
        std::abort();
    std::vector<uint8_t> again(first.size() + 1);
    uint32_t read = 0;
    if (FAILED(wave.ResetFile()) ||
        FAILED(wave.Read(again.data(), static_cast<uint32_t>(again.size()), &read)) || read != first.size() ||
        (!first.empty() && std::memcmp(again.data(), first.data(), first.size()) != 0))
        std::abort();
    return 0;
}
