// Where the generators put their results: files under <build>/dat/, and a
// thumbnail of every picture for the contact sheet. Safe to use from the
// generator's worker threads.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "image.h"

namespace assetgen {

// How a picture is meant to be seen, so the contact sheet can show it so.
enum class Backing { Opaque, Alpha, Additive };

struct SheetEntry {
    std::string name;
    int width, height;
    Backing backing;
    Image thumbnail;
};

class AssetSink {
  public:
    explicit AssetSink(std::string datDir) : dir(std::move(datDir)) {}

    // name is relative to dat/ with '/' separators, e.g. "player/playerc0006.png".
    void Png(const std::string& name, const Image& image, Backing backing);
    void Bmp(const std::string& name, const Image& image);
    void Wav(const std::string& name, const std::vector<float>& samples, int rate, int bits = 16);
    void Ogg(const std::string& name, const std::vector<float>& samples, int rate);

    // Every picture written so far, sorted by name.
    std::vector<SheetEntry> Entries();
    // Names of files that failed to write.
    std::vector<std::string> Failures();

  private:
    std::string PathOf(const std::string& name);
    void Record(const std::string& name, const Image& image, Backing backing, bool written);

    std::string dir;
    std::mutex lock;
    std::vector<SheetEntry> entries;
    std::vector<std::string> failures;
};

} // namespace assetgen
