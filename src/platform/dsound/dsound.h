// DirectSound 8 as the game uses it: one device object, the primary buffer
// (its format sets the output rate), and secondary buffers of 8-bit unsigned
// or 16-bit signed PCM that a software mixer resamples by their frequency,
// scales by their volume and sums into 16-bit stereo output. The output is an
// SDL2 audio device (mixed on SDL's audio thread), or in headless mode a null
// sink that mixes in step with timeGetTime() and can write a WAV capture.
// 3D interfaces store and return their parameters; sound is never placed.
#pragma once

#include "platform/d3d8/d3d8.h"

#include <cstdint>
#include <vector>

using REFIID = const GUID&;

constexpr HRESULT DS_OK = 0;
constexpr HRESULT DS_NO_VIRTUALIZATION = 0x0878000A;
constexpr HRESULT MakeDsError(uint32_t code) {
    return static_cast<HRESULT>(0x88780000u | code);
}
constexpr HRESULT DSERR_ALLOCATED = MakeDsError(10);
constexpr HRESULT DSERR_CONTROLUNAVAIL = MakeDsError(30);
constexpr HRESULT DSERR_INVALIDCALL = MakeDsError(50);
constexpr HRESULT DSERR_PRIOLEVELNEEDED = MakeDsError(70);
constexpr HRESULT DSERR_BADFORMAT = MakeDsError(100);
constexpr HRESULT DSERR_NODRIVER = MakeDsError(120);
constexpr HRESULT DSERR_BUFFERLOST = MakeDsError(150);
constexpr HRESULT DSERR_UNINITIALIZED = MakeDsError(170);
constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DSERR_NOINTERFACE = E_NOINTERFACE;
constexpr HRESULT DSERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DSERR_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);

constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_EXCLUSIVE = 3;
constexpr DWORD DSSCL_WRITEPRIMARY = 4;

constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x01;
constexpr DWORD DSBCAPS_STATIC = 0x02;
constexpr DWORD DSBCAPS_LOCHARDWARE = 0x04;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x08;
constexpr DWORD DSBCAPS_CTRL3D = 0x10;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr DWORD DSBCAPS_CTRLPAN = 0x40;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x10000;

constexpr DWORD DSBPLAY_LOOPING = 0x1;
constexpr DWORD DSBSTATUS_PLAYING = 0x1;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x2;
constexpr DWORD DSBSTATUS_LOOPING = 0x4;
constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x1;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x2;

constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 200000;
constexpr DWORD DSBSIZE_MIN = 4;
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;

constexpr DWORD DS3DMODE_NORMAL = 0;
constexpr DWORD DS3DMODE_HEADRELATIVE = 1;
constexpr DWORD DS3DMODE_DISABLE = 2;
constexpr DWORD DS3D_IMMEDIATE = 0;
constexpr DWORD DS3D_DEFERRED = 1;

constexpr WORD WAVE_FORMAT_PCM = 1;

#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize; // bytes of format-specific data that follow the structure
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

struct DSBUFFERDESC {
    DWORD dwSize; // sizeof(DSBUFFERDESC)
    DWORD dwFlags;
    DWORD dwBufferBytes; // 0 for the primary buffer
    DWORD dwReserved;
    const WAVEFORMATEX* lpwfxFormat; // null for the primary buffer
    GUID guid3DAlgorithm;
};

struct DSVECTOR {
    float x, y, z;
};

struct DS3DBUFFER {
    DWORD dwSize; // must be 64
    DSVECTOR vPosition;
    DSVECTOR vVelocity;
    DWORD dwInsideConeAngle;
    DWORD dwOutsideConeAngle;
    DSVECTOR vConeOrientation;
    LONG lConeOutsideVolume;
    float flMinDistance;
    float flMaxDistance;
    DWORD dwMode;
};
static_assert(sizeof(DS3DBUFFER) == 64);

struct DS3DLISTENER {
    DWORD dwSize; // must be 64
    DSVECTOR vPosition;
    DSVECTOR vVelocity;
    DSVECTOR vOrientFront;
    DSVECTOR vOrientTop;
    float flDistanceFactor;
    float flRolloffFactor;
    float flDopplerFactor;
};
static_assert(sizeof(DS3DLISTENER) == 64);

// Our own identifiers, only their identity matters. Each file has its own
// copy, so a static link beside the system's own DirectSound (SDL's, on
// Windows) meets no second definition of the name.
constexpr GUID GUID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
constexpr GUID DS3DALG_NO_VIRTUALIZATION{0xBAC0F001u, 0x0001, 0x0001, {'b', 'f', 'n', 'o', 'v', 'i', 'r', 't'}};
constexpr GUID IID_IDirectSound3DBuffer{0xBAC0F001u, 0x0002, 0x0001, {'b', 'f', '3', 'd', 'b', 'u', 'f', 'f'}};
constexpr GUID IID_IDirectSound3DListener{0xBAC0F001u, 0x0003, 0x0001, {'b', 'f', '3', 'd', 'l', 'i', 's', 't'}};

class IDirectSound3DBuffer : public IUnknown {
  public:
    // DSERR_INVALIDPARAM unless the record's dwSize is 64.
    virtual HRESULT GetAllParameters(DS3DBUFFER* parameters) = 0;
    virtual HRESULT SetAllParameters(const DS3DBUFFER* parameters, DWORD apply) = 0;
};

class IDirectSound3DListener : public IUnknown {
  public:
    // DSERR_INVALIDPARAM unless the record's dwSize is 64.
    virtual HRESULT GetAllParameters(DS3DLISTENER* parameters) = 0;
    virtual HRESULT SetAllParameters(const DS3DLISTENER* parameters, DWORD apply) = 0;
};

// Positions and sizes are in bytes of the buffer's own format. A method that
// does not apply to the kind of buffer (primary or secondary) returns
// DSERR_INVALIDCALL; a control the buffer was not created with returns
// DSERR_CONTROLUNAVAIL.
class IDirectSoundBuffer : public IUnknown {
  public:
    // IID_IDirectSound3DBuffer (secondary buffers with DSBCAPS_CTRL3D) or
    // IID_IDirectSound3DListener (the primary buffer with DSBCAPS_CTRL3D).
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    // The play cursor is the byte the mixer takes next; everything before it
    // has been mixed, so the write cursor equals it.
    virtual HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) = 0;
    virtual HRESULT GetFrequency(DWORD* frequency) = 0;
    virtual HRESULT GetStatus(DWORD* status) = 0;
    // The primary buffer's format; its rate becomes the output rate (the
    // output always mixes 16-bit stereo).
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    // Bytes [offset, offset + bytes) wrapping at the end of the buffer into the
    // second region (which needs second/secondBytes). Written data reaches the
    // mixer at Unlock.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** first, DWORD* firstBytes, void** second,
                         DWORD* secondBytes, DWORD flags) = 0;
    virtual HRESULT Unlock(void* first, DWORD firstBytes, void* second, DWORD secondBytes) = 0;
    // Plays from the play cursor; a playing buffer keeps its cursor and takes the new flags.
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    // DSBFREQUENCY_ORIGINAL (0) or DSBFREQUENCY_MIN..DSBFREQUENCY_MAX Hz.
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    // Hundredths of a decibel, DSBVOLUME_MIN (silence) to DSBVOLUME_MAX.
    virtual HRESULT SetVolume(LONG volume) = 0;
    // A lost buffer comes back silent and stopped; its contents must be rewritten.
    virtual HRESULT Restore() = 0;
};

class IDirectSound8 : public IUnknown {
  public:
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    // Secondary buffers: PCM, 1 or 2 channels of 8 or 16 bits, 100..200000 Hz,
    // DSBSIZE_MIN..DSBSIZE_MAX bytes; a DSBCAPS_CTRL3D buffer must be mono.
    // The primary buffer (DSBCAPS_PRIMARYBUFFER) has no size and no format.
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                                      IUnknown* outer) = 0;
};

// A null device means the default one. Fails with DSERR_NODRIVER when there
// is no audio device or it cannot be opened; the game then runs silent.
HRESULT DirectSoundCreate8(const GUID* device, IDirectSound8** directSound, IUnknown* outer);

namespace platform {

// Headless only: mixes the output up to timeGetTime(). Every DirectSound call
// does this itself; the harness may call it after each tick as well.
void PumpAudio();
// Rewrites the BACKFIRE_AUDIO_OUT capture's WAV header for what was written so
// far (it is also fixed when the last DirectSound object goes away).
void FlushAudioCapture();

// For tests: how the next DirectSoundCreate8 gets its output.
enum class AudioBackend {
    Automatic,   // SDL2 audio; in headless mode the clocked null sink
    ClockedNull, // null sink mixed in step with timeGetTime(), capture as configured
    ManualNull,  // null sink mixed only by RenderAudio
    None,        // no device: DirectSoundCreate8 fails
};
void ForceAudioBackend(AudioBackend backend);
// For tests: mixes `frames` frames on the newest null-sink device and returns
// them as interleaved 16-bit stereo (empty without such a device).
std::vector<int16_t> RenderAudio(uint32_t frames);
// For tests: the newest device's output rate in Hz (0 without a device).
uint32_t AudioOutputRate();
// For tests: marks every secondary buffer of the newest device as lost.
void LoseSoundBuffers();

} // namespace platform
