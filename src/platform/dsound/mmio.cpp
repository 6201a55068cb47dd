#include "platform/dsound/mmio.h"
#include "platform/os/files.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

// One open file: a window [bufferOffset, bufferOffset + valid) of the file is
// in `base`, and `next` indexes the next byte to read in it. A memory file's
// window is the whole block.
struct HMMIO__ {
    FILE* file = nullptr;
    std::vector<char> storage;
    char* base = nullptr;
    uint32_t capacity = 0;
    uint32_t size = 0;
    uint32_t bufferOffset = 0;
    uint32_t valid = 0;
    uint32_t next = 0;
    bool buffered = false;
    bool memory = false;

    uint32_t Position() const { return bufferOffset + next; }
};

namespace {

HMMIO Fail(MMIOINFO* info, MMRESULT error) {
    if (info != nullptr)
        info->wErrorRet = error;
    return nullptr;
}

// Loads the buffer with the file from `offset` on; false on a read error.
bool Fill(HMMIO h, uint32_t offset) {
    h->bufferOffset = offset;
    h->next = 0;
    h->valid = 0;
    if (h->memory || offset >= h->size)
        return true;
    if (std::fseek(h->file, static_cast<long>(offset), SEEK_SET) != 0)
        return false;
    size_t wanted = std::min<size_t>(h->capacity, h->size - offset);
    size_t got = std::fread(h->base, 1, wanted, h->file);
    h->valid = static_cast<uint32_t>(got);
    return got == wanted;
}

bool SeekTo(HMMIO h, uint64_t target) {
    if (target > h->size)
        return false;
    if (target >= h->bufferOffset && target <= static_cast<uint64_t>(h->bufferOffset) + h->valid) {
        h->next = static_cast<uint32_t>(target - h->bufferOffset);
    } else {
        h->bufferOffset = static_cast<uint32_t>(target);
        h->valid = 0;
        h->next = 0;
    }
    return true;
}

uint32_t ReadBytes(HMMIO h, char* destination, uint32_t bytes) {
    uint32_t done = 0;
    while (done < bytes) {
        if (h->next == h->valid) {
            if (h->Position() >= h->size || !Fill(h, h->Position()) || h->valid == 0)
                break;
        }
        uint32_t n = std::min(bytes - done, h->valid - h->next);
        std::memcpy(destination + done, h->base + h->next, n);
        h->next += n;
        done += n;
    }
    return done;
}

bool ReadWord(HMMIO h, uint32_t* value) {
    uint8_t bytes[4];
    if (ReadBytes(h, reinterpret_cast<char*>(bytes), 4) != 4)
        return false;
    *value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    return true;
}

bool TakeNext(HMMIO h, const MMIOINFO* info) {
    if (info->pchNext < h->base || info->pchNext > h->base + h->valid)
        return false;
    h->next = static_cast<uint32_t>(info->pchNext - h->base);
    return true;
}

} // namespace

HMMIO mmioOpenA(LPSTR fileName, MMIOINFO* info, DWORD flags) {
    if ((flags & ~MMIO_ALLOCBUF) != MMIO_READ)
        return Fail(info, MMSYSERR_INVALPARAM);
    if (info != nullptr && info->pIOProc != nullptr)
        return Fail(info, MMSYSERR_INVALPARAM);
    auto h = std::make_unique<HMMIO__>();
    if (info != nullptr && info->fccIOProc == FOURCC_MEM) {
        if (info->pchBuffer == nullptr || info->cchBuffer < 0)
            return Fail(info, MMSYSERR_INVALPARAM);
        h->memory = true;
        h->buffered = true;
        h->base = info->pchBuffer;
        h->capacity = h->size = h->valid = static_cast<uint32_t>(info->cchBuffer);
    } else {
        if (fileName == nullptr || (info != nullptr && info->pchBuffer != nullptr))
            return Fail(info, MMSYSERR_INVALPARAM);
        h->file = platform::OpenFile(fileName, "rb");
        if (h->file == nullptr)
            return Fail(info, MMIOERR_FILENOTFOUND);
        long length = -1;
        if (std::fseek(h->file, 0, SEEK_END) == 0)
            length = std::ftell(h->file);
        if (length < 0 || length > INT32_MAX) {
            std::fclose(h->file);
            return Fail(info, MMIOERR_CANNOTOPEN);
        }
        h->size = static_cast<uint32_t>(length);
        h->buffered = (flags & MMIO_ALLOCBUF) != 0;
        h->capacity = info != nullptr && info->cchBuffer > 0 ? static_cast<uint32_t>(info->cchBuffer)
                                                             : MMIO_DEFAULTBUFFER;
        h->storage.resize(h->capacity);
        h->base = h->storage.data();
    }
    if (info != nullptr)
        info->wErrorRet = MMSYSERR_NOERROR;
    return h.release();
}

MMRESULT mmioClose(HMMIO h, UINT) {
    if (h == nullptr)
        return MMSYSERR_INVALPARAM;
    if (h->file != nullptr)
        std::fclose(h->file);
    delete h;
    return MMSYSERR_NOERROR;
}

LONG mmioRead(HMMIO h, HPSTR destination, LONG bytes) {
    if (h == nullptr || bytes < 0 || (destination == nullptr && bytes > 0))
        return -1;
    return static_cast<LONG>(ReadBytes(h, destination, static_cast<uint32_t>(bytes)));
}

LONG mmioSeek(HMMIO h, LONG offset, int origin) {
    if (h == nullptr)
        return -1;
    int64_t from = origin == SEEK_SET   ? 0
                   : origin == SEEK_CUR ? h->Position()
                   : origin == SEEK_END ? h->size
                                        : -1;
    if (from < 0)
        return -1;
    int64_t target = from + offset;
    if (target < 0 || !SeekTo(h, static_cast<uint64_t>(target)))
        return -1;
    return static_cast<LONG>(target);
}

MMRESULT mmioDescend(HMMIO h, MMCKINFO* ck, const MMCKINFO* parent, UINT flags) {
    if (h == nullptr || ck == nullptr)
        return MMSYSERR_INVALPARAM;
    uint64_t limit = h->size;
    if (parent != nullptr)
        limit = std::min<uint64_t>(limit, static_cast<uint64_t>(parent->dwDataOffset) + parent->cksize);
    const bool find = (flags & (MMIO_FINDCHUNK | MMIO_FINDRIFF | MMIO_FINDLIST)) != 0;
    for (;;) {
        uint64_t start = h->Position();
        uint32_t id = 0;
        uint32_t declared = 0;
        if (start + 8 > limit || !ReadWord(h, &id) || !ReadWord(h, &declared))
            return MMIOERR_CHUNKNOTFOUND;
        uint64_t dataOffset = start + 8;
        // a size running past the parent or the file keeps only what is there
        uint32_t size = static_cast<uint32_t>(std::min<uint64_t>(declared, limit - dataOffset));
        bool list = id == FOURCC_RIFF || id == FOURCC_LIST;
        uint32_t type = 0;
        if (list && (size < 4 || !ReadWord(h, &type)) && !find)
            return MMIOERR_INVALIDFILE;
        bool match = !find || ((flags & MMIO_FINDCHUNK) && id == ck->ckid) ||
                     ((flags & MMIO_FINDRIFF) && id == FOURCC_RIFF && size >= 4 && type == ck->fccType) ||
                     ((flags & MMIO_FINDLIST) && id == FOURCC_LIST && size >= 4 && type == ck->fccType);
        if (match) {
            ck->ckid = id;
            ck->cksize = size;
            ck->fccType = list ? type : 0;
            ck->dwDataOffset = static_cast<DWORD>(dataOffset);
            ck->dwFlags = 0;
            SeekTo(h, dataOffset + (list ? 4 : 0));
            return MMSYSERR_NOERROR;
        }
        uint64_t after = std::min<uint64_t>(dataOffset + size + (size & 1u), limit);
        SeekTo(h, after);
    }
}

MMRESULT mmioAscend(HMMIO h, MMCKINFO* ck, UINT) {
    if (h == nullptr || ck == nullptr)
        return MMSYSERR_INVALPARAM;
    uint64_t after = static_cast<uint64_t>(ck->dwDataOffset) + ck->cksize + (ck->cksize & 1u);
    SeekTo(h, std::min<uint64_t>(after, h->size));
    return MMSYSERR_NOERROR;
}

MMRESULT mmioGetInfo(HMMIO h, MMIOINFO* info, UINT) {
    if (h == nullptr || info == nullptr)
        return MMSYSERR_INVALPARAM;
    *info = MMIOINFO{};
    info->dwFlags = h->buffered ? MMIO_ALLOCBUF : 0;
    info->fccIOProc = h->memory ? FOURCC_MEM : FOURCC_DOS;
    info->lBufOffset = static_cast<LONG>(h->bufferOffset);
    info->lDiskOffset = static_cast<LONG>(h->bufferOffset + h->valid);
    info->hmmio = h;
    if (h->buffered) {
        info->cchBuffer = static_cast<LONG>(h->capacity);
        info->pchBuffer = h->base;
        info->pchNext = h->base + h->next;
        info->pchEndRead = h->base + h->valid;
        info->pchEndWrite = h->base + h->capacity;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT mmioSetInfo(HMMIO h, const MMIOINFO* info, UINT) {
    if (h == nullptr || info == nullptr)
        return MMSYSERR_INVALPARAM;
    if (h->buffered && !TakeNext(h, info))
        return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOERROR;
}

MMRESULT mmioAdvance(HMMIO h, MMIOINFO* info, UINT flags) {
    if (h == nullptr || flags != MMIO_READ)
        return MMSYSERR_INVALPARAM;
    if (!h->buffered)
        return MMIOERR_UNBUFFERED;
    if (info != nullptr && !TakeNext(h, info))
        return MMSYSERR_INVALPARAM;
    if (!h->memory && !Fill(h, h->Position()))
        return MMIOERR_CANNOTREAD;
    if (info != nullptr)
        mmioGetInfo(h, info, 0);
    return MMSYSERR_NOERROR;
}

HRSRC FindResourceA(HMODULE, LPCSTR, LPCSTR) {
    return nullptr;
}
HGLOBAL LoadResource(HMODULE, HRSRC) {
    return nullptr;
}
DWORD SizeofResource(HMODULE, HRSRC) {
    return 0;
}
void* LockResource(HGLOBAL) {
    return nullptr;
}
