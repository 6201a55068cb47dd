// The SDL audio output when the sound device is missing or fails while the
// game runs: the game must go on silently, with sounds still starting,
// advancing and ending in step with the clock.
#include "environment_variable.h"
#include "platform/dsound/audio_output.h"
#include "platform/dsound/dsound.h"
#include "platform/os/run_mode.h"
#include "platform/win32/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// Picks the SDL audio driver for the outputs a test opens, and keeps the
// device outputs in reach (not the headless null sink).
class AudioDeviceFault : public ::testing::Test {
  protected:
    void SetUp() override {
        wasHeadless = platform::Headless();
        platform::UseHeadless(false);
        platform::ForceAudioBackend(platform::AudioBackend::Automatic);
    }
    void TearDown() override {
        test_environment::Unset("SDL_AUDIODRIVER");
        test_environment::Unset("SDL_DISKAUDIOFILE");
        platform::UseRealClock();
        platform::UseHeadless(wasHeadless);
    }
    static void UseDriver(const char* driver) { test_environment::Set("SDL_AUDIODRIVER", driver); }
    static constexpr const char* kNoFailingFile = "Windows has no file that refuses every write (/dev/full)";
    // SDL's file-writing driver on a file that refuses every write: the device
    // opens and then fails at its first write, as an unplugged one does.
    static void UseFailingDevice() {
        UseDriver("disk");
        test_environment::Set("SDL_DISKAUDIOFILE", "/dev/full");
    }

    // Calls `step` until `done` holds, for at most ten seconds of real time
    // (the device fails on SDL's own audio thread).
    template <typename Step, typename Done> static bool Eventually(Step step, Done done) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            step();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    bool wasHeadless = false;
};

WAVEFORMATEX MonoPcm16(DWORD rate) {
    return WAVEFORMATEX{WAVE_FORMAT_PCM, 1, rate, rate * 2, 2, 16, 0};
}

} // namespace

TEST_F(AudioDeviceFault, NoAudioDriverMeansNoDeviceAndNoDirectSound) {
    UseDriver("no-such-driver");
    platform::Mixer mixer(22050);
    EXPECT_EQ(platform::OpenSdlOutput(mixer, 22050), nullptr);

    IDirectSound8* ds = reinterpret_cast<IDirectSound8*>(1);
    EXPECT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(ds, nullptr);
}

TEST_F(AudioDeviceFault, WorkingDeviceStaysADevice) {
    UseDriver("dummy");
    platform::Mixer mixer(22050);
    auto output = platform::OpenSdlOutput(mixer, 22050);
    ASSERT_NE(output, nullptr);
    for (int i = 0; i < 20; ++i) {
        output->Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(output->IsNull());
    EXPECT_TRUE(output->Start(44100));
    output->Pump();
    EXPECT_FALSE(output->IsNull());
    EXPECT_EQ(mixer.OutputRate(), 44100u);
}

TEST_F(AudioDeviceFault, DeviceThatFailsBecomesASilentSinkThatKeepsItsRate) {
#ifdef _WIN32
    GTEST_SKIP() << kNoFailingFile;
#endif
    UseFailingDevice();
    platform::Mixer mixer(22050);
    auto output = platform::OpenSdlOutput(mixer, 22050);
    ASSERT_NE(output, nullptr) << "the disk driver opens /dev/full";
    EXPECT_TRUE(Eventually([&] { output->Pump(); }, [&] { return output->IsNull(); }));
    // a later format change is taken, silently
    EXPECT_TRUE(output->Start(44100));
    EXPECT_EQ(mixer.OutputRate(), 44100u);
    EXPECT_TRUE(output->IsNull());
}

TEST_F(AudioDeviceFault, SoundsStillPlayToTheirEndAfterTheDeviceFailed) {
#ifdef _WIN32
    GTEST_SKIP() << kNoFailingFile;
#endif
    UseFailingDevice();
    platform::UseVirtualClock(1000);
    IDirectSound8* ds = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
    ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);

    // one second of sound: far more than the device takes before it fails
    const WAVEFORMATEX format = MonoPcm16(22050);
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_CTRLVOLUME, 44100, 0, const_cast<WAVEFORMATEX*>(&format),
                      GUID_NULL};
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);

    DWORD status = DSBSTATUS_PLAYING;
    DWORD cursor = 0;
    EXPECT_TRUE(Eventually([&] { platform::AdvanceVirtualClock(50); },
                           [&] { return buffer->GetStatus(&status) == DS_OK && !(status & DSBSTATUS_PLAYING); }));
    EXPECT_EQ(buffer->GetCurrentPosition(&cursor, nullptr), DS_OK);
    EXPECT_EQ(cursor, 0u); // a finished sound rewinds

    // and a looping one keeps moving with the clock
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    platform::AdvanceVirtualClock(250);
    EXPECT_EQ(buffer->GetCurrentPosition(&cursor, nullptr), DS_OK);
    EXPECT_NEAR(static_cast<double>(cursor), 0.25 * 44100, 2 * 2205);
    buffer->Release();
    ds->Release();
}
