// The ten missions and the constant name tables indexed by mission, weapon
// kind and enemy type. All look-ups are pure reads of constant data; an index
// outside its table is clamped into it (names) or reads as "not available"
// (weapon flags), so a bad index never reads outside the tables.
#pragma once

#include <cstdint>

constexpr int32_t MissionCount = 10;
constexpr int32_t WeaponKindCount = 7;
constexpr int32_t EnemyTypeCount = 96;
constexpr int32_t EnemyTypesPerArtSet = 6;
constexpr int32_t NameSlotSize = 32;

struct MissionInfo {
    char name[128];
    float nozzleAngle;    // radians off straight back, for each of the two nozzles
    float nozzleDistance; // from the ship centre; the exhaust sits at 1.7 times this
};

enum WeaponKind : int32_t {
    ProximityMine = 0,
    HammerheadMissile = 1,
    RapidfireBeams = 2,
    ScatterBeams = 3,
    DeathBlossom = 4,
    ProtonLazer = 5,
    ForceCone = 6,
};

extern const MissionInfo MissionTable[MissionCount];
extern const char ShipArt[MissionCount][NameSlotSize];
extern const char WeaponNames[WeaponKindCount][NameSlotSize];
// Row = mission, column = weapon kind; 1 = may be awarded in that mission.
extern const int32_t WeaponAvailability[MissionCount][WeaponKindCount];
// File names filled up with trailing blanks to 30 characters; the blanks are
// not part of the name. Use GetEnemyArt for a name that can be opened.
extern const char EnemyArt[EnemyTypeCount][NameSlotSize];

const char* GetMissionName(int32_t mission);
const MissionInfo& GetMissionInfo(int32_t mission);
int32_t IsWeaponAvailable(int32_t mission, int32_t kind);
const char* GetWeaponName(int32_t kind);
const char* GetShipArt(int32_t mission);
// The enemy type's file name without its trailing blanks.
const char* GetEnemyArt(int32_t type);

// The 0-based level index a mission must reach to unlock the next mission
// (the HUD shows it as "Level mission + 7"), and the one it must reach to
// count as excelled (three levels more).
int32_t UnlockLevelIndex(int32_t mission);
int32_t ExcelLevelIndex(int32_t mission);
