// The entry point: answers --help and --version, settles where the game's
// files live, and joins argv into the one command line the game parses.
#include "core/main_loop.h"
#include "engine/tweak_file.h"
#include "platform/harness/harness.h"
#include "platform/os/data_location.h"
#include "platform/os/display.h"
#include "platform/os/run_mode.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const kUsage = "Usage: backfire [-W] [-X | -Z]\n"
                           "A one-button arcade space shooter: SPACE launches weapons and boosts.\n"
                           "\n"
                           "  -W         play in a window instead of full screen\n"
                           "  -X         800 x 600 (the default)\n"
                           "  -Z         1024 x 768\n"
                           "  --help     show this text and exit\n"
                           "  --version  show the version and exit\n"
                           "\n"
                           "Option letters may be in either case and follow - or /.\n"
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
                           "  BACKFIRE_AUDIO_OUT=FILE.wav  headless only: write the mixed audio\n";

bool HasArgument(int argc, char** argv, const char* wanted) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], wanted) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
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
    // Refused before any file is touched and without the exit handlers, so a
    // start that cannot show the game leaves nothing behind.
    if (const std::string problem = platform::MissingDisplayProblem(platform::Headless()); !problem.empty()) {
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
    if (!platform::StartHarness())
        return 2;
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    int code = GameMain(nullptr, nullptr, commandLine.data(), SW_SHOWNORMAL);
    platform::StopHarness();
    return code;
}
