// The two blocks of lasting game state and their files: the options block
// (options.dat, 28 bytes) and the progress block (game.dat, 224 bytes). Each
// file is the block's exact little-endian byte image, with no header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/mission_table.h"

constexpr int32_t SpeedSettingCount = 7;
constexpr int32_t DifficultyCount = 3;
constexpr int32_t BonusFlagCount = 5;

struct Options {
    int32_t musicOn;       // 0/1
    int32_t soundOn;       // 0/1
    float gameSpeedFactor; // play-field step per tick, 0.25 x (gameSpeed + 1)
    int32_t thrustSpeed;   // 0..6, index into SpeedNames
    int32_t gameSpeed;     // 0..6
    int32_t menuSpeed;     // 0..6
    int32_t difficulty;    // 0 Easy, 1 Normal, 2 Hard
};

struct MissionProgress {
    int32_t unlocked;       // 0/1
    int32_t reserved;       // always 0
    int32_t bestScore;      // in hundreds
    int32_t bestLevelIndex; // 0-based
};

struct Progress {
    MissionProgress missions[MissionCount];
    int32_t lastMission;
    int32_t gamesPlayed;
    int32_t lastScore; // in hundreds; the running score while playing
    int32_t bestScoreEver;
    int32_t lastLevelIndex; // the running level while playing
    int32_t missionTicks;   // ticks of the last game; minutes are this / 1800
    int32_t BonusFlags[BonusFlagCount];
    int32_t hitStreak;
    int32_t lastKillType;
    int32_t sameKillStreak;
    float killHeat;
    int32_t tipCounter; // results screens shown
};

static_assert(sizeof(Options) == 28);
static_assert(offsetof(Options, gameSpeedFactor) == 8);
static_assert(offsetof(Options, difficulty) == 24);
static_assert(sizeof(MissionProgress) == 16);
static_assert(sizeof(Progress) == 224);
static_assert(offsetof(Progress, lastMission) == 160);
static_assert(offsetof(Progress, missionTicks) == 180);
static_assert(offsetof(Progress, BonusFlags) == 184);
static_assert(offsetof(Progress, hitStreak) == 204);
static_assert(offsetof(Progress, killHeat) == 216);
static_assert(offsetof(Progress, tipCounter) == 220);

extern Options TheOptions;
extern Progress TheProgress;

extern const char SpeedNames[SpeedSettingCount][32];
extern const char DifficultyNames[DifficultyCount][32];
// Names for a setting; an index out of range is clamped into the table.
const char* GetSpeedName(int32_t speed);
const char* GetDifficultyName(int32_t difficulty);

// Music and sound on, every speed "Normal", difficulty "Normal", factor 1.0.
void SetDefaultOptions();
// All zero, with the first mission unlocked.
void ClearProgress();

// Read up to the block's size from the file over the current block (a short
// or missing file leaves the rest as it was), then put every field that lies
// outside its range back to its default, so no loaded value can misindex a
// table or count; a mission's damaged unlocked flag reads as unlocked.
void LoadOptions(const char* file);
void LoadProgress(const char* file);
// Write the whole block. The old file is replaced only once the new bytes are
// safely on disk; false (and the old file untouched) when that fails.
bool SaveOptions(const char* file);
bool SaveProgress(const char* file);

// The unlock decision for the game that just ended (lastMission,
// lastLevelIndex). Returns 1 and unlocks `next` when the level was high
// enough, 2 with `next` the mission still to be unlocked when it was not, and
// 0 with `next` = -1000 when there is nothing left to unlock.
int32_t CheckUnlock(int32_t* next);
void UnlockAllMissions();

int32_t UnlockedMissionCount();
int32_t ExcelledMissionCount();
// 5 per unlocked and per excelled mission: 100 at ten and ten.
float CompletionPercentage();
