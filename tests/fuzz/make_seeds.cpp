// Writes the seed corpora under tests/fuzz/seeds: small files of every kind
// the fuzz targets read, made with the asset generator's own writers (and
// libjpeg for JPEG, which the generator does not write, and the game's own
// encoder for replays).
//   fuzz_make_seeds SEEDS_DIR
#include "shell/replay_file.h"
#include "writers.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

std::filesystem::path seeds;

std::string In(const char* target, const char* file) {
    std::filesystem::create_directories(seeds / target);
    return (seeds / target / file).string();
}

void Require(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_make_seeds: cannot write %s\n", what.c_str());
        std::exit(1);
    }
}

void WriteBytes(const std::string& path, const void* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr && std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0, path);
}

void WriteText(const char* target, const char* name, const std::string& text) {
    WriteBytes(In(target, name), text.data(), text.size());
}

assetgen::Image Gradient(int width, int height, float alpha) {
    assetgen::Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.At(x, y) = {float(x) / float(width), float(y) / float(height), 0.5f,
                              alpha < 0 ? float(x + y) / float(width + height) : alpha};
    return image;
}

// Baseline or progressive, RGB or grey, at quality 75.
void WriteJpeg(const std::string& path, int width, int height, int components, bool progressive) {
    jpeg_compress_struct jpeg{};
    jpeg_error_mgr errors{};
    jpeg.err = jpeg_std_error(&errors);
    jpeg_create_compress(&jpeg);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&jpeg, &out, &size);
    jpeg.image_width = static_cast<JDIMENSION>(width);
    jpeg.image_height = static_cast<JDIMENSION>(height);
    jpeg.input_components = components;
    jpeg.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&jpeg);
    jpeg_set_quality(&jpeg, 75, TRUE);
    if (progressive)
        jpeg_simple_progression(&jpeg);
    jpeg_start_compress(&jpeg, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width * components));
    while (jpeg.next_scanline < jpeg.image_height) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<unsigned char>((i * 37 + jpeg.next_scanline * 11) & 0xFF);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&jpeg, rows, 1);
    }
    jpeg_finish_compress(&jpeg);
    WriteBytes(path, out, size);
    jpeg_destroy_compress(&jpeg);
    std::free(out);
}

std::vector<float> Tone(int samples, int rate, double frequency) {
    std::vector<float> tone(static_cast<size_t>(samples));
    for (int i = 0; i < samples; ++i)
        tone[static_cast<size_t>(i)] = static_cast<float>(0.5 * std::sin(2.0 * M_PI * frequency * i / rate));
    return tone;
}

std::string Block(const std::vector<int32_t>& words) {
    std::string bytes;
    for (int32_t word : words)
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((static_cast<uint32_t>(word) >> (8 * i)) & 0xFF);
    return bytes;
}

int32_t FloatBits(float value) {
    int32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

void WriteImages() {
    Require(assetgen::WritePng(In("fuzz_png", "rgba.png"), Gradient(6, 5, -1), false), "rgba.png");
    Require(assetgen::WritePng(In("fuzz_png", "rgb.png"), Gradient(3, 7, 1), true), "rgb.png");
    Require(assetgen::WriteBmp(In("fuzz_bmp", "generated24.bmp"), Gradient(5, 3, 1)), "generated24.bmp");
    WriteJpeg(In("fuzz_jpeg", "baseline.jpg"), 9, 6, 3, false);
    WriteJpeg(In("fuzz_jpeg", "progressive.jpg"), 8, 8, 3, true);
    WriteJpeg(In("fuzz_jpeg", "grey.jpg"), 5, 4, 1, false);
}

void WriteSounds() {
    Require(assetgen::WriteWav(In("fuzz_wav", "generated16.wav"), Tone(40, 22050, 1000), 22050, 16), "wav");
    Require(assetgen::WriteWav(In("fuzz_wav", "generated8.wav"), Tone(60, 11025, 500), 11025, 8), "wav");
    // the game's rate goes straight through, another one is resampled
    Require(assetgen::WriteOgg(In("fuzz_ogg", "direct.ogg"), Tone(3000, 44100, 440), 44100, 0.0f), "ogg");
    Require(assetgen::WriteOgg(In("fuzz_ogg", "resampled.ogg"), Tone(1500, 22050, 300), 22050, 0.0f), "ogg");
}

void WriteTweaks() {
    const std::string header = "**** Pellmark Game Design Tweak system 1.0\n****\n";
    WriteText("fuzz_tweaks", "saved.dat",
              header + "ENTRY speed 2.500000 1.000000 10.000000\nhow fast it goes\n"
                       "ENTRY empty 0.000000 -1.000000 1.000000\n\n"
                       "ENTRYX second -3.250000 nan inf\nsecond entry, same line rules\n");
    WriteText("fuzz_tweaks", "hand_edited.dat",
              "ENTRY a 1 2\nno third number\n  ENTRY b 1e3 -2.5e-2 x\n\tindented description\r\n"
              "ENTRY c 4 5 6 text after the numbers\nENTRY last 7 8 9");
    WriteText("fuzz_tweaks", "long_description.dat",
              "ENTRY long 1 0 2\n" + std::string(140, 'd') + " ENTRY inside 3 2 1\nits own line\n");
}

void WriteStates() {
    WriteText("fuzz_run_log", "running", "0");
    WriteText("fuzz_run_log", "finished", "1");
    WriteText("fuzz_run_log", "signed", " \n-00 trailing");
    WriteText("fuzz_run_log", "text", "yes");
    WriteText("fuzz_game_state", "defaults", Block({1, 1, FloatBits(1.0f), 3, 3, 3, 1}));
    WriteText("fuzz_game_state", "edited", Block({1, 0, FloatBits(0.5f), 6, 1, 0, 2}));
    std::vector<int32_t> progress;
    for (int32_t m = 0; m < 10; ++m)
        progress.insert(progress.end(), {m < 4 ? 1 : 0, 0, 100 * m, m + 3});
    progress.insert(progress.end(), {3, 12, 40, 900, 8, 5400, 1, 0, 1, 0, 0, 7, 95, 2, FloatBits(3.5f), 4});
    WriteText("fuzz_game_state", "progress", Block(progress));
}

void WriteReplay(const char* name, const Replay& replay) {
    const std::vector<uint8_t> bytes = EncodeReplay(replay);
    Require(!bytes.empty(), name);
    WriteBytes(In("fuzz_replay", name), bytes.data(), bytes.size());
}

// A short mission of taps, holds, a mouse glide and a click; a replay without
// events; one event of every kind with extreme values.
void WriteReplays() {
    using Kind = ReplayEventKind;
    Replay mission;
    mission.gameVersion = "0.5.0";
    mission.mission = 2;
    mission.options = Options{1, 1, 1.0f, 3, 3, 3, 1};
    mission.firstGame = 1;
    uint32_t t = 30;
    for (uint32_t tap = 0; tap < 12; ++tap, t += 9 + tap % 5) {
        const uint32_t hold = tap % 4 == 3 ? 40 : 1 + tap % 3;
        mission.events.push_back({t, Kind::KeyDown, 0, 32, -1, -1});
        mission.events.push_back({t, Kind::KeyUp, 32, 0, -1, -1});
        mission.events.push_back({t + hold, Kind::KeyUp, 0, 32, -1, -1});
        t += hold;
    }
    for (int32_t step = 0; step < 6; ++step, ++t) {
        mission.events.push_back({t, Kind::MouseDelta, 0, 0, step, -step});
        mission.events.push_back({t, Kind::Pointer, 0, 0, 400 + step * step, 300 - step * step});
    }
    mission.events.push_back({t, Kind::LeftDown, 0, 0, 436, 264});
    mission.events.push_back({t + 3, Kind::LeftUp, 0, 0, 436, 264});
    mission.events.push_back({t + 20, Kind::KeyDown, 0, 27, -1, -1});
    mission.outcome = ReplayOutcome{2350, 8, t + 20};
    WriteReplay("mission.bfr", mission);

    Replay bare;
    bare.options = Options{0, 0, 0.25f, 0, 0, 0, 0};
    WriteReplay("bare.bfr", bare);

    Replay kinds;
    kinds.gameVersion = "123456789.12345";
    kinds.mission = MissionCount - 1;
    kinds.options = Options{0, 1, 1.75f, 6, 6, 6, 2};
    kinds.outcome = ReplayOutcome{-1, 0x7FFFFFFF, kMaxReplayTicks};
    for (uint8_t kind = 0; kind <= static_cast<uint8_t>(Kind::Pointer); ++kind)
        kinds.events.push_back({kind * 1000u, static_cast<Kind>(kind), static_cast<uint8_t>(255 - kind),
                                -kind, INT32_MIN + kind, INT32_MAX - kind});
    kinds.events.push_back({kMaxReplayTicks, Kind::Pointer, 0, 0, -5, 7});
    WriteReplay("every_kind.bfr", kinds);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds SEEDS_DIR\n");
        return 2;
    }
    seeds = argv[1];
    WriteImages();
    WriteSounds();
    WriteTweaks();
    WriteStates();
    WriteReplays();
    return 0;
}
