#include "platform/dsound/dsound_objects.h"

namespace platform {

PrimaryBuffer::PrimaryBuffer(std::shared_ptr<SoundDevice> device, DWORD flags)
    : device(std::move(device)), flags(flags) {}

uint32_t PrimaryBuffer::Release() {
    uint32_t left = references.Drop();
    if (left == 0)
        delete this;
    return left;
}

HRESULT PrimaryBuffer::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return DSERR_INVALIDPARAM;
    *object = nullptr;
    if (!SameGuid(iid, IID_IDirectSound3DListener) || !(flags & DSBCAPS_CTRL3D))
        return DSERR_NOINTERFACE;
    AddRef();
    *object = static_cast<IDirectSound3DListener*>(&listener);
    return DS_OK;
}

HRESULT PrimaryBuffer::SetFormat(const WAVEFORMATEX* format) {
    device->Pump();
    if (format == nullptr)
        return DSERR_INVALIDPARAM;
    if (device->cooperativeLevel < DSSCL_PRIORITY)
        return DSERR_PRIOLEVELNEEDED;
    if (!IsPlayableFormat(*format) || format->nAvgBytesPerSec != format->nSamplesPerSec * format->nBlockAlign)
        return DSERR_BADFORMAT;
    return device->SetPrimaryFormat(*format);
}

HRESULT PrimaryBuffer::GetStatus(DWORD* status) {
    if (status == nullptr)
        return DSERR_INVALIDPARAM;
    *status = DSBSTATUS_PLAYING | DSBSTATUS_LOOPING; // the output never stops
    return DS_OK;
}

HRESULT PrimaryBuffer::GetFrequency(DWORD* frequency) {
    if (frequency == nullptr)
        return DSERR_INVALIDPARAM;
    *frequency = device->primaryFormat.nSamplesPerSec;
    return DS_OK;
}

// The primary buffer is the mixer's output: the game neither writes nor moves it.
HRESULT PrimaryBuffer::GetCurrentPosition(DWORD*, DWORD*) {
    return DSERR_INVALIDCALL;
}
HRESULT PrimaryBuffer::Lock(DWORD, DWORD, void**, DWORD*, void**, DWORD*, DWORD) {
    return DSERR_PRIOLEVELNEEDED;
}
HRESULT PrimaryBuffer::Unlock(void*, DWORD, void*, DWORD) {
    return DSERR_INVALIDCALL;
}
HRESULT PrimaryBuffer::Play(DWORD, DWORD, DWORD) {
    return DS_OK;
}
HRESULT PrimaryBuffer::Stop() {
    return DS_OK;
}
HRESULT PrimaryBuffer::SetCurrentPosition(DWORD) {
    return DSERR_INVALIDCALL;
}
HRESULT PrimaryBuffer::SetFrequency(DWORD) {
    return DSERR_CONTROLUNAVAIL;
}
HRESULT PrimaryBuffer::SetVolume(LONG) {
    return DSERR_CONTROLUNAVAIL;
}
HRESULT PrimaryBuffer::Restore() {
    return DS_OK;
}

HRESULT PrimaryBuffer::Listener::GetAllParameters(DS3DLISTENER* parameters) {
    if (parameters == nullptr || parameters->dwSize != sizeof(DS3DLISTENER))
        return DSERR_INVALIDPARAM;
    *parameters = owner.device->listener;
    return DS_OK;
}

HRESULT PrimaryBuffer::Listener::SetAllParameters(const DS3DLISTENER* parameters, DWORD apply) {
    if (parameters == nullptr || parameters->dwSize != sizeof(DS3DLISTENER) || apply > DS3D_DEFERRED)
        return DSERR_INVALIDPARAM;
    owner.device->listener = *parameters;
    return DS_OK;
}

} // namespace platform
