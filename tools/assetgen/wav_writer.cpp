#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "writers.h"

namespace assetgen {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

bool WriteWav(const std::string& path, const std::vector<float>& samples, int rate, int bits) {
    uint32_t bytesPerSample = bits == 8 ? 1 : 2;
    uint32_t dataBytes = uint32_t(samples.size()) * bytesPerSample;
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, 4 + 8 + 16 + 8 + dataBytes + (dataBytes & 1));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, uint32_t(rate));
    Put32(out, uint32_t(rate) * bytesPerSample);
    Put16(out, bytesPerSample);
    Put16(out, bytesPerSample * 8);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (float s : samples) {
        float v = std::clamp(s, -1.0f, 1.0f);
        if (bits == 8)
            out.push_back(uint8_t(std::lround(v * 127.0f) + 128));
        else
            Put16(out, uint32_t(uint16_t(int16_t(std::lround(v * 32767.0f)))));
    }
    if (dataBytes & 1)
        out.push_back(0); // chunks are word aligned
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    return file && std::fwrite(out.data(), 1, out.size(), file.get()) == out.size() &&
           std::fflush(file.get()) == 0;
}

} // namespace assetgen
