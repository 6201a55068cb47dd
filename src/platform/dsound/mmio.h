// The multimedia file functions as the game uses them: buffered, read-only
// RIFF chunk reading from files (named as the game names them) and from
// memory blocks. A chunk whose size runs past its parent or the end of the
// file is clamped to what is there; reads never leave the file or block.
#pragma once

#include "platform/win32/win32.h"

#include <cstdint>
#include <cstdio> // SEEK_SET, SEEK_CUR, SEEK_END for mmioSeek

using FOURCC = DWORD;
using MMRESULT = UINT;
using HPSTR = char*;

struct HMMIO__;
using HMMIO = HMMIO__*;

constexpr FOURCC mmioFOURCC(char a, char b, char c, char d) {
    return static_cast<FOURCC>(static_cast<uint8_t>(a)) |
           (static_cast<FOURCC>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<FOURCC>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<FOURCC>(static_cast<uint8_t>(d)) << 24);
}

constexpr FOURCC FOURCC_RIFF = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC FOURCC_LIST = mmioFOURCC('L', 'I', 'S', 'T');
constexpr FOURCC FOURCC_DOS = mmioFOURCC('D', 'O', 'S', ' ');
constexpr FOURCC FOURCC_MEM = mmioFOURCC('M', 'E', 'M', ' ');

constexpr DWORD MMIO_READ = 0x00000000;
constexpr DWORD MMIO_WRITE = 0x00000001;
constexpr DWORD MMIO_READWRITE = 0x00000002;
constexpr DWORD MMIO_ALLOCBUF = 0x00010000;
constexpr UINT MMIO_FINDCHUNK = 0x0010;
constexpr UINT MMIO_FINDRIFF = 0x0020;
constexpr UINT MMIO_FINDLIST = 0x0040;
constexpr UINT MMIO_DEFAULTBUFFER = 8192;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MMIOERR_BASE = 256;
constexpr MMRESULT MMIOERR_FILENOTFOUND = MMIOERR_BASE + 1;
constexpr MMRESULT MMIOERR_OUTOFMEMORY = MMIOERR_BASE + 2;
constexpr MMRESULT MMIOERR_CANNOTOPEN = MMIOERR_BASE + 3;
constexpr MMRESULT MMIOERR_CANNOTREAD = MMIOERR_BASE + 5;
constexpr MMRESULT MMIOERR_CANNOTSEEK = MMIOERR_BASE + 7;
constexpr MMRESULT MMIOERR_CHUNKNOTFOUND = MMIOERR_BASE + 9;
constexpr MMRESULT MMIOERR_UNBUFFERED = MMIOERR_BASE + 10;
constexpr MMRESULT MMIOERR_INVALIDFILE = MMIOERR_BASE + 16;

// The buffer state shared with the caller by mmioGetInfo / mmioAdvance /
// mmioSetInfo: bytes [pchNext, pchEndRead) are read but not yet consumed.
struct MMIOINFO {
    DWORD dwFlags;
    FOURCC fccIOProc; // FOURCC_MEM opens the block pchBuffer .. pchBuffer + cchBuffer
    void* pIOProc;
    UINT wErrorRet;
    LONG cchBuffer;
    HPSTR pchBuffer;
    HPSTR pchNext;
    HPSTR pchEndRead;
    HPSTR pchEndWrite;
    LONG lBufOffset; // file offset of pchBuffer
    LONG lDiskOffset;
    DWORD adwInfo[3];
    HMMIO hmmio;
};

struct MMCKINFO {
    FOURCC ckid;
    DWORD cksize;       // bytes of data, not counting the 8-byte header or the pad byte
    FOURCC fccType;     // form or list type of "RIFF" and "LIST" chunks
    DWORD dwDataOffset; // file offset of the data (of the form type for "RIFF"/"LIST")
    DWORD dwFlags;
};

// Read mode only. Files go through platform::ResolvePath. With `info` whose
// fccIOProc is FOURCC_MEM, the caller's block is the file (it must outlive the
// handle). Null on failure, with the reason in info->wErrorRet when given.
HMMIO mmioOpenA(LPSTR fileName, MMIOINFO* info, DWORD flags);
MMRESULT mmioClose(HMMIO file, UINT flags);
// Bytes read (0 at the end), -1 on error.
LONG mmioRead(HMMIO file, HPSTR destination, LONG bytes);
// The new offset, or -1 for an offset outside the file (nothing moves).
LONG mmioSeek(HMMIO file, LONG offset, int origin);
// Reads the chunk header at the current offset (MMIO_FINDCHUNK: the first
// chunk with ck->ckid; MMIO_FINDRIFF / MMIO_FINDLIST: the first "RIFF" / "LIST"
// of type ck->fccType), staying inside `parent` when given, and leaves the
// offset at the chunk's data (after the form type for "RIFF"/"LIST").
MMRESULT mmioDescend(HMMIO file, MMCKINFO* ck, const MMCKINFO* parent, UINT flags);
// Moves to just past the chunk and its pad byte.
MMRESULT mmioAscend(HMMIO file, MMCKINFO* ck, UINT flags);
MMRESULT mmioGetInfo(HMMIO file, MMIOINFO* info, UINT flags);
// Takes back the caller's pchNext (it must lie in the buffer's read data).
MMRESULT mmioSetInfo(HMMIO file, const MMIOINFO* info, UINT flags);
// Takes back pchNext, then refills the buffer from there; at the end of the
// file it succeeds with pchNext == pchEndRead.
MMRESULT mmioAdvance(HMMIO file, MMIOINFO* info, UINT flags);

// Module resources: the game carries none, so nothing is ever found.
struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = void*;
using HMODULE = HINSTANCE;
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
void* LockResource(HGLOBAL data);
