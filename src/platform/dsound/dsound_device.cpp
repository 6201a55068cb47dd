#include "platform/dsound/dsound_objects.h"
#include "platform/os/environment.h"
#include "platform/os/run_mode.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

AudioBackend forcedBackend = AudioBackend::Automatic;

class DirectSound : public IDirectSound8 {
  public:
    explicit DirectSound(std::shared_ptr<SoundDevice> device) : device(std::move(device)) {}

    uint32_t AddRef() override { return references.Add(); }
    uint32_t Release() override {
        uint32_t left = references.Drop();
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT SetCooperativeLevel(HWND, DWORD level) override {
        device->Pump();
        if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
            return DSERR_INVALIDPARAM;
        device->cooperativeLevel = level;
        return DS_OK;
    }

    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                              IUnknown* outer) override {
        device->Pump();
        if (buffer == nullptr)
            return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        if (outer != nullptr)
            return DSERR_NOAGGREGATION;
        if (desc == nullptr || desc->dwSize != sizeof(DSBUFFERDESC))
            return DSERR_INVALIDPARAM;
        if (device->cooperativeLevel == 0)
            return DSERR_PRIOLEVELNEEDED;
        if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
            if (desc->dwBufferBytes != 0 || desc->lpwfxFormat != nullptr)
                return DSERR_INVALIDPARAM;
            *buffer = new PrimaryBuffer(device, desc->dwFlags);
            return DS_OK;
        }
        if (desc->lpwfxFormat == nullptr || desc->dwBufferBytes < DSBSIZE_MIN ||
            desc->dwBufferBytes > DSBSIZE_MAX)
            return DSERR_INVALIDPARAM;
        if (!IsPlayableFormat(*desc->lpwfxFormat))
            return DSERR_BADFORMAT;
        // a buffer placed in 3D space has one position, so it takes mono data only
        if ((desc->dwFlags & DSBCAPS_CTRL3D) && desc->lpwfxFormat->nChannels != 1)
            return DSERR_INVALIDPARAM;
        *buffer = new SecondaryBuffer(device, *desc);
        return DS_OK;
    }

  private:
    RefCount references;
    std::shared_ptr<SoundDevice> device;
};

SoundDevice* NewestDevice() {
    auto& devices = LiveSoundDevices();
    return devices.empty() ? nullptr : devices.back();
}

} // namespace

std::vector<SoundDevice*>& LiveSoundDevices() {
    static std::vector<SoundDevice*> devices;
    return devices;
}

bool SameGuid(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

bool IsPlayableFormat(const WAVEFORMATEX& format) {
    if (format.wFormatTag != WAVE_FORMAT_PCM || (format.nChannels != 1 && format.nChannels != 2))
        return false;
    if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16)
        return false;
    if (format.nBlockAlign != format.nChannels * format.wBitsPerSample / 8)
        return false;
    return format.nSamplesPerSec >= DSBFREQUENCY_MIN && format.nSamplesPerSec <= DSBFREQUENCY_MAX;
}

SoundDevice::SoundDevice() {
    listener.dwSize = sizeof(DS3DLISTENER);
    listener.vOrientFront = {0.0f, 0.0f, 1.0f};
    listener.vOrientTop = {0.0f, 1.0f, 0.0f};
    listener.flDistanceFactor = 1.0f;
    listener.flRolloffFactor = 1.0f;
    listener.flDopplerFactor = 1.0f;
}

std::shared_ptr<SoundDevice> SoundDevice::Open() {
    AudioBackend backend = forcedBackend;
    if (backend == AudioBackend::Automatic && Headless())
        backend = AudioBackend::ClockedNull;
    if (backend == AudioBackend::None)
        return nullptr;
    std::shared_ptr<SoundDevice> device(new SoundDevice());
    uint32_t rate = device->primaryFormat.nSamplesPerSec;
    if (backend == AudioBackend::Automatic)
        device->output = OpenSdlOutput(device->mixer, rate);
    else
        device->output = OpenNullOutput(
            device->mixer, rate, backend == AudioBackend::ClockedNull,
            backend == AudioBackend::ClockedNull ? EnvironmentValue("BACKFIRE_AUDIO_OUT") : std::string());
    if (!device->output)
        return nullptr;
    LiveSoundDevices().push_back(device.get());
    return device;
}

SoundDevice::~SoundDevice() {
    auto& devices = LiveSoundDevices();
    devices.erase(std::remove(devices.begin(), devices.end(), this), devices.end());
    if (output)
        output->Pump();
}

HRESULT SoundDevice::SetPrimaryFormat(const WAVEFORMATEX& format) {
    uint32_t previous = mixer.OutputRate();
    if (format.nSamplesPerSec != previous && !output->Start(format.nSamplesPerSec)) {
        output->Start(previous);
        return DSERR_BADFORMAT;
    }
    primaryFormat = format;
    primaryFormat.cbSize = 0;
    return DS_OK;
}

void PumpAudio() {
    if (SoundDevice* device = NewestDevice())
        device->Pump();
}

void ForceAudioBackend(AudioBackend backend) {
    forcedBackend = backend;
}

std::vector<int16_t> RenderAudio(uint32_t frames) {
    SoundDevice* device = NewestDevice();
    if (device == nullptr)
        return {};
    return device->output->Render(frames);
}

uint32_t AudioOutputRate() {
    SoundDevice* device = NewestDevice();
    return device == nullptr ? 0 : device->mixer.OutputRate();
}

void LoseSoundBuffers() {
    if (SoundDevice* device = NewestDevice())
        for (SecondaryBuffer* buffer : device->buffers)
            buffer->Lose();
}

} // namespace platform

HRESULT DirectSoundCreate8(const GUID* deviceId, IDirectSound8** directSound, IUnknown* outer) {
    if (directSound == nullptr)
        return DSERR_INVALIDPARAM;
    *directSound = nullptr;
    if (outer != nullptr)
        return DSERR_NOAGGREGATION;
    if (deviceId != nullptr && !platform::SameGuid(*deviceId, GUID_NULL))
        return DSERR_NODRIVER;
    std::shared_ptr<platform::SoundDevice> device = platform::SoundDevice::Open();
    if (!device)
        return DSERR_NODRIVER;
    *directSound = new platform::DirectSound(std::move(device));
    return DS_OK;
}
