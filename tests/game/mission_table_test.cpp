#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "game/mission_table.h"
#include "platform/os/crt_rand.h"

TEST(MissionTable, FirstLevelLayersFollowFromTheFieldSeed) {
    // The play field's layers in the order of its indices; -1 is "none".
    const char* const backdrops[] = {"256Moon",  "256Star",         "256Hex",       "256Storm",
                                     "256Night", "256nebStarCombo", "256RedGalaxy", "256Land"};
    const char* const tiles[] = {"bandTile",   "cellsCTile", "flameTile",  "cloudTile", "cloud2Tile",
                                 "marbleTile", "sandTile",   "cellsBTile", "cellsATile"};
    const char* const expected[MissionCount][2] = {
        {"256Star", "cellsATile"},         {"256Hex", "bandTile"},   {"256Night", "marbleTile"},
        {"256nebStarCombo", "cellsBTile"}, {"256RedGalaxy", "none"}, {"none", "cloud2Tile"},
        {"256Moon", "sandTile"},           {"256Star", "bandTile"},  {"256Hex", "cloudTile"},
        {"256Night", "marbleTile"},
    };
    for (int32_t mission = 0; mission < MissionCount; ++mission) {
        crt::srand(static_cast<uint32_t>(mission * 50));
        const int32_t backdrop = crt::rand() % 9 - 1;
        const int32_t tile = crt::rand() % 10 - 1;
        EXPECT_STREQ(backdrop < 0 ? "none" : backdrops[backdrop], expected[mission][0]) << mission;
        EXPECT_STREQ(tile < 0 ? "none" : tiles[tile], expected[mission][1]) << mission;
    }
}

TEST(MissionTable, WeaponRowsAndIndexEdges) {
    for (int32_t kind = 0; kind < WeaponKindCount; ++kind)
        EXPECT_EQ(IsWeaponAvailable(9, kind), 1) << kind;
    for (int32_t kind : {0, 1, 4, 6})
        EXPECT_EQ(IsWeaponAvailable(3, kind), 0) << kind;
    // Every row lets the award draw end.
    for (int32_t m = 0; m < MissionCount; ++m) {
        int32_t available = 0;
        for (int32_t kind = 0; kind < WeaponKindCount; ++kind)
            available += IsWeaponAvailable(m, kind);
        EXPECT_GE(available, 3) << m;
    }
    EXPECT_EQ(GetMissionInfo(7).nozzleAngle, 0.6f);
    EXPECT_EQ(GetMissionInfo(1).nozzleDistance, 16.0f);
    EXPECT_STREQ(GetShipArt(9), "dat\\player\\playerA0015.png");
    // Indices outside the tables never read past them.
    EXPECT_EQ(IsWeaponAvailable(10, 0), 0);
    EXPECT_EQ(IsWeaponAvailable(0, -1), 0);
    EXPECT_STREQ(GetMissionName(-5), "Milk Run");
    EXPECT_STREQ(GetMissionName(42), "Save the Universe!");
    EXPECT_STREQ(GetWeaponName(7), "Force Cone");
}

TEST(EnemyArt, StoredNamesArePaddedAndLookupsAreTrimmed) {
    for (int32_t type = 0; type < EnemyTypeCount; ++type) {
        EXPECT_EQ(std::strlen(EnemyArt[type]), 30u) << type;
        const std::string name = GetEnemyArt(type);
        EXPECT_EQ(name.rfind("dat\\enemies\\", 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".png") << name;
    }
    EXPECT_STREQ(GetEnemyArt(0), "dat\\enemies\\bloodWhite0013.png");
    EXPECT_STREQ(GetEnemyArt(6), "dat\\enemies\\brown0005.png");
    EXPECT_STREQ(GetEnemyArt(17), "dat\\enemies\\industrial0016.png");
    EXPECT_STREQ(GetEnemyArt(18), "dat\\enemies\\flame0002.png");
    EXPECT_STREQ(GetEnemyArt(95), "dat\\enemies\\warp0015.png");
    EXPECT_STREQ(GetEnemyArt(200), "dat\\enemies\\warp0015.png");
}
