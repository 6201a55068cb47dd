// One loaded WAV held in one DirectSound buffer, with play, stop, rewind and
// recovery of a lost buffer from the still-open file.
#pragma once

#include "engine/wave_file.h"
#include "platform/dsound/dsound.h"

#include <cstdint>
#include <memory>

class WaveBuffer {
  public:
    IDirectSoundBuffer* buffer; // owned
    uint32_t bufferSize;
    std::unique_ptr<WaveFile> wave; // kept open to refill a lost buffer

    WaveBuffer(IDirectSoundBuffer* buffer, uint32_t bufferSize, std::unique_ptr<WaveFile> wave);
    WaveBuffer(const WaveBuffer&) = delete;
    WaveBuffer& operator=(const WaveBuffer&) = delete;
    ~WaveBuffer();

    IDirectSoundBuffer* GetBuffer() { return buffer; }
    HRESULT Get3DBuffer(IDirectSound3DBuffer** buffer3D);
    // S_FALSE with *wasRestored 0 when the buffer was not lost; a lost buffer
    // that cannot be restored within about a second gives DSERR_BUFFERLOST.
    HRESULT RestoreBuffer(int32_t* wasRestored);
    // The whole WAV data into the buffer, silence after it.
    HRESULT FillBuffer();
    // Restores and refills a lost buffer first.
    HRESULT Play(DWORD flags);
    HRESULT Stop();
    // Play position back to 0.
    HRESULT Reset();
};
