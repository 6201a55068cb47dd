// libFuzzer entry: the same bytes as "options.dat" and as "game.dat" through
// the options and progress loaders. Whatever the files hold, every loaded
// field lies in its range afterwards, the first mission is open, the helpers
// that index tables with loaded values stay inside them, and the repaired
// blocks are stable: written back and loaded again they do not change.
#include "fuzz_scratch.h"
#include "shell/game_state.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr int32_t kMaxCount = std::numeric_limits<int32_t>::max() - 1;

bool In(int32_t value, int32_t lo, int32_t hi) {
    return value >= lo && value <= hi;
}

bool In(float value, float lo, float hi) {
    return std::isfinite(value) && value >= lo && value <= hi;
}

void Check(bool holds) {
    if (!holds)
        __builtin_trap();
}

void CheckOptions(const Options& o) {
    Check(In(o.musicOn, 0, 1) && In(o.soundOn, 0, 1) && In(o.gameSpeedFactor, 0.25f, 1.75f));
    Check(In(o.thrustSpeed, 0, SpeedSettingCount - 1) && In(o.gameSpeed, 0, SpeedSettingCount - 1) &&
          In(o.menuSpeed, 0, SpeedSettingCount - 1) && In(o.difficulty, 0, DifficultyCount - 1));
}

void CheckProgress(const Progress& p) {
    for (const MissionProgress& m : p.missions)
        Check(In(m.unlocked, 0, 1) && m.reserved == 0 && In(m.bestScore, 0, kMaxCount) &&
              In(m.bestLevelIndex, 0, kMaxCount));
    Check(p.missions[0].unlocked == 1 && In(p.lastMission, 0, MissionCount - 1));
    Check(In(p.gamesPlayed, 0, kMaxCount) && In(p.lastScore, 0, kMaxCount) &&
          In(p.bestScoreEver, 0, kMaxCount) && In(p.lastLevelIndex, 0, kMaxCount) &&
          In(p.missionTicks, 0, kMaxCount));
    for (int32_t flag : p.BonusFlags)
        Check(In(flag, 0, 1));
    Check(In(p.hitStreak, 0, kMaxCount) && In(p.lastKillType, 0, EnemyTypeCount - 1) &&
          In(p.sameKillStreak, 0, kMaxCount) && In(p.killHeat, 0.0f, 10.0f) &&
          In(p.tipCounter, 0, kMaxCount));
}

// Written back as the game saves them (the block's image) and loaded again.
template <typename Block> void CheckStable(const char* file, Block& block, void (*load)(const char*)) {
    const Block before = block;
    fuzz::WriteWhole(file, reinterpret_cast<const uint8_t*>(&before), sizeof before);
    load(file);
    Check(std::memcmp(&before, &block, sizeof before) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnterScratchDirectory();
    fuzz::WriteWhole("options.dat", data, size);
    fuzz::WriteWhole("game.dat", data, size);
    SetDefaultOptions();
    LoadOptions("options.dat");
    CheckOptions(TheOptions);
    Check(GetSpeedName(TheOptions.gameSpeed) == SpeedNames[TheOptions.gameSpeed] &&
          GetDifficultyName(TheOptions.difficulty) == DifficultyNames[TheOptions.difficulty]);
    CheckStable("options.dat", TheOptions, LoadOptions);

    ClearProgress();
    LoadProgress("game.dat");
    CheckProgress(TheProgress);
    CheckStable("game.dat", TheProgress, LoadProgress);
    const float completion = CompletionPercentage();
    Check(In(completion, 5.0f, 100.0f));
    int32_t next = 0;
    const int32_t unlock = CheckUnlock(&next);
    Check(unlock == 0 ? next == -1000 : In(next, 1, MissionCount - 1) && In(unlock, 1, 2));
    CheckProgress(TheProgress);
    return 0;
}
