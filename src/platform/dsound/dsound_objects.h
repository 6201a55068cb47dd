// The objects behind the DirectSound interfaces. A SoundDevice (mixer and
// output) is shared by the DirectSound object and every buffer made from it,
// so a buffer released after the device object stays safe to use.
#pragma once

#include "platform/dsound/audio_output.h"
#include "platform/dsound/dsound.h"
#include "platform/dsound/mixer.h"

#include <atomic>
#include <memory>
#include <vector>

namespace platform {

class SecondaryBuffer;

class SoundDevice {
  public:
    // The device for the backend in force; null when there is none.
    static std::shared_ptr<SoundDevice> Open();
    ~SoundDevice();

    // Headless: catch the output up with the clock.
    void Pump() { output->Pump(); }
    HRESULT SetPrimaryFormat(const WAVEFORMATEX& format);

    Mixer mixer{22050};
    std::unique_ptr<AudioOutput> output;
    WAVEFORMATEX primaryFormat{WAVE_FORMAT_PCM, 2, 22050, 22050 * 2, 2, 8, 0};
    DWORD cooperativeLevel = 0; // as last set on the DirectSound object
    DS3DLISTENER listener{};
    std::vector<SecondaryBuffer*> buffers; // main thread only

  private:
    SoundDevice();
};

// The devices alive, newest last (main thread only).
std::vector<SoundDevice*>& LiveSoundDevices();

// A COM reference count: Release deletes the object at zero.
class RefCount {
  public:
    uint32_t Add() { return ++count; }
    uint32_t Drop() { return --count; }

  private:
    std::atomic<uint32_t> count{1};
};

class SecondaryBuffer : public IDirectSoundBuffer {
  public:
    // The description was validated by the DirectSound object.
    SecondaryBuffer(std::shared_ptr<SoundDevice> device, const DSBUFFERDESC& desc);
    ~SecondaryBuffer() override;

    uint32_t AddRef() override { return references.Add(); }
    uint32_t Release() override;
    HRESULT QueryInterface(REFIID iid, void** object) override;
    HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) override;
    HRESULT GetFrequency(DWORD* frequency) override;
    HRESULT GetStatus(DWORD* status) override;
    HRESULT SetFormat(const WAVEFORMATEX* format) override;
    HRESULT Lock(DWORD offset, DWORD bytes, void** first, DWORD* firstBytes, void** second,
                 DWORD* secondBytes, DWORD flags) override;
    HRESULT Unlock(void* first, DWORD firstBytes, void* second, DWORD secondBytes) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT Stop() override;
    HRESULT SetCurrentPosition(DWORD position) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT Restore() override;

    void Lose();

  private:
    // The 3D interface shares the buffer's reference count and lifetime.
    class Buffer3D : public IDirectSound3DBuffer {
      public:
        explicit Buffer3D(SecondaryBuffer& owner) : owner(owner) {}
        uint32_t AddRef() override { return owner.AddRef(); }
        uint32_t Release() override { return owner.Release(); }
        HRESULT GetAllParameters(DS3DBUFFER* parameters) override;
        HRESULT SetAllParameters(const DS3DBUFFER* parameters, DWORD apply) override;

      private:
        SecondaryBuffer& owner;
    };

    HRESULT CopyToMixer(const uint8_t* pointer, DWORD bytes);

    RefCount references;
    std::shared_ptr<SoundDevice> device;
    DWORD flags;
    uint32_t originalFrequency;
    // What Lock hands out; the mixer's copy in `voice` is updated at Unlock so
    // the audio thread never reads memory the game is writing.
    std::vector<uint8_t> staging;
    MixerVoice voice;
    bool lost = false;
    DS3DBUFFER parameters3D{};
    Buffer3D buffer3D{*this};
};

class PrimaryBuffer : public IDirectSoundBuffer {
  public:
    PrimaryBuffer(std::shared_ptr<SoundDevice> device, DWORD flags);

    uint32_t AddRef() override { return references.Add(); }
    uint32_t Release() override;
    HRESULT QueryInterface(REFIID iid, void** object) override;
    HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) override;
    HRESULT GetFrequency(DWORD* frequency) override;
    HRESULT GetStatus(DWORD* status) override;
    HRESULT SetFormat(const WAVEFORMATEX* format) override;
    HRESULT Lock(DWORD offset, DWORD bytes, void** first, DWORD* firstBytes, void** second,
                 DWORD* secondBytes, DWORD flags) override;
    HRESULT Unlock(void* first, DWORD firstBytes, void* second, DWORD secondBytes) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT Stop() override;
    HRESULT SetCurrentPosition(DWORD position) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT Restore() override;

  private:
    // The listener lives in the device; this interface keeps the buffer alive.
    class Listener : public IDirectSound3DListener {
      public:
        explicit Listener(PrimaryBuffer& owner) : owner(owner) {}
        uint32_t AddRef() override { return owner.AddRef(); }
        uint32_t Release() override { return owner.Release(); }
        HRESULT GetAllParameters(DS3DLISTENER* parameters) override;
        HRESULT SetAllParameters(const DS3DLISTENER* parameters, DWORD apply) override;

      private:
        PrimaryBuffer& owner;
    };

    RefCount references;
    std::shared_ptr<SoundDevice> device;
    DWORD flags;
    Listener listener{*this};
};

// Checks a PCM format the mixer can play: tag 1, 1 or 2 channels of 8 or 16
// bits, a consistent block align and a rate in the frequency range.
bool IsPlayableFormat(const WAVEFORMATEX& format);
bool SameGuid(const GUID& a, const GUID& b);

} // namespace platform
