#include "shell/replay_store.h"

#include "platform/os/files.h"
#include "shell/replay_file.h"

const char* const LastReplayName = "replays\\last.bfr";

namespace {

constexpr const char* Folder = "replays";

// The previous best waiting for game.dat to be saved; empty when none.
std::string pendingPrevious;

} // namespace

std::string BestReplayName(int32_t mission) {
    return "replays\\mission-" + std::to_string(mission + 1) + "-best.bfr";
}

std::string PreviousBestReplayName(int32_t mission) {
    return "replays\\mission-" + std::to_string(mission + 1) + "-best.prev.bfr";
}

bool KeepFinishedRun(const Replay& replay, bool newBest) {
    if (!platform::MakeFolder(Folder))
        return false;
    const bool kept = WriteReplayFile(LastReplayName, replay);
    if (!newBest)
        return kept;
    const std::string best = BestReplayName(replay.mission);
    const std::string previous = PreviousBestReplayName(replay.mission);
    // An older previous best stays when game.dat was never saved after it:
    // that is still the one game.dat's best score belongs to.
    if (pendingPrevious != previous) {
        if (platform::RenameFile(best.c_str(), previous.c_str()))
            pendingPrevious = previous;
        else
            platform::RemoveFile(previous.c_str()); // there was no best before
    }
    return WriteReplayFile(best, replay) && kept;
}

void ForgetPreviousBest() {
    if (pendingPrevious.empty())
        return;
    platform::RemoveFile(pendingPrevious.c_str());
    pendingPrevious.clear();
}
