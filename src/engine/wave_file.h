// A RIFF WAVE file read through the multimedia file functions: its format
// and the sample bytes of its "data" chunk.
#pragma once

#include "platform/dsound/dsound.h"
#include "platform/dsound/mmio.h"

#include <cstdint>
#include <vector>

class WaveFile {
  public:
    // The format read from the file with its extra bytes; null until Open succeeds.
    WAVEFORMATEX* format = nullptr;
    HMMIO file = nullptr;
    // The "data" chunk; its size counts down as bytes are read.
    MMCKINFO dataChunk{};
    MMCKINFO riffChunk{};
    // Bytes of the "data" chunk, set by Open (0 when it failed).
    uint32_t size = 0;

    WaveFile() = default;
    WaveFile(const WaveFile&) = delete;
    WaveFile& operator=(const WaveFile&) = delete;
    ~WaveFile();

    // Opens a file by its game name (falling back on a module resource of
    // that name, of which the game has none) and reads its format. E_FAIL for
    // a file that is not RIFF "WAVE", lacks a whole "fmt " or has no "data".
    HRESULT Open(const char* fileName);
    // The same for a WAV image in memory (copied).
    HRESULT OpenMemory(const void* bytes, uint32_t length);
    uint32_t GetSize() const { return size; }
    // Back to the first sample byte.
    HRESULT ResetFile();
    // Reads up to `length` bytes of sample data; *bytesRead says how many.
    HRESULT Read(uint8_t* destination, uint32_t length, uint32_t* bytesRead);
    void Close();

  private:
    HRESULT OpenHandle(HMMIO handle);
    HRESULT ReadFormat();

    std::vector<uint8_t> formatBytes;
    std::vector<char> memoryImage; // what a memory file reads from
};
