#include "environment_variable.h"
#include "platform/audio_analysis.h"
#include "platform/dsound/dsound.h"
#include "platform/win32/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

WAVEFORMATEX Pcm(WORD channels, DWORD rate, WORD bits) {
    WORD align = static_cast<WORD>(channels * bits / 8);
    return WAVEFORMATEX{WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
}

// A device on the null sink mixed only by RenderAudio, at 44.1 kHz.
class DirectSoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::ForceAudioBackend(platform::AudioBackend::ManualNull);
        ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
        ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
        DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, GUID_NULL};
        IDirectSoundBuffer* primary = nullptr;
        ASSERT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
        WAVEFORMATEX format = Pcm(2, 44100, 16);
        ASSERT_EQ(primary->SetFormat(&format), DS_OK);
        primary->Release();
    }
    void TearDown() override {
        ds->Release();
        platform::ForceAudioBackend(platform::AudioBackend::Automatic);
    }

    HRESULT Create(const WAVEFORMATEX& format, DWORD bytes, IDirectSoundBuffer** buffer, DWORD flags = 0xB8) {
        DSBUFFERDESC desc{sizeof(DSBUFFERDESC), flags, bytes, 0, &format, DS3DALG_NO_VIRTUALIZATION};
        return ds->CreateSoundBuffer(&desc, buffer, nullptr);
    }
    IDirectSoundBuffer* Load(const std::vector<int16_t>& samples, DWORD rate) {
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(Create(Pcm(1, rate, 16), static_cast<DWORD>(samples.size() * 2), &buffer), DS_OK);
        void* data = nullptr;
        DWORD bytes = 0;
        EXPECT_EQ(buffer->Lock(0, 0, &data, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
        std::memcpy(data, samples.data(), bytes);
        EXPECT_EQ(buffer->Unlock(data, bytes, nullptr, 0), DS_OK);
        return buffer;
    }

    IDirectSound8* ds = nullptr;
};

} // namespace

TEST(DirectSound, NoDeviceFailsCreation) {
    platform::ForceAudioBackend(platform::AudioBackend::None);
    IDirectSound8* ds = reinterpret_cast<IDirectSound8*>(1);
    EXPECT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(ds, nullptr);
    EXPECT_EQ(platform::RenderAudio(10).size(), 0u);
    platform::ForceAudioBackend(platform::AudioBackend::Automatic);
    EXPECT_EQ(DirectSoundCreate8(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundTest, CooperativeLevelAndPrimaryFormatDecideWhatIsAllowed) {
    EXPECT_EQ(platform::AudioOutputRate(), 44100u);
    EXPECT_EQ(ds->SetCooperativeLevel(nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(ds->SetCooperativeLevel(nullptr, 5), DSERR_INVALIDPARAM);
    ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D, 0, 0, nullptr, GUID_NULL};
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX format = Pcm(2, 22050, 16);
    EXPECT_EQ(primary->SetFormat(&format), DSERR_PRIOLEVELNEEDED);
    ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
    format.nAvgBytesPerSec = 1;
    EXPECT_EQ(primary->SetFormat(&format), DSERR_BADFORMAT);
    format = Pcm(2, 22050, 16);
    EXPECT_EQ(primary->SetFormat(&format), DS_OK);
    EXPECT_EQ(platform::AudioOutputRate(), 22050u);
    void* p = nullptr;
    DWORD n = 0;
    EXPECT_NE(primary->Lock(0, 4, &p, &n, nullptr, nullptr, 0), DS_OK);
    primary->Release();
    desc.dwBufferBytes = 100;
    EXPECT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundTest, SecondaryBuffersAcceptOnlyPlayablePcm) {
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(Create(Pcm(2, 22050, 16), 1000, &buffer), DSERR_INVALIDPARAM); // stereo in a 3D buffer
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(Create(Pcm(1, 22050, 24), 1000, &buffer), DSERR_BADFORMAT);
    EXPECT_EQ(Create(Pcm(1, 50, 8), 1000, &buffer), DSERR_BADFORMAT);
    WAVEFORMATEX misaligned = Pcm(1, 22050, 16);
    misaligned.nBlockAlign = 4;
    EXPECT_EQ(Create(misaligned, 1000, &buffer), DSERR_BADFORMAT);
    WAVEFORMATEX compressed = Pcm(1, 22050, 16);
    compressed.wFormatTag = 2;
    EXPECT_EQ(Create(compressed, 1000, &buffer), DSERR_BADFORMAT);
    EXPECT_EQ(Create(Pcm(1, 22050, 16), 2, &buffer), DSERR_INVALIDPARAM);
    ASSERT_EQ(Create(Pcm(2, 22050, 16), 1000, &buffer, DSBCAPS_CTRLVOLUME), DS_OK); // stereo without 3D
    EXPECT_EQ(buffer->SetFrequency(11025), DSERR_CONTROLUNAVAIL);
    void* object = nullptr;
    EXPECT_EQ(buffer->QueryInterface(IID_IDirectSound3DBuffer, &object), DSERR_NOINTERFACE);
    buffer->Release();
}

TEST_F(DirectSoundTest, LockWrapsIntoTheSecondRegionAndReachesTheMixerAtUnlock) {
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(Create(Pcm(1, 44100, 16), 8, &buffer), DS_OK);
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    EXPECT_EQ(buffer->Lock(6, 4, &first, &firstBytes, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(8, 2, &first, &firstBytes, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(buffer->Lock(6, 4, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
    EXPECT_EQ(firstBytes, 2u);
    EXPECT_EQ(secondBytes, 2u);
    int16_t value = 12000;
    std::memcpy(first, &value, 2);
    std::memcpy(second, &value, 2);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(platform::RenderAudio(4)[0], 0); // written but not yet unlocked
    int16_t foreign[2];
    EXPECT_EQ(buffer->Unlock(foreign, 2, nullptr, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(buffer->Unlock(first, firstBytes, second, secondBytes), DS_OK);
    auto out = platform::RenderAudio(4);
    EXPECT_EQ(out[0], 12000);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[6], 12000);
    buffer->Release();
}

TEST_F(DirectSoundTest, PlayCursorMovesWithWhatWasMixed) {
    IDirectSoundBuffer* buffer = Load(std::vector<int16_t>(1000, 100), 22050);
    DWORD play = 1, write = 1, status = 0;
    buffer->SetCurrentPosition(201); // rounds down to a frame
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 200u);
    EXPECT_EQ(write, play);
    buffer->Play(0, 0, 0);
    platform::RenderAudio(200); // 100 source frames at half the output rate
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 400u);
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING);
    buffer->Play(0, 0, DSBPLAY_LOOPING); // playing again keeps the cursor
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 400u);
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    buffer->Play(0, 0, 0);
    platform::RenderAudio(2000);
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(buffer->SetCurrentPosition(2000), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Play(1, 0, 0), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(DirectSoundTest, FrequencyAndVolumeStayInTheirRanges) {
    IDirectSoundBuffer* buffer = Load(std::vector<int16_t>(100, 0), 22050);
    DWORD frequency = 0;
    EXPECT_EQ(buffer->SetFrequency(99), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetFrequency(200001), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetFrequency(11025), DS_OK);
    buffer->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 11025u);
    EXPECT_EQ(buffer->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
    buffer->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 22050u);
    EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetVolume(-10000), DS_OK);
    buffer->Release();
}

TEST_F(DirectSoundTest, ThreeDInterfacesStoreTheirRecords) {
    IDirectSoundBuffer* buffer = Load(std::vector<int16_t>(100, 0), 22050);
    IDirectSound3DBuffer* buffer3D = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&buffer3D)), DS_OK);
    EXPECT_EQ(buffer->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&buffer3D)),
              DSERR_NOINTERFACE);
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&buffer3D)), DS_OK);
    buffer->Release(); // the 3D interface keeps the buffer alive
    DS3DBUFFER params{};
    EXPECT_EQ(buffer3D->GetAllParameters(&params), DSERR_INVALIDPARAM);
    params.dwSize = 64;
    ASSERT_EQ(buffer3D->GetAllParameters(&params), DS_OK);
    EXPECT_EQ(params.dwMode, DS3DMODE_NORMAL);
    params.vPosition = {5.0f, 0.0f, 0.0f};
    params.dwMode = DS3DMODE_DISABLE;
    ASSERT_EQ(buffer3D->SetAllParameters(&params, DS3D_IMMEDIATE), DS_OK);
    DS3DBUFFER back{};
    back.dwSize = 64;
    buffer3D->GetAllParameters(&back);
    EXPECT_EQ(std::memcmp(&back, &params, 64), 0);
    buffer3D->Release();
    buffer3D->Release();

    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D, 0, 0, nullptr, GUID_NULL};
    IDirectSoundBuffer* primary = nullptr;
    ds->CreateSoundBuffer(&desc, &primary, nullptr);
    IDirectSound3DListener* listener = nullptr;
    ASSERT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&listener)),
              DS_OK);
    primary->Release();
    DS3DLISTENER record{};
    record.dwSize = 64;
    ASSERT_EQ(listener->GetAllParameters(&record), DS_OK);
    EXPECT_EQ(record.flRolloffFactor, 1.0f);
    listener->Release();
}

TEST_F(DirectSoundTest, LostBufferRefusesPlayUntilRestoredSilent) {
    IDirectSoundBuffer* buffer = Load(std::vector<int16_t>(100, 3000), 44100);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    platform::LoseSoundBuffers();
    DWORD status = 0;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_BUFFERLOST);
    EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_BUFFERLOST);
    void* p = nullptr;
    DWORD n = 0;
    EXPECT_EQ(buffer->Lock(0, 2, &p, &n, nullptr, nullptr, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(buffer->Restore(), DS_OK);
    EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(platform::RenderAudio(10)[0], 0);
    buffer->Release();
}

TEST_F(DirectSoundTest, MixedToneKeepsItsFrequencyAndVolumeScalesAmplitude) {
    IDirectSoundBuffer* loud = Load(audio_analysis::Tone(441.0, 22050.0, 22050, 0.4), 22050);
    loud->Play(0, 0, DSBPLAY_LOOPING);
    auto full = audio_analysis::Channel(platform::RenderAudio(8820), 1);
    EXPECT_NEAR(audio_analysis::DominantFrequency(full, 44100.0), 441.0, 0.5);
    loud->SetVolume(-600);
    auto reduced = audio_analysis::Channel(platform::RenderAudio(8820), 1);
    EXPECT_NEAR(audio_analysis::Rms(reduced) / audio_analysis::Rms(full), 0.5, 0.02);
    loud->Release();
}

TEST(DirectSound, HeadlessSinkFollowsTheClockAndWritesTheCapture) {
    auto path = std::filesystem::temp_directory_path() /
                ("backfire_dsound_capture_" + std::to_string(test_environment::ProcessId()) + ".wav");
    test_environment::Set("BACKFIRE_AUDIO_OUT", path.string().c_str());
    platform::UseVirtualClock(0xFFFFFF00u); // the clock wraps during the run
    platform::ForceAudioBackend(platform::AudioBackend::ClockedNull);
    IDirectSound8* ds = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
    ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, GUID_NULL};
    IDirectSoundBuffer* primary = nullptr;
    ds->CreateSoundBuffer(&desc, &primary, nullptr);
    WAVEFORMATEX format = Pcm(2, 44100, 16);
    primary->SetFormat(&format);
    primary->Release();
    WAVEFORMATEX mono = Pcm(1, 44100, 16);
    IDirectSoundBuffer* buffer = nullptr;
    desc = DSBUFFERDESC{sizeof(DSBUFFERDESC), 0xB8, 44100 * 2, 0, &mono, GUID_NULL};
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    buffer->Play(0, 0, 0);
    platform::AdvanceVirtualClock(500);
    DWORD play = 0;
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 22050u * 2); // half a second of a 44.1 kHz mono buffer
    platform::AdvanceVirtualClock(500);
    platform::PumpAudio();
    platform::FlushAudioCapture();
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close(); // Windows removes no file that is open
    ASSERT_EQ(bytes.size(), 44u + 44100u * 4u);
    uint32_t rate, dataBytes;
    std::memcpy(&rate, bytes.data() + 24, 4);
    std::memcpy(&dataBytes, bytes.data() + 40, 4);
    EXPECT_EQ(std::string(bytes.data(), 4), "RIFF");
    EXPECT_EQ(rate, 44100u);
    EXPECT_EQ(dataBytes, 44100u * 4u);
    buffer->Release();
    platform::AdvanceVirtualClock(1000);
    ds->Release(); // the last reference mixes up to now and closes the capture
    EXPECT_EQ(std::filesystem::file_size(path), 44u + 2u * 44100u * 4u);
    platform::ForceAudioBackend(platform::AudioBackend::Automatic);
    platform::UseRealClock();
    test_environment::Unset("BACKFIRE_AUDIO_OUT");
    std::filesystem::remove(path);
}
