#include "platform/dsound/dsound_objects.h"

#include <algorithm>
#include <cstring>

namespace platform {

SecondaryBuffer::SecondaryBuffer(std::shared_ptr<SoundDevice> device, const DSBUFFERDESC& desc)
    : device(std::move(device)), flags(desc.dwFlags), originalFrequency(desc.lpwfxFormat->nSamplesPerSec) {
    const WAVEFORMATEX& format = *desc.lpwfxFormat;
    uint8_t silence = format.wBitsPerSample == 8 ? 128 : 0;
    staging.assign(desc.dwBufferBytes, silence);
    voice.data = staging;
    voice.channels = format.nChannels;
    voice.bits = format.wBitsPerSample;
    voice.frequency = originalFrequency;
    parameters3D.dwSize = sizeof(DS3DBUFFER);
    parameters3D.dwInsideConeAngle = 360;
    parameters3D.dwOutsideConeAngle = 360;
    parameters3D.vConeOrientation = {0.0f, 0.0f, 1.0f};
    parameters3D.flMinDistance = 1.0f;
    parameters3D.flMaxDistance = 1.0e9f;
    parameters3D.dwMode = DS3DMODE_NORMAL;
    this->device->buffers.push_back(this);
}

SecondaryBuffer::~SecondaryBuffer() {
    {
        std::lock_guard<std::mutex> lock(device->mixer.Mutex());
        device->mixer.Stop(&voice);
    }
    auto& buffers = device->buffers;
    buffers.erase(std::remove(buffers.begin(), buffers.end(), this), buffers.end());
}

uint32_t SecondaryBuffer::Release() {
    uint32_t left = references.Drop();
    if (left == 0)
        delete this;
    return left;
}

HRESULT SecondaryBuffer::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return DSERR_INVALIDPARAM;
    *object = nullptr;
    if (!SameGuid(iid, IID_IDirectSound3DBuffer) || !(flags & DSBCAPS_CTRL3D))
        return DSERR_NOINTERFACE;
    AddRef();
    *object = static_cast<IDirectSound3DBuffer*>(&buffer3D);
    return DS_OK;
}

HRESULT SecondaryBuffer::GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) {
    device->Pump();
    DWORD position;
    {
        std::lock_guard<std::mutex> lock(device->mixer.Mutex());
        position = voice.Frame() * voice.FrameBytes();
    }
    if (playCursor != nullptr)
        *playCursor = position;
    if (writeCursor != nullptr)
        *writeCursor = position;
    return DS_OK;
}

HRESULT SecondaryBuffer::GetFrequency(DWORD* frequency) {
    if (frequency == nullptr)
        return DSERR_INVALIDPARAM;
    if (!(flags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    std::lock_guard<std::mutex> lock(device->mixer.Mutex());
    *frequency = voice.frequency;
    return DS_OK;
}

HRESULT SecondaryBuffer::GetStatus(DWORD* status) {
    device->Pump();
    if (status == nullptr)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(device->mixer.Mutex());
    *status = 0;
    if (voice.playing)
        *status |= DSBSTATUS_PLAYING | (voice.looping ? DSBSTATUS_LOOPING : 0);
    if (lost)
        *status |= DSBSTATUS_BUFFERLOST;
    return DS_OK;
}

HRESULT SecondaryBuffer::SetFormat(const WAVEFORMATEX*) {
    return DSERR_INVALIDCALL;
}

HRESULT SecondaryBuffer::Lock(DWORD offset, DWORD bytes, void** first, DWORD* firstBytes, void** second,
                              DWORD* secondBytes, DWORD lockFlags) {
    device->Pump();
    if (first == nullptr || firstBytes == nullptr)
        return DSERR_INVALIDPARAM;
    *first = nullptr;
    *firstBytes = 0;
    if (second != nullptr)
        *second = nullptr;
    if (secondBytes != nullptr)
        *secondBytes = 0;
    if (lost)
        return DSERR_BUFFERLOST;
    const DWORD size = static_cast<DWORD>(staging.size());
    if (lockFlags & DSBLOCK_FROMWRITECURSOR)
        GetCurrentPosition(nullptr, &offset);
    if (lockFlags & DSBLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = size;
    }
    if (offset >= size || bytes == 0 || bytes > size)
        return DSERR_INVALIDPARAM;
    DWORD head = std::min(bytes, size - offset);
    if (head < bytes && (second == nullptr || secondBytes == nullptr))
        return DSERR_INVALIDPARAM;
    *first = staging.data() + offset;
    *firstBytes = head;
    if (head < bytes) {
        *second = staging.data();
        *secondBytes = bytes - head;
    }
    return DS_OK;
}

HRESULT SecondaryBuffer::CopyToMixer(const uint8_t* pointer, DWORD bytes) {
    const uint8_t* begin = staging.data();
    if (pointer < begin || bytes > staging.size() ||
        pointer - begin > static_cast<std::ptrdiff_t>(staging.size() - bytes))
        return DSERR_INVALIDPARAM;
    size_t offset = static_cast<size_t>(pointer - begin);
    std::lock_guard<std::mutex> lock(device->mixer.Mutex());
    std::memcpy(voice.data.data() + offset, pointer, bytes);
    return DS_OK;
}

HRESULT SecondaryBuffer::Unlock(void* first, DWORD firstBytes, void* second, DWORD secondBytes) {
    device->Pump();
    if (first == nullptr)
        return DSERR_INVALIDPARAM;
    HRESULT result = CopyToMixer(static_cast<const uint8_t*>(first), firstBytes);
    if (result == DS_OK && second != nullptr)
        result = CopyToMixer(static_cast<const uint8_t*>(second), secondBytes);
    return result;
}

HRESULT SecondaryBuffer::Play(DWORD reserved, DWORD priority, DWORD playFlags) {
    device->Pump();
    if (reserved != 0 || priority != 0)
        return DSERR_INVALIDPARAM;
    if (lost)
        return DSERR_BUFFERLOST;
    std::lock_guard<std::mutex> lock(device->mixer.Mutex());
    voice.looping = (playFlags & DSBPLAY_LOOPING) != 0;
    device->mixer.Start(&voice);
    return DS_OK;
}

HRESULT SecondaryBuffer::Stop() {
    device->Pump();
    std::lock_guard<std::mutex> lock(device->mixer.Mutex());
    device->mixer.Stop(&voice);
    return DS_OK;
}

HRESULT SecondaryBuffer::SetCurrentPosition(DWORD position) {
    device->Pump();
    std::lock_guard<std::mutex> lock(device->mixer.Mutex());
    if (position >= voice.Frames() * voice.FrameBytes())
        return DSERR_INVALIDPARAM;
    voice.SetFrame(position / voice.FrameBytes());
    return DS_OK;
}

HRESULT SecondaryBuffer::SetFrequency(DWORD frequency) {
    device->Pump();
    if (!(flags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    if (frequency == DSBFREQUENCY_ORIGINAL)
        frequency = originalFrequency;
    if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(device->mixer.Mutex());
    voice.frequency = frequency;
    return DS_OK;
}

HRESULT SecondaryBuffer::SetVolume(LONG value) {
    device->Pump();
    if (!(flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (value < DSBVOLUME_MIN || value > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(device->mixer.Mutex());
    voice.gain = VolumeToGain(value);
    return DS_OK;
}

HRESULT SecondaryBuffer::Restore() {
    device->Pump();
    if (!lost)
        return DS_OK;
    lost = false;
    uint8_t silence = voice.bits == 8 ? 128 : 0;
    std::fill(staging.begin(), staging.end(), silence);
    std::lock_guard<std::mutex> lock(device->mixer.Mutex());
    std::fill(voice.data.begin(), voice.data.end(), silence);
    return DS_OK;
}

void SecondaryBuffer::Lose() {
    lost = true;
    std::lock_guard<std::mutex> lock(device->mixer.Mutex());
    device->mixer.Stop(&voice);
}

HRESULT SecondaryBuffer::Buffer3D::GetAllParameters(DS3DBUFFER* parameters) {
    if (parameters == nullptr || parameters->dwSize != sizeof(DS3DBUFFER))
        return DSERR_INVALIDPARAM;
    *parameters = owner.parameters3D;
    return DS_OK;
}

HRESULT SecondaryBuffer::Buffer3D::SetAllParameters(const DS3DBUFFER* parameters, DWORD apply) {
    if (parameters == nullptr || parameters->dwSize != sizeof(DS3DBUFFER) || apply > DS3D_DEFERRED)
        return DSERR_INVALIDPARAM;
    owner.parameters3D = *parameters;
    return DS_OK;
}

} // namespace platform
