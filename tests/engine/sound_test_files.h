// WAV images for the sound tests, built chunk by chunk so each case can break
// exactly one thing.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace sound_test_files {

inline std::string Word(uint32_t value, int bytes = 4) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

inline std::string Chunk(const std::string& id, const std::string& data) {
    std::string out = id + Word(static_cast<uint32_t>(data.size())) + data;
    if (data.size() % 2 == 1)
        out += '\0';
    return out;
}

inline std::string Format(int channels, uint32_t rate, int bits, int tag = 1) {
    int align = channels * bits / 8;
    return Word(tag, 2) + Word(channels, 2) + Word(rate) + Word(rate * align) + Word(align, 2) +
           Word(bits, 2);
}

inline std::string Wave(const std::string& format, const std::string& data) {
    return Chunk("RIFF", "WAVE" + Chunk("fmt ", format) + Chunk("data", data));
}

inline std::string Samples16(const std::vector<int16_t>& samples) {
    std::string out(samples.size() * 2, '\0');
    std::memcpy(out.data(), samples.data(), out.size());
    return out;
}

} // namespace sound_test_files
