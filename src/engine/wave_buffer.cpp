#include "engine/wave_buffer.h"

#include <cstring>

namespace {

// A device that stays lost this long is given up on; the play that needed it fails.
constexpr int kRestoreAttempts = 100;

} // namespace

WaveBuffer::WaveBuffer(IDirectSoundBuffer* buffer, uint32_t bufferSize, std::unique_ptr<WaveFile> wave)
    : buffer(buffer), bufferSize(bufferSize), wave(std::move(wave)) {}

WaveBuffer::~WaveBuffer() {
    if (buffer != nullptr)
        buffer->Release();
}

HRESULT WaveBuffer::Get3DBuffer(IDirectSound3DBuffer** buffer3D) {
    if (buffer3D == nullptr)
        return E_INVALIDARG;
    *buffer3D = nullptr;
    if (buffer == nullptr)
        return CO_E_NOTINITIALIZED;
    return buffer->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(buffer3D));
}

HRESULT WaveBuffer::RestoreBuffer(int32_t* wasRestored) {
    if (wasRestored != nullptr)
        *wasRestored = 0;
    if (buffer == nullptr)
        return CO_E_NOTINITIALIZED;
    DWORD status = 0;
    HRESULT result = buffer->GetStatus(&status);
    if (FAILED(result))
        return result;
    if (!(status & DSBSTATUS_BUFFERLOST))
        return S_FALSE;
    for (int attempt = 0; attempt < kRestoreAttempts; ++attempt) {
        if (buffer->Restore() == DSERR_BUFFERLOST)
            Sleep(10);
        if (buffer->Restore() == DS_OK) {
            if (wasRestored != nullptr)
                *wasRestored = 1;
            return DS_OK;
        }
    }
    return DSERR_BUFFERLOST;
}

HRESULT WaveBuffer::FillBuffer() {
    if (buffer == nullptr)
        return CO_E_NOTINITIALIZED;
    HRESULT result = RestoreBuffer(nullptr);
    if (FAILED(result))
        return result;
    void* data = nullptr;
    DWORD locked = 0;
    result = buffer->Lock(0, bufferSize, &data, &locked, nullptr, nullptr, 0);
    if (FAILED(result))
        return result;
    uint8_t* bytes = static_cast<uint8_t*>(data);
    uint32_t read = 0;
    if (SUCCEEDED(wave->ResetFile()))
        wave->Read(bytes, locked, &read);
    uint8_t silence = wave->format != nullptr && wave->format->wBitsPerSample == 8 ? 128 : 0;
    std::memset(bytes + read, silence, locked - read);
    return buffer->Unlock(data, locked, nullptr, 0);
}

HRESULT WaveBuffer::Play(DWORD flags) {
    if (buffer == nullptr)
        return CO_E_NOTINITIALIZED;
    int32_t restored = 0;
    HRESULT result = RestoreBuffer(&restored);
    if (FAILED(result))
        return result;
    if (restored) {
        FillBuffer();
        Reset();
    }
    return buffer->Play(0, 0, flags);
}

HRESULT WaveBuffer::Stop() {
    return buffer == nullptr ? CO_E_NOTINITIALIZED : buffer->Stop();
}

HRESULT WaveBuffer::Reset() {
    return buffer == nullptr ? CO_E_NOTINITIALIZED : buffer->SetCurrentPosition(0);
}
