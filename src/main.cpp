// The entry point: answers --help and --version, reads a replay to watch or
// verify, settles where the game's files live, and joins the remaining
// arguments into the one command line the game parses.
#include "core/main_loop.h"
#include "engine/tweak_file.h"
#include "platform/harness/harness.h"
#include "platform/os/console.h"
#include "platform/os/data_location.h"
#include "platform/os/display.h"
#include "platform/os/program_entry.h"
#include "platform/os/run_mode.h"
#include "shell/replay_mode.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kUsage = "Usage: backfire [-W] [-X | -Z] [--replay FILE [--verify]]\n"
                           "A one-button arcade space shooter: SPACE launches weapons and boosts.\n"
                           "\n"
                           "  -W             play in a window instead of full screen\n"
                           "  -X             800 x 600 (the default)\n"
                           "  -Z             1024 x 768\n"
                           "  --replay FILE  watch a recorded mission (Escape leaves), saving nothing\n"
                           "  --verify       with --replay: play it headless at full speed, print the\n"
                           "                 score, level and ticks reached, and exit with 3 when they\n"
                           "                 differ from the recorded ones\n"
                           "  --help         show this text and exit\n"
                           "  --version      show the version and exit\n"
                           "\n"
                           "Option letters may be in either case and follow - or /.\n"
                           "\n"
                           "Every mission that reaches its results is kept in replays/last.bfr in the\n"
                           "folder of the settings, and one that sets a new best score for mission N in\n"
                           "replays/mission-N-best.bfr.\n"
                           "\n"
                           "Started in a folder that holds dat/, the game reads dat/ there and keeps its\n"
                           "settings and progress in that folder. Started anywhere else, it keeps them in\n"
                           "$XDG_DATA_HOME/backfire (by default ~/.local/share/backfire) and reads its data\n"
                           "from the first of: <prefix>/share/backfire/dat, dat/ beside the program,\n"
                           "$BACKFIRE_DATA.\n"
                           "\n"
                           "Environment:\n"
                           "  XDG_DATA_HOME           where the save folder is made (absolute paths only)\n"
                           "  BACKFIRE_DATA=DIR       a folder holding the game data, searched last\n"
                           "  BACKFIRE_HEADLESS=1     no window and no audio device, virtual clock\n"
                           "  BACKFIRE_SCRIPT=FILE    an input script of timed key and mouse events\n"
                           "  BACKFIRE_MAX_TICKS=N    close the window after N ticks\n"
                           "  BACKFIRE_INSTANCE_LOCK=FILE  the single-instance lock file\n"
                           "  BACKFIRE_AUDIO_OUT=FILE.wav  headless only: write the mixed audio\n"
                           "  BACKFIRE_SCALING=MODE   how the picture fills a larger screen or window:\n"
                           "                          sharp (the default: whole pixels, smoothed only\n"
                           "                          the last fraction), whole (whole factors only,\n"
                           "                          wider bars) or smooth\n";

// Exit code of a verified replay whose outcome differs from the recorded one.
constexpr int kReplayDiffers = 3;

bool HasArgument(int argc, char** argv, const char* wanted) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], wanted) == 0)
            return true;
    return false;
}

[[noreturn]] void Refuse(const std::string& message) {
    std::fprintf(stderr, "backfire: %s\n", message.c_str());
    std::fflush(stderr);
    std::_Exit(2);
}

// Takes --replay FILE and --verify out of the arguments and reads the replay
// (from where the game was started). A missing or bad file is refused with
// exit code 2 before anything is touched.
std::vector<std::string> TakeReplayArguments(std::vector<std::string> arguments, WatchedReplay* watched) {
    std::vector<std::string> rest;
    const char* file = nullptr;
    bool verify = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--verify") {
            verify = true;
        } else if (arguments[i] == "--replay") {
            if (i + 1 == arguments.size())
                Refuse("--replay needs the replay file to play");
            file = arguments[++i].c_str();
        } else {
            rest.push_back(arguments[i]);
        }
    }
    if (file == nullptr) {
        if (verify)
            Refuse("--verify needs --replay FILE");
        return rest;
    }
    std::string error;
    if (!ReadReplayFile(file, &watched->replay, &error))
        Refuse(error);
    watched->verify = verify;
    TheWatchedReplay = watched;
    FirstModeFactory = CreateReplayMode;
    return rest;
}

// Prints what a verified replay reached; the exit code says whether it is
// what was recorded.
int ReportVerifiedReplay(const WatchedReplay& watched) {
    const ReplayOutcome& recorded = watched.replay.outcome;
    if (!watched.reached) {
        std::fprintf(stderr, "backfire: the replay ended before its mission did\n");
        return kReplayDiffers;
    }
    const ReplayOutcome& reached = *watched.reached;
    std::printf("score %d00 level %d ticks %u\n", reached.score, reached.levelIndex + 1, reached.ticks);
    std::fflush(stdout);
    if (reached.score == recorded.score && reached.levelIndex == recorded.levelIndex &&
        reached.ticks == recorded.ticks)
        return 0;
    std::fprintf(stderr, "backfire: the replay differs from its recording: score %d00 level %d ticks %u\n",
                 recorded.score, recorded.levelIndex + 1, recorded.ticks);
    return kReplayDiffers;
}

} // namespace

int main(int argc, char** argv) {
    platform::UseStartingConsole();
    // Answered without the exit handlers, so no tuning file is left behind.
    if (HasArgument(argc, argv, "--help")) {
        std::fputs(kUsage, stdout);
        std::fflush(stdout);
        std::_Exit(0);
    }
    if (HasArgument(argc, argv, "--version")) {
        std::printf("backfire %s\n", BACKFIRE_VERSION);
        std::fflush(stdout);
        std::_Exit(0);
    }
    static WatchedReplay watched;
    const std::vector<std::string> arguments = TakeReplayArguments({argv + 1, argv + argc}, &watched);
    // Refused before any file is touched and without the exit handlers, so a
    // start that cannot show the game leaves nothing behind.
    const bool headless = watched.verify || platform::Headless();
    if (const std::string problem = platform::MissingDisplayProblem(headless); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::fflush(stderr);
        std::_Exit(2);
    }
    platform::LaunchEnvironment environment = platform::CurrentLaunchEnvironment();
    if (platform::UseFileLocation(platform::LocateFiles(environment), environment)) {
        // The tuning store read tweaks.dat before main, where the game was
        // started; it belongs to the folder the game now runs in.
        delete TheTweakList;
        TheTweakList = nullptr;
        LoadTweaks();
    }
    if (!platform::StartHarness(watched.verify))
        return 2;
    std::string commandLine;
    for (const std::string& argument : arguments) {
        if (!commandLine.empty())
            commandLine += ' ';
        commandLine += argument;
    }
    int code = GameMain(nullptr, nullptr, commandLine.data(), SW_SHOWNORMAL);
    platform::StopHarness();
    if (code == 0 && watched.verify)
        code = ReportVerifiedReplay(watched);
    return code;
}
