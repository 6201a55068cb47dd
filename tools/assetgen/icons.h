// The desktop icon: the first mission's ship on a round space badge, written
// as hicolor PNGs (icons/hicolor/<n>x<n>/apps/) beside dat/.
#pragma once

#include <string>

#include "hull_renderer.h"

namespace assetgen {

// The icon sizes written, in pixels.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The plan of player ship i (0..9), 48 x 48, nose up; defined with the ships.
HullPlan PlayerShipPlan(int i);

// The icon at size x size pixels.
Image RenderIcon(int size);

// Writes every size under <build>/icons; false when a file could not be written.
bool WriteIcons(const std::string& buildDir, const std::string& appId);

} // namespace assetgen
