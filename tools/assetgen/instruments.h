// The instruments of the music: each renders one note (or hit) into a fresh
// buffer that starts at the note's onset and includes its release.
#pragma once

#include "synth.h"

namespace assetgen {

Samples Kick(float punch); // punch 0 soft .. 1 hard
Samples Snare(float brightness, uint32_t seed);
Samples HiHat(bool open, uint32_t seed);
Samples PadNote(float note, float seconds);
Samples PluckNote(float note, float brightness);
Samples BassNote(float note, float seconds, float drive);
Samples LeadNote(float note, float seconds);

} // namespace assetgen
