// Music streamed from an Ogg Vorbis file into a looping sound buffer (the
// buffer of dat\blank.wav, whose format is the format of the streamed audio):
// while one half plays, Tick refills the other from the decoder. Audio whose
// channel count or rate differs from the buffer's is mixed down or resampled
// on the way, so pitch and speed stay right. Without a running sound system
// Play, Stop and Tick do nothing.
#pragma once

#include "engine/sound.h"

#include <cstdint>
#include <cstdio>
#include <memory>

struct OggVorbis_File;

class MusicStream {
  public:
    std::unique_ptr<WaveSound> buffer;
    FILE* file = nullptr; // the open music file; the stream is playing exactly when it is set
    std::unique_ptr<OggVorbis_File> decoder;
    int32_t bitstream = 0;
    int32_t nextHalf = 0; // the half of `buffer` to be refilled next
    // 1 while playing normally; set it below 1 to fade out (by 0.01 a tick),
    // after which the stream stops.
    float volume = 1.0f;

    MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;
    ~MusicStream();

    // Starts the file from its beginning, looping for ever; a playing stream
    // is stopped first. The buffer's Play result; 0 without a sound system,
    // E_FAIL (and the stream stays stopped) for a file that cannot be opened
    // or is no Ogg Vorbis stream.
    HRESULT Play(const char* fileName);
    void Stop();
    // Refills the half that is not playing, sets the volume, advances a fade.
    void Tick();

  private:
    struct Conversion;

    // Decodes up to `bytes` bytes in the buffer's format; like ov_read, 0 at
    // the end of the stream and negative on an error.
    long Decode(uint8_t* destination, uint32_t bytes);
    // Fills a whole section, looping at the end of the stream; what the
    // decoder cannot give stays silent.
    void Fill(uint8_t* destination, uint32_t bytes);
    long PullFrame(float* frame);

    std::unique_ptr<Conversion> conversion;
};
