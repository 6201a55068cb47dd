#include "shell/game_state.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/os/files.h"

// The blocks are written and read as their in-memory images.
static_assert(std::endian::native == std::endian::little);

const char SpeedNames[SpeedSettingCount][32] = {
    "Very Slow", "Slow", "Kinda Slow", "Normal", "Kinda Fast", "Fast", "Very Fast",
};

const char DifficultyNames[DifficultyCount][32] = {"Easy", "Normal", "Hard"};

namespace {

constexpr Options DefaultOptions = {1, 1, 1.0f, 3, 3, 3, 1};
constexpr Progress MakeFirstRunProgress() {
    Progress progress{};
    progress.missions[0].unlocked = 1;
    return progress;
}
constexpr Progress FirstRunProgress = MakeFirstRunProgress();
constexpr float SlowestSpeedFactor = 0.25f;
constexpr float FastestSpeedFactor = 0.25f * SpeedSettingCount;
constexpr float MaxKillHeat = 10.0f;
// Counters and level indices stop one short of the largest int32, so the
// game's next increment or its "index + 1" display never overflows.
constexpr int32_t MaxCount = std::numeric_limits<int32_t>::max() - 1;

void KeepInRange(int32_t& value, int32_t lo, int32_t hi, int32_t fallback) {
    if (value < lo || value > hi)
        value = fallback;
}

void KeepInRange(float& value, float lo, float hi, float fallback) {
    if (!std::isfinite(value) || value < lo || value > hi)
        value = fallback;
}

void RepairOptions(Options& options) {
    KeepInRange(options.musicOn, 0, 1, DefaultOptions.musicOn);
    KeepInRange(options.soundOn, 0, 1, DefaultOptions.soundOn);
    KeepInRange(options.gameSpeedFactor, SlowestSpeedFactor, FastestSpeedFactor,
                DefaultOptions.gameSpeedFactor);
    KeepInRange(options.thrustSpeed, 0, SpeedSettingCount - 1, DefaultOptions.thrustSpeed);
    KeepInRange(options.gameSpeed, 0, SpeedSettingCount - 1, DefaultOptions.gameSpeed);
    KeepInRange(options.menuSpeed, 0, SpeedSettingCount - 1, DefaultOptions.menuSpeed);
    KeepInRange(options.difficulty, 0, DifficultyCount - 1, DefaultOptions.difficulty);
}

// Every damaged field falls back to its default, except a mission's unlocked
// flag: a word other than 0 or 1 was never written by the game, and a damaged
// byte must not take away a mission the player had, so it reads as unlocked.
// The first mission is always open.
void RepairProgress(Progress& progress) {
    for (MissionProgress& mission : progress.missions) {
        KeepInRange(mission.unlocked, 0, 1, 1);
        mission.reserved = 0;
        KeepInRange(mission.bestScore, 0, MaxCount, 0);
        KeepInRange(mission.bestLevelIndex, 0, MaxCount, 0);
    }
    progress.missions[0].unlocked = 1;
    KeepInRange(progress.lastMission, 0, MissionCount - 1, 0);
    KeepInRange(progress.gamesPlayed, 0, MaxCount, 0);
    KeepInRange(progress.lastScore, 0, MaxCount, 0);
    KeepInRange(progress.bestScoreEver, 0, MaxCount, 0);
    KeepInRange(progress.lastLevelIndex, 0, MaxCount, 0);
    KeepInRange(progress.missionTicks, 0, MaxCount, 0);
    for (int32_t& flag : progress.BonusFlags)
        KeepInRange(flag, 0, 1, 0);
    KeepInRange(progress.hitStreak, 0, MaxCount, 0);
    KeepInRange(progress.lastKillType, 0, EnemyTypeCount - 1, 0);
    KeepInRange(progress.sameKillStreak, 0, MaxCount, 0);
    KeepInRange(progress.killHeat, 0.0f, MaxKillHeat, 0.0f);
    KeepInRange(progress.tipCounter, 0, MaxCount, 0);
}

template <typename Block> void ReadBlock(const char* file, Block& block) {
    FILE* stream = platform::OpenFile(file, "rb");
    if (stream == nullptr)
        return;
    std::fread(&block, 1, sizeof(Block), stream);
    std::fclose(stream);
}

} // namespace

Options TheOptions = DefaultOptions;
Progress TheProgress = FirstRunProgress;

const char* GetSpeedName(int32_t speed) {
    return SpeedNames[std::clamp(speed, 0, SpeedSettingCount - 1)];
}

const char* GetDifficultyName(int32_t difficulty) {
    return DifficultyNames[std::clamp(difficulty, 0, DifficultyCount - 1)];
}

void SetDefaultOptions() {
    TheOptions = DefaultOptions;
}

void ClearProgress() {
    TheProgress = FirstRunProgress;
}

void LoadOptions(const char* file) {
    ReadBlock(file, TheOptions);
    RepairOptions(TheOptions);
}

void LoadProgress(const char* file) {
    ReadBlock(file, TheProgress);
    RepairProgress(TheProgress);
}

bool SaveOptions(const char* file) {
    return platform::WriteFileAtomically(file, &TheOptions, sizeof(TheOptions));
}

bool SaveProgress(const char* file) {
    return platform::WriteFileAtomically(file, &TheProgress, sizeof(TheProgress));
}

int32_t CheckUnlock(int32_t* next) {
    const int32_t mission = TheProgress.lastMission;
    *next = -1000;
    if (mission < 0 || mission >= MissionCount - 1 || TheProgress.missions[mission + 1].unlocked != 0)
        return 0;
    if (TheProgress.lastLevelIndex >= UnlockLevelIndex(mission)) {
        TheProgress.missions[mission + 1].unlocked = 1;
        *next = mission + 1;
        return 1;
    }
    *next = mission + 1;
    return 2;
}

void UnlockAllMissions() {
    for (MissionProgress& mission : TheProgress.missions)
        mission.unlocked = 1;
}

int32_t UnlockedMissionCount() {
    return static_cast<int32_t>(std::count_if(std::begin(TheProgress.missions),
                                              std::end(TheProgress.missions),
                                              [](const MissionProgress& m) { return m.unlocked != 0; }));
}

int32_t ExcelledMissionCount() {
    int32_t count = 0;
    for (int32_t m = 0; m < MissionCount; ++m) {
        if (TheProgress.missions[m].bestLevelIndex >= ExcelLevelIndex(m))
            ++count;
    }
    return count;
}

float CompletionPercentage() {
    return static_cast<float>(UnlockedMissionCount() + ExcelledMissionCount()) * 5.0f;
}
