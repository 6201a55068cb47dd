#include "asset_sink.h"

#include <algorithm>
#include <filesystem>

#include "writers.h"

namespace assetgen {

namespace {
constexpr int kThumbnailSide = 128;
}

std::string AssetSink::PathOf(const std::string& name) {
    std::filesystem::path path = std::filesystem::path(dir) / name;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    return path.string();
}

void AssetSink::Record(const std::string& name, const Image& image, Backing backing, bool written) {
    Image thumbnail = FitInto(image, kThumbnailSide, kThumbnailSide);
    // Small sprites are shown enlarged with square pixels, so their detail
    // can be judged.
    int factor = std::min(3, kThumbnailSide / std::max(image.width, image.height));
    if (factor > 1)
        thumbnail = Enlarge(image, factor);
    std::lock_guard<std::mutex> guard(lock);
    if (!written)
        failures.push_back(name);
    entries.push_back({name, image.width, image.height, backing, std::move(thumbnail)});
}

void AssetSink::Png(const std::string& name, const Image& image, Backing backing) {
    bool written = WritePng(PathOf(name), image, backing == Backing::Opaque);
    Record(name, image, backing, written);
}

void AssetSink::Bmp(const std::string& name, const Image& image) {
    bool written = WriteBmp(PathOf(name), image);
    Image opaque = image;
    for (Rgba& c : opaque.pixels)
        c.a = 1;
    Record(name, opaque, Backing::Additive, written);
}

void AssetSink::Wav(const std::string& name, const std::vector<float>& samples, int rate, int bits) {
    if (!WriteWav(PathOf(name), samples, rate, bits)) {
        std::lock_guard<std::mutex> guard(lock);
        failures.push_back(name);
    }
}

void AssetSink::Ogg(const std::string& name, const std::vector<float>& samples, int rate) {
    if (!WriteOgg(PathOf(name), samples, rate, 0.5f)) {
        std::lock_guard<std::mutex> guard(lock);
        failures.push_back(name);
    }
}

std::vector<SheetEntry> AssetSink::Entries() {
    std::lock_guard<std::mutex> guard(lock);
    std::vector<SheetEntry> sorted = entries;
    std::sort(sorted.begin(), sorted.end(),
              [](const SheetEntry& a, const SheetEntry& b) { return a.name < b.name; });
    return sorted;
}

std::vector<std::string> AssetSink::Failures() {
    std::lock_guard<std::mutex> guard(lock);
    return failures;
}

} // namespace assetgen
