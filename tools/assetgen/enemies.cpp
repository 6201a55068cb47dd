// The 96 enemy images: 16 families of six, named as the enemy art table
// names them, growing from about 32 pixels in the first family to about 64
// in the last (the image size is the enemy's hit box).

#include <algorithm>
#include <cstdio>

#include "enemy_families.h"
#include "jobs.h"

namespace assetgen {

namespace {

struct FamilyNames {
    const char* stem;
    int numbers[6];
};

const FamilyNames kFamilies[16] = {
    {"bloodWhite", {13, 11, 12, 7, 22, 25}}, {"brown", {5, 7, 8, 10, 11, 12}},
    {"industrial", {0, 10, 12, 13, 15, 16}}, {"flame", {2, 4, 6, 8, 15, 17}},
    {"concrete", {1, 2, 10, 11, 17, 18}},    {"blueBrick", {1, 3, 5, 6, 9, 16}},
    {"greenCamo", {10, 18, 21, 24, 25, 26}}, {"hive", {0, 1, 5, 6, 10, 15}},
    {"cloud", {1, 5, 9, 11, 14, 16}},        {"mud", {0, 4, 5, 12, 13, 15}},
    {"purple", {2, 6, 9, 11, 13, 14}},       {"slime", {8, 9, 10, 11, 12, 13}},
    {"spiderFire", {7, 11, 12, 15, 18, 19}}, {"steelStars", {5, 7, 10, 13, 14, 15}},
    {"vent", {0, 2, 3, 5, 6, 10}},           {"warp", {1, 6, 7, 11, 12, 15}},
};

// Family f's members sit around 32 + 2f pixels, the later members a little
// larger than the first.
int EnemySide(int family, int member) {
    int side = 30 + 2 * family + (member * 4) / 5;
    return std::min(side + (side & 1), 64);
}

} // namespace

HullPlan EnemyFamily(int family, int member, int side) {
    HullPlan plan = family < 8 ? EnemyFamilyA(family, member, side) : EnemyFamilyB(family, member, side);
    plan.width = plan.height = side;
    return plan;
}

void AddEnemyJobs(std::vector<Job>& jobs) {
    for (int f = 0; f < 16; ++f)
        jobs.push_back([f](AssetSink& sink) {
            for (int m = 0; m < 6; ++m) {
                char name[64];
                std::snprintf(name, sizeof name, "enemies/%s%04d.png", kFamilies[f].stem,
                              kFamilies[f].numbers[m]);
                sink.Png(name, RenderHull(EnemyFamily(f, m, EnemySide(f, m))), Backing::Alpha);
            }
        });
}

} // namespace assetgen
