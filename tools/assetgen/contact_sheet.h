// One picture showing every generated image with its name and size, so the
// art can be judged at a glance.
#pragma once

#include <vector>

#include "asset_sink.h"

namespace assetgen {

Image BuildContactSheet(const std::vector<SheetEntry>& entries);

} // namespace assetgen
