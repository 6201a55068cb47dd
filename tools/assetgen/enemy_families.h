// The sixteen enemy families. Each takes the member index (0..5) and the
// image side in pixels and describes the hull; members of one family share
// palette and shape language and differ in outline and detail.
#pragma once

#include "hull_renderer.h"

namespace assetgen {

HullPlan EnemyFamily(int family, int member, int side);

// Families 0..7 and 8..15, in two files.
HullPlan EnemyFamilyA(int family, int member, int side);
HullPlan EnemyFamilyB(int family, int member, int side);

} // namespace assetgen
