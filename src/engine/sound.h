// Sound effects: the sound system (SoundManager and its start and stop), a
// loaded WAV (WaveSound) and a WAV in several copies played in rotation so an
// effect can overlap itself (Sound). Without a running sound system every
// sound object is inert and every call returns at once. Every Sound and
// WaveSound must be gone before StopSoundSystem.
#pragma once

#include "core/data_object.h"
#include "engine/wave_buffer.h"
#include "engine/wave_file.h"
#include "platform/dsound/dsound.h"

#include <cstdint>
#include <memory>

class SoundManager {
  public:
    IDirectSound8* directSound = nullptr; // owned; null until Initialize succeeds

    SoundManager() = default;
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;
    ~SoundManager();

    // Creates the DirectSound object, sets the cooperative level and the
    // primary format (whose own result is ignored); the first failure is returned.
    HRESULT Initialize(HWND window, DWORD cooperativeLevel, DWORD channels, DWORD frequency, DWORD bits);
    HRESULT SetPrimaryFormat(DWORD channels, DWORD frequency, DWORD bits);
    HRESULT GetListener(IDirectSound3DListener** listener);
    // Loads a whole WAV file into a new buffer (*sound is null on failure).
    // May return the success code DS_NO_VIRTUALIZATION.
    HRESULT CreateSound(const char* fileName, WaveBuffer** sound);
};

// Null when the sound system failed or was stopped.
extern SoundManager* TheSoundManager;
// 1 after a successful StartSound until StopSoundSystem, else 0.
extern int32_t soundReady;
extern IDirectSound3DListener* TheListener;
extern DS3DLISTENER TheListenerParameters;

// Starts DirectSound on the application's window (priority level, 44.1 kHz
// 16-bit stereo output); on failure logs "init failure\n" and the game runs silent.
void StartSound();
void StopSoundSystem();

class WaveSound {
  public:
    std::unique_ptr<WaveBuffer> sound;        // null if loading failed or the sound system is not ready
    IDirectSound3DBuffer* buffer3D = nullptr; // owned
    DS3DBUFFER params3D{};
    void* lockedPointer = nullptr; // the last LockSection's bytes, null when nothing is locked
    DWORD lockedBytes = 0;

    explicit WaveSound(const char* fileName);
    WaveSound(const WaveSound&) = delete;
    WaveSound& operator=(const WaveSound&) = delete;
    virtual ~WaveSound();

    // Both stop and rewind first, so a sounding copy restarts from its beginning.
    // Each returns the buffer's Play result, CO_E_NOTINITIALIZED when inert.
    HRESULT Play();
    HRESULT PlayLooping();
    // Stops without rewinding.
    void Stop();
    // Locks part `part` of `parts` equal parts of the buffer (no second region).
    void LockSection(int32_t part, int32_t parts);
    void UnlockSection();
    uint32_t GetPlayPosition();
};

class Sound : public DataObject {
  public:
    std::unique_ptr<WaveSound> copies[10]; // 0 .. count - 1 are used
    int32_t count;
    int32_t next = 0;           // the copy the next Play uses
    uint32_t baseFrequency = 0; // of the first loaded copy's buffer at load time

    // Loads the file separately into `copyCount` copies (1 to 10).
    Sound(const char* fileName, int32_t copyCount);
    ~Sound() override;

    // Restarts the next copy in rotation at trunc(baseFrequency x pitch) Hz.
    void Play(bool looping, float pitch);
    // Stops copy 0 (the player's looping thrust).
    void StopFirst();
};
