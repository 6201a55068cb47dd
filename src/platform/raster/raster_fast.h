// Internal to the rasterizer: the specialised scan behind DrawTriangle. It
// walks the same spans and leaves the same pixels as the reference scan: the
// texels of a run of pixels are fetched first, then shaded four at a time by
// a kernel compiled for the stage operations, alpha test and blend. Where the
// processor has AVX2, bilinear triangles with a flat diffuse colour are
// fetched and shaded eight at a time in one pass instead.
#pragma once

#include "platform/raster/raster_edges.h"
#include "platform/raster/raster_pipeline.h"

namespace platform {

enum class SampleKind : uint8_t { None, Point, Bilinear };

// level is read only when kind is not None; returns the covered pixel count.
int64_t ScanFast(const RasterState& st, const Geometry& g, const Edge (&edges)[3], const Planes& planes,
                 SampleKind kind, const TexelSource& level, bool gouraud, const RasterTarget& target);

// Bilinear runs use eight-wide AVX2 arithmetic where the processor has it.
// Tests turn that off to hold the SSE2 fetcher and kernels to the reference
// as well;
// turning it on has no effect without AVX2.
void UseWideVectors(bool on);
// Whether bilinear runs take the AVX2 path now.
bool WideVectorsInUse();

} // namespace platform
