// Where the mixer's output goes: an SDL2 audio device that pulls it on SDL's
// audio thread, or a null sink on the main thread that mixes as the clock
// moves (headless) or on request (tests) and may write a 16-bit stereo WAV.
#pragma once

#include "platform/dsound/mixer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    // (Re)starts the output at `rate` Hz and sets the mixer's rate; the caller
    // must not hold the mixer's mutex. False when the device refuses the rate.
    virtual bool Start(uint32_t rate) = 0;
    // Null sinks driven by the clock mix up to timeGetTime(); a device output
    // notices here that its device has failed and goes on as such a sink.
    virtual void Pump() {}
    // Null sinks mix `frames` frames now and return them; others return nothing.
    virtual std::vector<int16_t> Render(uint32_t) { return {}; }
    // True for a null sink, and for a device output whose device has failed.
    virtual bool IsNull() const { return false; }
};

// Null when there is no audio device or it cannot be opened at `rate`. A
// device that fails later leaves the output mixing silently.
std::unique_ptr<AudioOutput> OpenSdlOutput(Mixer& mixer, uint32_t rate);
// A null sink. `clocked` mixes in step with timeGetTime(); `capturePath`, when
// not empty and no other capture is open, receives the mixed output as a WAV.
std::unique_ptr<AudioOutput> OpenNullOutput(Mixer& mixer, uint32_t rate, bool clocked,
                                            const std::string& capturePath);

} // namespace platform
