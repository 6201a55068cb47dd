#include "game/mission_table.h"

#include <algorithm>
#include <cstring>

const MissionInfo MissionTable[MissionCount] = {
    {"Milk Run", 0.5f, 15.0f},           {"Blood Pirates", 0.2f, 16.0f},   {"Flame Nebula", 0.2f, 14.0f},
    {"Count Contarro", 0.2f, 14.0f},     {"Ssauo Ten", 0.2f, 14.0f},       {"The Hive", 0.2f, 16.0f},
    {"Modoral Province", 0.2f, 15.0f},   {"Du Kang's Horde", 0.6f, 15.0f}, {"Silver Radiance", 0.5f, 15.0f},
    {"Save the Universe!", 0.4f, 15.0f},
};

const char ShipArt[MissionCount][NameSlotSize] = {
    "dat\\player\\playerc0006.png", "dat\\player\\playerc0014.png", "dat\\player\\playerc0002.png",
    "dat\\player\\playerc0001.png", "dat\\player\\playerc0012.png", "dat\\player\\playerc0013.png",
    "dat\\player\\playerc0004.png", "dat\\player\\playerA0002.png", "dat\\player\\playerA0001.png",
    "dat\\player\\playerA0015.png",
};

const char WeaponNames[WeaponKindCount][NameSlotSize] = {
    "Proximity Mine", "Hammerhead Missile", "Rapidfire Beams", "Scatter Beams",
    "Death Blossom",  "Proton Lazer",       "Force Cone",
};

const int32_t WeaponAvailability[MissionCount][WeaponKindCount] = {
    {1, 0, 1, 1, 0, 0, 0}, {1, 1, 0, 1, 0, 0, 0}, {1, 0, 1, 0, 1, 0, 0}, {0, 0, 1, 1, 0, 1, 0},
    {1, 0, 1, 1, 0, 0, 1}, {1, 1, 0, 0, 1, 1, 1}, {1, 1, 0, 1, 1, 1, 1}, {0, 1, 1, 1, 1, 1, 1},
    {1, 1, 1, 1, 0, 1, 1}, {1, 1, 1, 1, 1, 1, 1},
};

const char EnemyArt[EnemyTypeCount][NameSlotSize] = {
    "dat\\enemies\\bloodWhite0013.png", "dat\\enemies\\bloodWhite0011.png",
    "dat\\enemies\\bloodWhite0012.png", "dat\\enemies\\bloodWhite0007.png",
    "dat\\enemies\\bloodWhite0022.png", "dat\\enemies\\bloodWhite0025.png",
    "dat\\enemies\\brown0005.png     ", "dat\\enemies\\brown0007.png     ",
    "dat\\enemies\\brown0008.png     ", "dat\\enemies\\brown0010.png     ",
    "dat\\enemies\\brown0011.png     ", "dat\\enemies\\brown0012.png     ",
    "dat\\enemies\\industrial0000.png", "dat\\enemies\\industrial0010.png",
    "dat\\enemies\\industrial0012.png", "dat\\enemies\\industrial0013.png",
    "dat\\enemies\\industrial0015.png", "dat\\enemies\\industrial0016.png",
    "dat\\enemies\\flame0002.png     ", "dat\\enemies\\flame0004.png     ",
    "dat\\enemies\\flame0006.png     ", "dat\\enemies\\flame0008.png     ",
    "dat\\enemies\\flame0015.png     ", "dat\\enemies\\flame0017.png     ",
    "dat\\enemies\\concrete0001.png  ", "dat\\enemies\\concrete0002.png  ",
    "dat\\enemies\\concrete0010.png  ", "dat\\enemies\\concrete0011.png  ",
    "dat\\enemies\\concrete0017.png  ", "dat\\enemies\\concrete0018.png  ",
    "dat\\enemies\\blueBrick0001.png ", "dat\\enemies\\blueBrick0003.png ",
    "dat\\enemies\\blueBrick0005.png ", "dat\\enemies\\blueBrick0006.png ",
    "dat\\enemies\\blueBrick0009.png ", "dat\\enemies\\blueBrick0016.png ",
    "dat\\enemies\\greenCamo0010.png ", "dat\\enemies\\greenCamo0018.png ",
    "dat\\enemies\\greenCamo0021.png ", "dat\\enemies\\greenCamo0024.png ",
    "dat\\enemies\\greenCamo0025.png ", "dat\\enemies\\greenCamo0026.png ",
    "dat\\enemies\\hive0000.png      ", "dat\\enemies\\hive0001.png      ",
    "dat\\enemies\\hive0005.png      ", "dat\\enemies\\hive0006.png      ",
    "dat\\enemies\\hive0010.png      ", "dat\\enemies\\hive0015.png      ",
    "dat\\enemies\\cloud0001.png     ", "dat\\enemies\\cloud0005.png     ",
    "dat\\enemies\\cloud0009.png     ", "dat\\enemies\\cloud0011.png     ",
    "dat\\enemies\\cloud0014.png     ", "dat\\enemies\\cloud0016.png     ",
    "dat\\enemies\\mud0000.png       ", "dat\\enemies\\mud0004.png       ",
    "dat\\enemies\\mud0005.png       ", "dat\\enemies\\mud0012.png       ",
    "dat\\enemies\\mud0013.png       ", "dat\\enemies\\mud0015.png       ",
    "dat\\enemies\\purple0002.png    ", "dat\\enemies\\purple0006.png    ",
    "dat\\enemies\\purple0009.png    ", "dat\\enemies\\purple0011.png    ",
    "dat\\enemies\\purple0013.png    ", "dat\\enemies\\purple0014.png    ",
    "dat\\enemies\\slime0008.png     ", "dat\\enemies\\slime0009.png     ",
    "dat\\enemies\\slime0010.png     ", "dat\\enemies\\slime0011.png     ",
    "dat\\enemies\\slime0012.png     ", "dat\\enemies\\slime0013.png     ",
    "dat\\enemies\\spiderFire0007.png", "dat\\enemies\\spiderFire0011.png",
    "dat\\enemies\\spiderFire0012.png", "dat\\enemies\\spiderFire0015.png",
    "dat\\enemies\\spiderFire0018.png", "dat\\enemies\\spiderFire0019.png",
    "dat\\enemies\\steelStars0005.png", "dat\\enemies\\steelStars0007.png",
    "dat\\enemies\\steelStars0010.png", "dat\\enemies\\steelStars0013.png",
    "dat\\enemies\\steelStars0014.png", "dat\\enemies\\steelStars0015.png",
    "dat\\enemies\\vent0000.png      ", "dat\\enemies\\vent0002.png      ",
    "dat\\enemies\\vent0003.png      ", "dat\\enemies\\vent0005.png      ",
    "dat\\enemies\\vent0006.png      ", "dat\\enemies\\vent0010.png      ",
    "dat\\enemies\\warp0001.png      ", "dat\\enemies\\warp0006.png      ",
    "dat\\enemies\\warp0007.png      ", "dat\\enemies\\warp0011.png      ",
    "dat\\enemies\\warp0012.png      ", "dat\\enemies\\warp0015.png      ",
};

namespace {

int32_t ClampIndex(int32_t index, int32_t count) {
    return std::clamp(index, 0, count - 1);
}

// EnemyArt without its trailing blanks, built once.
struct TrimmedEnemyArt {
    char names[EnemyTypeCount][NameSlotSize];

    TrimmedEnemyArt() {
        for (int32_t type = 0; type < EnemyTypeCount; ++type) {
            size_t length = strnlen(EnemyArt[type], NameSlotSize);
            while (length > 0 && EnemyArt[type][length - 1] == ' ')
                --length;
            std::memcpy(names[type], EnemyArt[type], length);
            names[type][length] = '\0';
        }
    }
};

} // namespace

const char* GetMissionName(int32_t mission) {
    return GetMissionInfo(mission).name;
}

const MissionInfo& GetMissionInfo(int32_t mission) {
    return MissionTable[ClampIndex(mission, MissionCount)];
}

int32_t IsWeaponAvailable(int32_t mission, int32_t kind) {
    if (mission < 0 || mission >= MissionCount || kind < 0 || kind >= WeaponKindCount)
        return 0;
    return WeaponAvailability[mission][kind];
}

const char* GetWeaponName(int32_t kind) {
    return WeaponNames[ClampIndex(kind, WeaponKindCount)];
}

const char* GetShipArt(int32_t mission) {
    return ShipArt[ClampIndex(mission, MissionCount)];
}

const char* GetEnemyArt(int32_t type) {
    static const TrimmedEnemyArt trimmed;
    return trimmed.names[ClampIndex(type, EnemyTypeCount)];
}

int32_t UnlockLevelIndex(int32_t mission) {
    return mission + 6;
}

int32_t ExcelLevelIndex(int32_t mission) {
    return mission + 9;
}
