#include "engine/run_log.h"
#include "engine/sound.h"
#include "engine/sound_test_files.h"
#include "platform/audio_analysis.h"

#include "engine/engine_test_dir.h"

using namespace sound_test_files;

namespace {

// The sound system on a null sink mixed by RenderAudio, with the run log on.
class SoundTest : public EngineTestDir {
  protected:
    void SetUp() override {
        EngineTestDir::SetUp();
        MakeDirectory("dat");
        // one second of a 441 Hz tone at 22.05 kHz
        WriteFile("dat/tone.wav",
                  Wave(Format(1, 22050, 16), Samples16(audio_analysis::Tone(441, 22050, 22050, 0.3))));
        TheRunLog.enabled = 1;
        platform::ForceAudioBackend(platform::AudioBackend::ManualNull);
        StartSound();
    }
    void TearDown() override {
        StopSoundSystem();
        platform::ForceAudioBackend(platform::AudioBackend::Automatic);
        TheRunLog.enabled = 0;
        EngineTestDir::TearDown();
    }
    static bool Playing(WaveSound& copy) {
        DWORD status = 0;
        copy.sound->GetBuffer()->GetStatus(&status);
        return (status & DSBSTATUS_PLAYING) != 0;
    }
};

} // namespace

TEST_F(SoundTest, NoDeviceLogsInitFailureAndLeavesSoundsInert) {
    StopSoundSystem();
    WriteFile("autolog.dat", "");
    platform::ForceAudioBackend(platform::AudioBackend::None);
    StartSound();
    EXPECT_EQ(soundReady, 0);
    EXPECT_EQ(TheSoundManager, nullptr);
    std::string log = ReadFile("autolog.dat");
    EXPECT_EQ(log.rfind("loading soundManager: ", 0), 0u);
    EXPECT_EQ(log.substr(log.size() - 14), "\ninit failure\n");
    Sound sound("dat\\tone.wav", 3);
    sound.Play(false, 1.0f);
    sound.StopFirst();
    EXPECT_EQ(sound.copies[0]->sound, nullptr);
    EXPECT_EQ(sound.copies[0]->GetPlayPosition(), 0u);
    EXPECT_EQ(ReadFile("autolog.dat"), log); // nothing more was logged
}

TEST_F(SoundTest, LoadingLogsEachCopyAndMissingFilesAreInert) {
    ASSERT_EQ(soundReady, 1);
    ASSERT_NE(TheListener, nullptr);
    EXPECT_EQ(TheListenerParameters.dwSize, 64u);
    WriteFile("autolog.dat", "");
    {
        Sound sound("dat\\tone.wav", 2);
        EXPECT_EQ(sound.GetName(), std::string("SOUND"));
        EXPECT_EQ(sound.baseFrequency, 22050u);
        std::string log = ReadFile("autolog.dat");
        EXPECT_EQ(log.find("loading sound: dat\\tone.wav\nsound ptr: "), 0u);
        EXPECT_EQ(log.find("sound ptr: 0\n"), std::string::npos);
        EXPECT_NE(log.find("loading sound: dat\\tone.wav\n", 10), std::string::npos); // the second copy
        DS3DBUFFER params{};
        params.dwSize = 64;
        sound.copies[0]->buffer3D->GetAllParameters(&params);
        EXPECT_EQ(params.dwMode, DS3DMODE_NORMAL);
    }
    WriteFile("autolog.dat", "");
    Sound missing("dat\\missing.wav", 1);
    missing.Play(false, 1.0f);
    EXPECT_EQ(ReadFile("autolog.dat"), "loading sound: dat\\missing.wav\nsound ptr: 0\n");
    EXPECT_EQ(missing.baseFrequency, 0u);
}

TEST_F(SoundTest, StereoAndMalformedWavesAreRefused) {
    WriteFile("dat/stereo.wav", Wave(Format(2, 22050, 16), Samples16({1, 2, 3, 4})));
    WriteFile("dat/empty.wav", Wave(Format(1, 22050, 16), ""));
    WaveBuffer* loaded = reinterpret_cast<WaveBuffer*>(1);
    EXPECT_EQ(TheSoundManager->CreateSound("dat\\stereo.wav", &loaded), DSERR_INVALIDPARAM);
    EXPECT_EQ(loaded, nullptr);
    EXPECT_EQ(TheSoundManager->CreateSound("dat\\empty.wav", &loaded), E_FAIL);
    EXPECT_EQ(TheSoundManager->CreateSound(nullptr, &loaded), E_INVALIDARG);
    WaveSound stereo("dat\\stereo.wav");
    EXPECT_EQ(stereo.sound, nullptr);
    EXPECT_EQ(stereo.Play(), CO_E_NOTINITIALIZED);
}

TEST_F(SoundTest, FourthPlayOfThreeCopiesRestartsTheOldestOnly) {
    Sound sound("dat\\tone.wav", 3);
    for (int i = 0; i < 3; ++i) {
        sound.Play(false, 1.0f);
        platform::RenderAudio(4410);
    }
    uint32_t before1 = sound.copies[1]->GetPlayPosition();
    uint32_t before2 = sound.copies[2]->GetPlayPosition();
    sound.Play(false, 1.0f);
    EXPECT_EQ(sound.copies[0]->GetPlayPosition(), 0u);
    EXPECT_EQ(sound.next, 1);
    platform::RenderAudio(4410);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Playing(*sound.copies[i])) << i;
    EXPECT_EQ(sound.copies[0]->GetPlayPosition(), 4410u); // 2205 frames of 16-bit mono
    EXPECT_EQ(sound.copies[1]->GetPlayPosition(), before1 + 4410u);
    EXPECT_EQ(sound.copies[2]->GetPlayPosition(), before2 + 4410u);
}

TEST_F(SoundTest, OneCopyPlayedWhileSoundingRestartsAndStopFirstStopsIt) {
    Sound sound("dat\\tone.wav", 1);
    sound.Play(true, 1.0f);
    platform::RenderAudio(44100 + 4410); // past the end: it loops
    EXPECT_TRUE(Playing(*sound.copies[0]));
    EXPECT_EQ(sound.copies[0]->GetPlayPosition(), 4410u);
    WriteFile("autolog.dat", "");
    sound.Play(false, 1.0f);
    EXPECT_EQ(sound.copies[0]->GetPlayPosition(), 0u);
    sound.StopFirst();
    EXPECT_FALSE(Playing(*sound.copies[0]));
    EXPECT_EQ(ReadFile("autolog.dat"), "playing sound\nstopping sound\n");
}

TEST_F(SoundTest, HalfPitchPlaysAnOctaveLowerAndHalfAsFast) {
    Sound sound("dat\\tone.wav", 1);
    sound.Play(false, 1.0f);
    auto normal = audio_analysis::Channel(platform::RenderAudio(8820), 0);
    EXPECT_NEAR(audio_analysis::DominantFrequency(normal, 44100), 441.0, 0.5);
    EXPECT_EQ(sound.copies[0]->GetPlayPosition(), 8820u);
    sound.Play(false, 0.5f);
    DWORD frequency = 0;
    sound.copies[0]->sound->GetBuffer()->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 11025u);
    auto low = audio_analysis::Channel(platform::RenderAudio(8820), 0);
    EXPECT_NEAR(audio_analysis::DominantFrequency(low, 44100), 220.5, 0.5);
    EXPECT_EQ(sound.copies[0]->GetPlayPosition(), 4410u);
    // a pitch with no frequency falls back on the recorded one
    sound.Play(false, -1.0f);
    sound.copies[0]->sound->GetBuffer()->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 22050u);
}

TEST_F(SoundTest, LostBufferIsRefilledOnTheNextPlay) {
    Sound sound("dat\\tone.wav", 1);
    platform::LoseSoundBuffers();
    sound.Play(false, 1.0f);
    EXPECT_TRUE(Playing(*sound.copies[0]));
    auto out = audio_analysis::Channel(platform::RenderAudio(4410), 0);
    EXPECT_NEAR(audio_analysis::Rms(out), 0.3 / std::sqrt(2.0), 0.01);
}

TEST_F(SoundTest, SectionsLockEqualPartsAndRefuseImpossibleOnes) {
    WaveSound sound("dat\\tone.wav");
    sound.LockSection(1, 2);
    ASSERT_NE(sound.lockedPointer, nullptr);
    EXPECT_EQ(sound.lockedBytes, 22050u);
    std::memset(sound.lockedPointer, 0, sound.lockedBytes);
    sound.UnlockSection();
    EXPECT_EQ(sound.lockedPointer, nullptr);
    sound.LockSection(2, 2);
    EXPECT_EQ(sound.lockedPointer, nullptr);
    sound.LockSection(0, 0);
    EXPECT_EQ(sound.lockedPointer, nullptr);
    sound.PlayLooping();
    platform::RenderAudio(44100 / 2 + 4410);
    EXPECT_NEAR(audio_analysis::Rms(audio_analysis::Channel(platform::RenderAudio(4410), 0)), 0.0, 1e-6);
}

TEST_F(SoundTest, StoppedSystemLoadsNothing) {
    StopSoundSystem();
    EXPECT_EQ(soundReady, 0);
    EXPECT_EQ(TheSoundManager, nullptr);
    EXPECT_EQ(TheListener, nullptr);
    Sound sound("dat\\tone.wav", 1);
    EXPECT_EQ(sound.copies[0]->sound, nullptr);
}
