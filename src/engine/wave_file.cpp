#include "engine/wave_file.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "WAVEFORMATEX is copied from the file as it lies there");

WaveFile::~WaveFile() {
    Close();
}

HRESULT WaveFile::Open(const char* fileName) {
    if (fileName == nullptr)
        return E_INVALIDARG;
    Close();
    formatBytes.clear();
    format = nullptr;
    HMMIO handle = mmioOpenA(const_cast<char*>(fileName), nullptr, MMIO_ALLOCBUF | MMIO_READ);
    if (handle != nullptr)
        return OpenHandle(handle);
    HRSRC resource = FindResourceA(nullptr, fileName, "WAVE");
    if (resource == nullptr)
        resource = FindResourceA(nullptr, fileName, "WAV");
    if (resource == nullptr)
        return E_FAIL;
    HGLOBAL data = LoadResource(nullptr, resource);
    DWORD length = SizeofResource(nullptr, resource);
    const void* bytes = data != nullptr ? LockResource(data) : nullptr;
    if (bytes == nullptr || length == 0)
        return E_FAIL;
    return OpenMemory(bytes, length);
}

HRESULT WaveFile::OpenMemory(const void* bytes, uint32_t length) {
    if (bytes == nullptr || length > INT32_MAX)
        return E_INVALIDARG;
    Close();
    formatBytes.clear();
    format = nullptr;
    const char* begin = static_cast<const char*>(bytes);
    memoryImage.assign(begin, begin + length);
    MMIOINFO info{};
    info.fccIOProc = FOURCC_MEM;
    info.pchBuffer = memoryImage.data();
    info.cchBuffer = static_cast<LONG>(length);
    HMMIO handle = mmioOpenA(nullptr, &info, MMIO_ALLOCBUF | MMIO_READ);
    if (handle == nullptr)
        return E_FAIL;
    return OpenHandle(handle);
}

HRESULT WaveFile::OpenHandle(HMMIO handle) {
    file = handle;
    HRESULT result = ReadFormat();
    if (SUCCEEDED(result))
        result = ResetFile();
    if (FAILED(result)) { // a refused file leaves nothing open and no format behind
        Close();
        formatBytes.clear();
        format = nullptr;
        return result;
    }
    size = dataChunk.cksize;
    return result;
}

HRESULT WaveFile::ReadFormat() {
    auto fail = [this] {
        formatBytes.clear();
        format = nullptr;
        return E_FAIL;
    };
    if (mmioDescend(file, &riffChunk, nullptr, 0) != MMSYSERR_NOERROR)
        return fail();
    if (riffChunk.ckid != FOURCC_RIFF || riffChunk.fccType != mmioFOURCC('W', 'A', 'V', 'E'))
        return fail();
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(file, &chunk, &riffChunk, MMIO_FINDCHUNK) != MMSYSERR_NOERROR || chunk.cksize < 16)
        return fail();
    formatBytes.assign(sizeof(WAVEFORMATEX), 0);
    char* bytes = reinterpret_cast<char*>(formatBytes.data());
    if (mmioRead(file, bytes, 16) != 16)
        return fail();
    WORD tag = static_cast<WORD>(formatBytes[0] | (formatBytes[1] << 8));
    if (tag != WAVE_FORMAT_PCM) {
        // the extra size and its bytes must lie inside the "fmt " chunk
        if (chunk.cksize < 18 || mmioRead(file, bytes + 16, 2) != 2)
            return fail();
        uint32_t extra = formatBytes[16] | (formatBytes[17] << 8);
        if (18 + extra > chunk.cksize)
            return fail();
        formatBytes.resize(18 + extra);
        bytes = reinterpret_cast<char*>(formatBytes.data());
        if (mmioRead(file, bytes + 18, static_cast<LONG>(extra)) != static_cast<LONG>(extra))
            return fail();
    }
    if (mmioAscend(file, &chunk, 0) != MMSYSERR_NOERROR)
        return fail();
    format = reinterpret_cast<WAVEFORMATEX*>(formatBytes.data());
    return S_OK;
}

HRESULT WaveFile::ResetFile() {
    if (file == nullptr)
        return CO_E_NOTINITIALIZED;
    if (mmioSeek(file, static_cast<LONG>(riffChunk.dwDataOffset + 4), SEEK_SET) == -1)
        return E_FAIL;
    dataChunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &dataChunk, &riffChunk, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return E_FAIL;
    return S_OK;
}

HRESULT WaveFile::Read(uint8_t* destination, uint32_t length, uint32_t* bytesRead) {
    if (destination == nullptr || bytesRead == nullptr)
        return E_INVALIDARG;
    *bytesRead = 0;
    if (file == nullptr)
        return CO_E_NOTINITIALIZED;
    MMIOINFO info{};
    if (mmioGetInfo(file, &info, 0) != MMSYSERR_NOERROR)
        return E_FAIL;
    const uint32_t wanted = std::min(length, static_cast<uint32_t>(dataChunk.cksize));
    uint32_t done = 0;
    HRESULT result = S_OK;
    while (done < wanted) {
        if (info.pchNext == info.pchEndRead &&
            (mmioAdvance(file, &info, MMIO_READ) != MMSYSERR_NOERROR || info.pchNext == info.pchEndRead)) {
            result = E_FAIL;
            break;
        }
        uint32_t n = std::min(wanted - done, static_cast<uint32_t>(info.pchEndRead - info.pchNext));
        std::memcpy(destination + done, info.pchNext, n);
        info.pchNext += n;
        done += n;
    }
    mmioSetInfo(file, &info, 0);
    dataChunk.cksize -= done;
    *bytesRead = done;
    return result;
}

void WaveFile::Close() {
    if (file != nullptr)
        mmioClose(file, 0);
    file = nullptr;
    size = 0;
}
