#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "game/mission_table.h"
#include "platform/crt_rand.h"

namespace {

// The play field's backdrop and tile layers, in the order its indices use.
const char* const Backdrops[] = {
    "dat\\256Moon.png",  "dat\\256Star.png",         "dat\\256Hex.png",       "dat\\256Storm.png",
    "dat\\256Night.png", "dat\\256nebStarCombo.png", "dat\\256RedGalaxy.png", "dat\\256Land.png",
};
const char* const Tiles[] = {
    "dat\\bandTile.png",  "dat\\cellsCTile.png", "dat\\flameTile.png",
    "dat\\cloudTile.png", "dat\\cloud2Tile.png", "dat\\marbleTile.png",
    "dat\\sandTile.png",  "dat\\cellsBTile.png", "dat\\cellsATile.png",
};

std::string LayerName(const char* const* names, int32_t index) {
    return index < 0 ? "none" : names[index];
}

} // namespace

TEST(MissionTable, FirstLevelLayersFollowFromTheFieldSeed) {
    struct Expected {
        const char* backdrop;
        const char* tile;
    };
    const Expected expected[MissionCount] = {
        {"dat\\256Star.png", "dat\\cellsATile.png"},
        {"dat\\256Hex.png", "dat\\bandTile.png"},
        {"dat\\256Night.png", "dat\\marbleTile.png"},
        {"dat\\256nebStarCombo.png", "dat\\cellsBTile.png"},
        {"dat\\256RedGalaxy.png", "none"},
        {"none", "dat\\cloud2Tile.png"},
        {"dat\\256Moon.png", "dat\\sandTile.png"},
        {"dat\\256Star.png", "dat\\bandTile.png"},
        {"dat\\256Hex.png", "dat\\cloudTile.png"},
        {"dat\\256Night.png", "dat\\marbleTile.png"},
    };
    for (int32_t mission = 0; mission < MissionCount; ++mission) {
        crt::srand(static_cast<uint32_t>(mission * 50));
        const int32_t backdrop = crt::rand() % 9 - 1;
        const int32_t tile = crt::rand() % 10 - 1;
        EXPECT_EQ(LayerName(Backdrops, backdrop), expected[mission].backdrop) << "mission " << mission;
        EXPECT_EQ(LayerName(Tiles, tile), expected[mission].tile) << "mission " << mission;
    }
}

TEST(MissionTable, NamesAndNozzleGeometryAreExact) {
    EXPECT_STREQ(GetMissionName(0), "Milk Run");
    EXPECT_STREQ(GetMissionName(3), "Count Contarro");
    EXPECT_STREQ(GetMissionName(7), "Du Kang's Horde");
    EXPECT_STREQ(GetMissionName(9), "Save the Universe!");
    const float angles[MissionCount] = {0.5f, 0.2f, 0.2f, 0.2f, 0.2f, 0.2f, 0.2f, 0.6f, 0.5f, 0.4f};
    const float distances[MissionCount] = {15.0f, 16.0f, 14.0f, 14.0f, 14.0f,
                                           16.0f, 15.0f, 15.0f, 15.0f, 15.0f};
    for (int32_t m = 0; m < MissionCount; ++m) {
        EXPECT_EQ(GetMissionInfo(m).nozzleAngle, angles[m]) << m;
        EXPECT_EQ(GetMissionInfo(m).nozzleDistance, distances[m]) << m;
    }
    EXPECT_STREQ(GetShipArt(0), "dat\\player\\playerc0006.png");
    EXPECT_STREQ(GetShipArt(7), "dat\\player\\playerA0002.png");
    EXPECT_STREQ(GetShipArt(9), "dat\\player\\playerA0015.png");
    EXPECT_STREQ(GetWeaponName(ProximityMine), "Proximity Mine");
    EXPECT_STREQ(GetWeaponName(ProtonLazer), "Proton Lazer");
    EXPECT_STREQ(GetWeaponName(ForceCone), "Force Cone");
}

TEST(MissionTable, WeaponAvailabilityRowsEndEveryAwardDraw) {
    for (int32_t kind = 0; kind < WeaponKindCount; ++kind)
        EXPECT_EQ(IsWeaponAvailable(9, kind), 1) << kind;
    for (int32_t kind : {0, 1, 4, 6})
        EXPECT_EQ(IsWeaponAvailable(3, kind), 0) << kind;
    for (int32_t kind : {2, 3, 5})
        EXPECT_EQ(IsWeaponAvailable(3, kind), 1) << kind;
    for (int32_t m = 0; m < MissionCount; ++m) {
        int32_t available = 0;
        for (int32_t kind = 0; kind < WeaponKindCount; ++kind)
            available += IsWeaponAvailable(m, kind);
        EXPECT_GE(available, 3) << "mission " << m;
    }
}

TEST(MissionTable, OutOfRangeIndicesStayInsideTheTables) {
    EXPECT_EQ(IsWeaponAvailable(-1, 0), 0);
    EXPECT_EQ(IsWeaponAvailable(10, 0), 0);
    EXPECT_EQ(IsWeaponAvailable(0, 7), 0);
    EXPECT_STREQ(GetMissionName(-5), "Milk Run");
    EXPECT_STREQ(GetMissionName(42), "Save the Universe!");
    EXPECT_STREQ(GetEnemyArt(96), "dat\\enemies\\warp0015.png");
    EXPECT_STREQ(GetWeaponName(-1), "Proximity Mine");
}

TEST(EnemyArt, StoredNamesArePaddedAndLookupsAreTrimmed) {
    for (int32_t type = 0; type < EnemyTypeCount; ++type) {
        EXPECT_EQ(std::strlen(EnemyArt[type]), 30u) << type;
        const std::string name = GetEnemyArt(type);
        EXPECT_EQ(name.rfind("dat\\enemies\\", 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".png") << name;
        EXPECT_EQ(name, std::string(EnemyArt[type]).substr(0, name.size()));
    }
    EXPECT_STREQ(GetEnemyArt(0), "dat\\enemies\\bloodWhite0013.png");
    EXPECT_STREQ(GetEnemyArt(6), "dat\\enemies\\brown0005.png");
    EXPECT_STREQ(GetEnemyArt(17), "dat\\enemies\\industrial0016.png");
    EXPECT_STREQ(GetEnemyArt(18), "dat\\enemies\\flame0002.png");
    EXPECT_STREQ(GetEnemyArt(53), "dat\\enemies\\cloud0016.png");
    EXPECT_STREQ(GetEnemyArt(95), "dat\\enemies\\warp0015.png");
}

TEST(MissionProgression, ThresholdsFollowTheMissionIndex) {
    EXPECT_EQ(UnlockLevelIndex(0), 6);
    EXPECT_EQ(ExcelLevelIndex(0), 9);
    // Mission 3 ended on index 12 is excelled, on index 11 only complete.
    EXPECT_GE(12, ExcelLevelIndex(3));
    EXPECT_LT(11, ExcelLevelIndex(3));
    EXPECT_GE(11, UnlockLevelIndex(3));
    EXPECT_EQ(UnlockLevelIndex(9), 15);
}
