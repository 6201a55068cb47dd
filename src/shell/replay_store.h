// Finished missions kept in the save folder: replays\last.bfr after every
// mission that reached its results, and replays\mission-<n>-best.bfr (n from
// 1) after one that set a new best score for mission n. The best it replaces
// is kept as replays\mission-<n>-best.prev.bfr until game.dat, which holds the
// matching best score, has been saved.
#pragma once

#include <string>

struct Replay;

// The file names of mission index `mission` (0-based).
std::string BestReplayName(int32_t mission);
std::string PreviousBestReplayName(int32_t mission);
extern const char* const LastReplayName;

// Writes the files, each atomically. Like the saves, a replay that cannot be
// written (a full disk, a read-only folder) is given up quietly and the
// others are still tried; false when any failed.
bool KeepFinishedRun(const Replay& replay, bool newBest);
// game.dat now holds the new best: the previous best replay is removed.
void ForgetPreviousBest();
