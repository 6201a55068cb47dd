#include "engine/sound.h"
#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/run_log.h"

#include <algorithm>
#include <new>

SoundManager* TheSoundManager = nullptr;
int32_t soundReady = 0;
IDirectSound3DListener* TheListener = nullptr;
DS3DLISTENER TheListenerParameters{};

namespace {

// The run log records addresses as 32-bit signed numbers.
void LogAddress(const void* pointer) {
    TheRunLog.LogNumber(static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer))));
}

} // namespace

SoundManager::~SoundManager() {
    if (directSound != nullptr)
        directSound->Release();
}

HRESULT SoundManager::Initialize(HWND window, DWORD cooperativeLevel, DWORD channels, DWORD frequency,
                                 DWORD bits) {
    if (directSound != nullptr) {
        directSound->Release();
        directSound = nullptr;
    }
    HRESULT result = DirectSoundCreate8(nullptr, &directSound, nullptr);
    if (FAILED(result))
        return result;
    result = directSound->SetCooperativeLevel(window, cooperativeLevel);
    if (FAILED(result))
        return result;
    SetPrimaryFormat(channels, frequency, bits);
    return DS_OK;
}

HRESULT SoundManager::SetPrimaryFormat(DWORD channels, DWORD frequency, DWORD bits) {
    if (directSound == nullptr)
        return CO_E_NOTINITIALIZED;
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, GUID_NULL};
    IDirectSoundBuffer* primary = nullptr;
    HRESULT result = directSound->CreateSoundBuffer(&desc, &primary, nullptr);
    if (FAILED(result))
        return result;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = frequency;
    format.wBitsPerSample = static_cast<WORD>(bits);
    format.nBlockAlign = static_cast<WORD>(bits / 8 * channels);
    format.nAvgBytesPerSec = frequency * format.nBlockAlign;
    result = primary->SetFormat(&format);
    primary->Release();
    return result;
}

HRESULT SoundManager::GetListener(IDirectSound3DListener** listener) {
    if (listener == nullptr)
        return E_INVALIDARG;
    *listener = nullptr;
    if (directSound == nullptr)
        return CO_E_NOTINITIALIZED;
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_CTRL3D | DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, GUID_NULL};
    IDirectSoundBuffer* primary = nullptr;
    HRESULT result = directSound->CreateSoundBuffer(&desc, &primary, nullptr);
    if (FAILED(result))
        return result;
    result = primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(listener));
    primary->Release();
    return result;
}

HRESULT SoundManager::CreateSound(const char* fileName, WaveBuffer** sound) {
    if (directSound == nullptr)
        return CO_E_NOTINITIALIZED;
    if (fileName == nullptr || sound == nullptr)
        return E_INVALIDARG;
    *sound = nullptr;
    std::unique_ptr<WaveFile> wave(new (std::nothrow) WaveFile());
    if (!wave)
        return E_OUTOFMEMORY;
    if (FAILED(wave->Open(fileName)) || wave->GetSize() == 0)
        return E_FAIL;
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC),
                      DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRL3D | DSBCAPS_LOCSOFTWARE,
                      wave->GetSize(),
                      0,
                      wave->format,
                      DS3DALG_NO_VIRTUALIZATION};
    IDirectSoundBuffer* buffer = nullptr;
    HRESULT result = directSound->CreateSoundBuffer(&desc, &buffer, nullptr);
    if (FAILED(result))
        return result;
    uint32_t size = wave->GetSize();
    WaveBuffer* loaded = new (std::nothrow) WaveBuffer(buffer, size, std::move(wave));
    if (loaded == nullptr) {
        buffer->Release();
        return E_OUTOFMEMORY;
    }
    loaded->FillBuffer();
    loaded->Reset();
    *sound = loaded;
    return result;
}

void StartSound() {
    if (TheSoundManager != nullptr)
        StopSoundSystem();
    soundReady = 0;
    TheSoundManager = new SoundManager();
    TheRunLog.Log("loading soundManager: ");
    LogAddress(TheSoundManager);
    TheRunLog.Log("\n");
    HWND window = TheApplication != nullptr ? TheApplication->window : nullptr;
    if (FAILED(TheSoundManager->Initialize(window, DSSCL_PRIORITY, 2, 44100, 16))) {
        TheRunLog.Log("init failure\n");
        delete TheSoundManager;
        TheSoundManager = nullptr;
        return;
    }
    soundReady = 1;
    if (SUCCEEDED(TheSoundManager->GetListener(&TheListener))) {
        TheListenerParameters.dwSize = sizeof(DS3DLISTENER);
        TheListener->GetAllParameters(&TheListenerParameters);
    }
}

void StopSoundSystem() {
    if (TheListener != nullptr) {
        TheListener->Release();
        TheListener = nullptr;
    }
    delete TheSoundManager;
    TheSoundManager = nullptr;
    // nothing may load into a sound system that is gone
    soundReady = 0;
}

WaveSound::WaveSound(const char* fileName) {
    if (!soundReady)
        return;
    TheRunLog.Log("loading sound: ");
    TheRunLog.Log(fileName != nullptr ? fileName : "");
    TheRunLog.Log("\n");
    WaveBuffer* loaded = nullptr;
    TheSoundManager->CreateSound(fileName, &loaded);
    sound.reset(loaded);
    TheRunLog.Log("sound ptr: ");
    LogAddress(loaded);
    TheRunLog.Log("\n");
    if (sound && SUCCEEDED(sound->Get3DBuffer(&buffer3D))) {
        params3D.dwSize = sizeof(DS3DBUFFER);
        buffer3D->GetAllParameters(&params3D);
        params3D.dwMode = DS3DMODE_NORMAL;
        buffer3D->SetAllParameters(&params3D, DS3D_IMMEDIATE);
    }
}

// Releases what was loaded even after the sound system stopped: the buffers
// keep their device alive until then.
WaveSound::~WaveSound() {
    if (buffer3D != nullptr)
        buffer3D->Release();
}

HRESULT WaveSound::Play() {
    if (!soundReady || !sound)
        return CO_E_NOTINITIALIZED;
    TheRunLog.Log("playing sound\n");
    sound->Stop();
    sound->Reset();
    return sound->Play(0);
}

HRESULT WaveSound::PlayLooping() {
    if (!soundReady || !sound)
        return CO_E_NOTINITIALIZED;
    TheRunLog.Log("playing sound looping\n");
    sound->Stop();
    sound->Reset();
    return sound->Play(DSBPLAY_LOOPING);
}

void WaveSound::Stop() {
    if (!soundReady || !sound)
        return;
    TheRunLog.Log("stopping sound\n");
    sound->Stop();
}

void WaveSound::LockSection(int32_t part, int32_t parts) {
    lockedPointer = nullptr;
    lockedBytes = 0;
    if (!soundReady || !sound || parts < 1 || part < 0 || part >= parts)
        return;
    int32_t restored = 0;
    if (FAILED(sound->RestoreBuffer(&restored)))
        return;
    DWORD length = sound->bufferSize / static_cast<uint32_t>(parts);
    if (length == 0)
        return;
    void* data = nullptr;
    DWORD bytes = 0;
    if (FAILED(sound->GetBuffer()->Lock(static_cast<uint32_t>(part) * length, length, &data, &bytes, nullptr,
                                        nullptr, 0)))
        return;
    lockedPointer = data;
    lockedBytes = bytes;
}

void WaveSound::UnlockSection() {
    if (lockedPointer != nullptr && sound)
        sound->GetBuffer()->Unlock(lockedPointer, lockedBytes, nullptr, 0);
    lockedPointer = nullptr;
    lockedBytes = 0;
}

uint32_t WaveSound::GetPlayPosition() {
    if (!soundReady || !sound)
        return 0;
    DWORD play = 0;
    sound->GetBuffer()->GetCurrentPosition(&play, nullptr);
    return play;
}

Sound::Sound(const char* fileName, int32_t copyCount)
    : DataObject(0, "SOUND"), count(std::clamp(copyCount, 1, 10)) {
    for (int32_t i = 0; i < count; ++i)
        copies[i] = std::make_unique<WaveSound>(fileName);
    if (!soundReady)
        return;
    for (int32_t i = 0; i < count; ++i) {
        if (copies[i]->sound) {
            DWORD frequency = 0;
            if (SUCCEEDED(copies[i]->sound->GetBuffer()->GetFrequency(&frequency)))
                baseFrequency = frequency;
            break;
        }
    }
    next = 0;
}

Sound::~Sound() = default;

void Sound::Play(bool looping, float pitch) {
    if (!soundReady)
        return;
    WaveSound& copy = *copies[next];
    next = next + 1 == count ? 0 : next + 1;
    if (!copy.sound)
        return;
    if (looping)
        copy.PlayLooping();
    else
        copy.Play();
    // a negative, NaN or huge product is no frequency: 0 keeps the recorded one
    float frequency = static_cast<float>(baseFrequency) * pitch;
    bool representable = frequency >= 0.0f && frequency < 4294967296.0f;
    copy.sound->GetBuffer()->SetFrequency(representable ? static_cast<DWORD>(frequency)
                                                        : DSBFREQUENCY_ORIGINAL);
}

void Sound::StopFirst() {
    copies[0]->Stop();
}
