// Inputs found by fuzzing the music stream's decoding.
#include "fuzz/ogg_pages.h"
#include "shell/music_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

// dat\blank.wav of one second of 8-bit mono silence at 44.1 kHz, and the
// sound system on a null sink mixed tick by tick.
class MusicStreamFuzzTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        root = std::filesystem::temp_directory_path() / ("backfire_music_fuzz_" + std::to_string(getpid()));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "dat");
        std::filesystem::current_path(root);
        const std::string format =
            std::string("\1\0\1\0", 4) + Word(44100) + Word(44100) + std::string("\1\0\x08\0", 4);
        Write("dat/blank.wav", "RIFF" + Word(36 + 44100) + "WAVEfmt " + Word(16) + format + "data" +
                                   Word(44100) + std::string(44100, static_cast<char>(128)));
        platform::ForceAudioBackend(platform::AudioBackend::ManualNull);
        StartSound();
        stream = std::make_unique<MusicStream>();
    }
    void TearDown() override {
        stream.reset();
        StopSoundSystem();
        platform::ForceAudioBackend(platform::AudioBackend::Automatic);
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(root);
    }
    static std::string Word(uint32_t value) {
        return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                static_cast<char>(value >> 24)};
    }
    static void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }

    std::unique_ptr<MusicStream> stream;

  private:
    std::filesystem::path previous;
    std::filesystem::path root;
};

// A seed of the fuzz corpus (a short tone from the asset generator's Ogg
// writer) with two bytes of one codebook's codeword lengths changed, as the
// fuzzer found it, and the page checksums made right again.
std::string WithBrokenCodebook() {
    std::ifstream in(BACKFIRE_SOURCE_DIR "/tests/fuzz/seeds/fuzz_ogg/direct.ogg", std::ios::binary);
    std::string ogg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(ogg.size(), 3830u);
    EXPECT_EQ(ogg.substr(760, 2), "\xb0\xb3") << "the seed changed";
    ogg.replace(760, 2, "\x50\x44");
    ogg_pages::FixChecksums(ogg);
    return ogg;
}

} // namespace

// The decoder cannot build the broken codebook: opening the file works, the
// first read reports the failed set-up, and a second read decodes with the
// tables left half built and divides by zero. The stream must stay silent
// refill after refill instead.
TEST_F(MusicStreamFuzzTest, CodebookTheDecoderCannotBuildLeavesTheStreamSilent) {
    Write("dat/broken.ogg", WithBrokenCodebook());
    EXPECT_EQ(stream->Play("dat\\broken.ogg"), DS_OK);
    EXPECT_NE(stream->file, nullptr);
    for (int tick = 0; tick < 120; ++tick) { // three seconds: three refills of each half
        for (int16_t sample : platform::RenderAudio(1146))
            ASSERT_EQ(sample, 0);
        stream->Tick();
    }
    stream->Stop();
    EXPECT_EQ(stream->file, nullptr);
}
