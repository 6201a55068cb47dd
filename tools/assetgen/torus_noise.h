// Noise on a torus: every function repeats with the given integer period in
// both axes, so pictures made from it tile without a seam.
#pragma once

#include <cstdint>

namespace assetgen {

// Gradient noise, about -1..1, period `period` lattice cells in x and y.
float TorusNoise(float x, float y, int period, uint32_t seed);

// Fractal sum of octaves over unit coordinates u, v (one image = 0..1): the
// first octave has basePeriod cells across, each further one twice as many
// at `gain` times the amplitude. Roughly -1..1.
float TorusFbm(float u, float v, int basePeriod, int octaves, float gain, uint32_t seed);

// The same with absolute values folded (ridges and veins), 0..1.
float TorusRidged(float u, float v, int basePeriod, int octaves, uint32_t seed);

// Cellular noise: distances to the nearest and second nearest of one random
// point per cell on a period x period grid over unit coordinates, the
// distance to the wall of the nearest point's cell (all in cell units), and
// the hash of that cell.
struct CellSample {
    float f1, f2, edge;
    uint32_t cell;
};
CellSample TorusCells(float u, float v, int period, uint32_t seed);

} // namespace assetgen
