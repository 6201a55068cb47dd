// The software mixer behind the DirectSound substitute: each playing voice is
// resampled to the output rate by linear interpolation, scaled by its gain and
// summed into 16-bit stereo with clipping. Mono voices sound centred on both
// channels. Whoever touches a voice or the voice list holds Mutex(); Mix takes
// it itself, so it may run on another thread.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace platform {

struct MixerVoice {
    std::vector<uint8_t> data;  // 8-bit unsigned or 16-bit signed little-endian PCM
    uint32_t channels = 1;      // 1 or 2
    uint32_t bits = 16;         // 8 or 16
    uint32_t frequency = 22050; // source frames per second
    float gain = 1.0f;
    bool playing = false;
    bool looping = false;
    uint64_t position = 0; // in frames, 32.32 fixed point

    uint32_t FrameBytes() const { return channels * bits / 8; }
    uint32_t Frames() const { return static_cast<uint32_t>(data.size() / FrameBytes()); }
    uint32_t Frame() const { return static_cast<uint32_t>(position >> 32); }
    void SetFrame(uint32_t frame) { position = static_cast<uint64_t>(frame) << 32; }
};

// Hundredths of a decibel (0 .. -10000) as a linear factor; -10000 is silence.
float VolumeToGain(int32_t volume);

class Mixer {
  public:
    explicit Mixer(uint32_t outputRate);

    std::mutex& Mutex() { return mutex; }
    uint32_t OutputRate() const { return outputRate; }
    // Caller holds Mutex().
    void SetOutputRate(uint32_t rate) { outputRate = rate; }
    // Makes a voice audible (it must stay alive until Stop or its natural end,
    // after which the mixer forgets it). Caller holds Mutex().
    void Start(MixerVoice* voice);
    // Caller holds Mutex(). Harmless for voices that are not playing.
    void Stop(MixerVoice* voice);

    // Writes `frames` interleaved stereo frames. A voice that is not looping
    // stops at its end and its position returns to 0.
    void Mix(int16_t* out, uint32_t frames);

  private:
    void MixBlock(float* accumulator, uint32_t frames);

    std::mutex mutex;
    uint32_t outputRate;
    std::vector<MixerVoice*> voices;
};

} // namespace platform
