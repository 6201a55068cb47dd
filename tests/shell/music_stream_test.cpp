#include "environment_variable.h"
#include "fuzz/ogg_pages.h"
#include "platform/audio_analysis.h"
#include "shell/music_stream.h"
#include "shell/music_test_ogg.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using audio_analysis::Channel;

constexpr uint32_t kTickFrames = 1146; // 26 ms of output at 44.1 kHz

std::string Word(uint32_t value, int bytes = 4) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// A working directory with dat\blank.wav (one second of 8-bit mono silence
// at 22.05 kHz) and the sound system on a null sink mixed tick by tick.
class MusicStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        root = std::filesystem::temp_directory_path() /
               ("backfire_music_" + std::to_string(test_environment::ProcessId()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "dat");
        std::filesystem::current_path(root);
        std::string format = Word(1, 2) + Word(1, 2) + Word(22050) + Word(22050) + Word(1, 2) + Word(8, 2);
        std::string data(22050, static_cast<char>(128));
        Write("dat/blank.wav", "RIFF" + Word(4 + 24 + 8 + 22050) + "WAVE" + "fmt " + Word(16) + format +
                                   "data" + Word(22050) + data);
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
    static void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    // Mixes and ticks like the main loop; returns the left channel.
    std::vector<float> Run(int ticks) {
        std::vector<float> out;
        for (int i = 0; i < ticks; ++i) {
            auto part = Channel(platform::RenderAudio(kTickFrames), 0);
            out.insert(out.end(), part.begin(), part.end());
            stream->Tick();
        }
        return out;
    }
    // No gap (no 10 ms stretch much quieter than the whole) and no click.
    static void ExpectSeamless(const std::vector<float>& x, double frequency, float largestStep) {
        double whole = audio_analysis::Rms(x);
        EXPECT_GT(whole, 0.1);
        double quietest = whole;
        for (size_t from = 0; from + 441 <= x.size(); from += 441)
            quietest = std::min(quietest, audio_analysis::Rms(x, from, 441));
        EXPECT_GT(quietest, 0.8 * whole);
        EXPECT_LT(audio_analysis::LargestStep(x), largestStep);
        EXPECT_NEAR(audio_analysis::DominantFrequency(x, 44100.0), frequency, 1.0);
    }

    std::unique_ptr<MusicStream> stream;

  private:
    std::filesystem::path previous;
    std::filesystem::path root;
};

// 450 Hz has exactly 49 samples a period at 22.05 kHz, so whole-period files loop without a seam.
constexpr double kTone = 450.0;

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

TEST_F(MusicStreamTest, StreamsWithoutGapsAcrossHalvesAndTheLoopPoint) {
    Write("dat/song.ogg", music_test_ogg::Encode(1, 22050, 22050 * 3 / 2, kTone, 0.5)); // 1.5 s
    ASSERT_EQ(stream->Play("dat\\song.ogg"), DS_OK);
    EXPECT_NE(stream->file, nullptr);
    auto out = Run(160); // 4.2 s: eight half-buffer refills and two loops
    // a sine of amplitude 0.5 moves at most 0.032 a sample at 44.1 kHz
    ExpectSeamless(out, kTone, 0.06f);
}

TEST_F(MusicStreamTest, FileShorterThanHalfTheBufferRepeatsInsideOneRefill) {
    Write("dat/short.ogg", music_test_ogg::Encode(1, 22050, 49 * 40, kTone, 0.5)); // 89 ms
    ASSERT_EQ(stream->Play("dat\\short.ogg"), DS_OK);
    ExpectSeamless(Run(80), kTone, 0.06f);
}

TEST_F(MusicStreamTest, OtherRatesAndChannelCountsKeepPitchAndSpeed) {
    Write("dat/wide.ogg", music_test_ogg::Encode(2, 44100, 44100, kTone, 0.5)); // 1 s of stereo at 44.1 kHz
    ASSERT_EQ(stream->Play("dat\\wide.ogg"), DS_OK);
    ExpectSeamless(Run(100), kTone, 0.06f);
    Write("dat/narrow.ogg", music_test_ogg::Encode(1, 11025, 11025, kTone, 0.5));
    ASSERT_EQ(stream->Play("dat\\narrow.ogg"), DS_OK);
    ExpectSeamless(Run(100), kTone, 0.06f);
}

TEST_F(MusicStreamTest, PlayOnAPlayingStreamRestartsWithTheNewFile) {
    Write("dat/a.ogg", music_test_ogg::Encode(1, 22050, 22050, kTone, 0.5));
    Write("dat/b.ogg", music_test_ogg::Encode(1, 22050, 22050, 2 * kTone, 0.5));
    stream->Play("dat\\a.ogg");
    Run(30);
    EXPECT_GT(stream->buffer->GetPlayPosition(), 0u);
    ASSERT_EQ(stream->Play("dat\\b.ogg"), DS_OK);
    EXPECT_EQ(stream->buffer->GetPlayPosition(), 0u);
    EXPECT_EQ(stream->nextHalf, 1);
    ExpectSeamless(Run(30), 2 * kTone, 0.12f);
}

TEST_F(MusicStreamTest, FadeFromNearlyFullStopsAfterOneHundredTicks) {
    Write("dat/song.ogg", music_test_ogg::Encode(1, 22050, 22050, kTone, 0.5));
    stream->Play("dat\\song.ogg");
    Run(5);
    double loud = audio_analysis::Rms(Run(5));
    stream->volume = 0.999f;
    Run(90);
    EXPECT_LT(audio_analysis::Rms(Run(5)), 0.1 * loud); // near -30 dB by now
    EXPECT_NE(stream->file, nullptr);
    Run(4); // the 99th tick of the fade
    EXPECT_NE(stream->file, nullptr);
    Run(1);
    EXPECT_EQ(stream->file, nullptr);
    EXPECT_EQ(audio_analysis::Rms(Run(3)), 0.0);

    // a stopped stream's Tick does nothing, even below full volume
    float volume = stream->volume;
    uint32_t position = stream->buffer->GetPlayPosition();
    stream->Tick();
    EXPECT_EQ(stream->volume, volume);
    EXPECT_EQ(stream->buffer->GetPlayPosition(), position);
    ASSERT_EQ(stream->Play("dat\\song.ogg"), DS_OK); // and can start again at full volume
    EXPECT_EQ(stream->volume, 1.0f);
    EXPECT_GT(audio_analysis::Rms(Run(5)), 0.8 * loud);
}

TEST_F(MusicStreamTest, BrokenEmptyOrMissingFilesLeaveTheStreamSilent) {
    std::string song = music_test_ogg::Encode(1, 22050, 22050, kTone, 0.5);
    Write("dat/garbage.ogg", std::string(5000, 'x'));
    Write("dat/cut.ogg", song.substr(0, 60));
    Write("dat/empty.ogg", music_test_ogg::Encode(1, 22050, 0, kTone, 0.5));
    for (const char* name : {"dat\\garbage.ogg", "dat\\cut.ogg", "dat\\empty.ogg", "dat\\missing.ogg"}) {
        stream->Play(name); // must return: the first fill of a stream with no audio ends
        EXPECT_EQ(audio_analysis::Rms(Run(40)), 0.0) << name;
        stream->Stop();
        EXPECT_EQ(stream->file, nullptr) << name;
    }
    EXPECT_EQ(stream->Play("dat\\garbage.ogg"), E_FAIL);
}

// The decoder cannot build the broken codebook: opening the file works, the
// first read reports the failed set-up, and a second read would decode with
// the tables left half built and divide by zero. The stream stays silent
// refill after refill instead.
TEST_F(MusicStreamTest, CodebookTheDecoderCannotBuildLeavesTheStreamSilent) {
    Write("dat/broken.ogg", WithBrokenCodebook());
    EXPECT_EQ(stream->Play("dat\\broken.ogg"), DS_OK);
    EXPECT_NE(stream->file, nullptr);
    for (int tick = 0; tick < 120; ++tick) { // three seconds: three refills of each half
        for (int16_t sample : platform::RenderAudio(kTickFrames))
            ASSERT_EQ(sample, 0);
        stream->Tick();
    }
    stream->Stop();
    EXPECT_EQ(stream->file, nullptr);
}

TEST_F(MusicStreamTest, WithoutSoundSystemEverythingIsANoOp) {
    stream.reset();
    StopSoundSystem();
    platform::ForceAudioBackend(platform::AudioBackend::None);
    StartSound();
    stream = std::make_unique<MusicStream>();
    Write("dat/song.ogg", music_test_ogg::Encode(1, 22050, 22050, kTone, 0.5));
    EXPECT_EQ(stream->Play("dat\\song.ogg"), 0);
    EXPECT_EQ(stream->file, nullptr);
    stream->volume = 0.5f;
    stream->Tick();
    stream->Stop();
    EXPECT_EQ(stream->volume, 0.5f);
}
