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

} // namespace

bool WriteBmp(const std::string& path, const Image& image) {
    constexpr uint32_t kHeaderBytes = 14 + 40;
    uint32_t stride = (uint32_t(image.width) * 3 + 3) & ~3u; // rows pad to 4 bytes
    uint32_t dataBytes = stride * uint32_t(image.height);
    std::vector<uint8_t> out;
    out.reserve(kHeaderBytes + dataBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, kHeaderBytes + dataBytes);
    Put32(out, 0);
    Put32(out, kHeaderBytes);
    Put32(out, 40); // BITMAPINFOHEADER
    Put32(out, uint32_t(image.width));
    Put32(out, uint32_t(image.height)); // positive: bottom row first
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0); // BI_RGB
    Put32(out, dataBytes);
    Put32(out, 2835); // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    std::vector<uint8_t> rgb = ToBytes(image, false);
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = rgb.data() + size_t(y) * size_t(image.width) * 3;
        for (int x = 0; x < image.width; ++x) {
            out.push_back(row[x * 3 + 2]);
            out.push_back(row[x * 3 + 1]);
            out.push_back(row[x * 3]);
        }
        for (uint32_t pad = uint32_t(image.width) * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    return file && std::fwrite(out.data(), 1, out.size(), file.get()) == out.size() &&
           std::fflush(file.get()) == 0;
}

} // namespace assetgen
