// Where the game's files live. Started in a folder holding dat/, the game
// reads that dat/ and, where the system lets a game folder keep its saves,
// keeps them there as before. Otherwise (an installed copy, and every start
// on Windows, whose programs live under Program Files) it keeps its saves in
// the user's data directory; the read-only data then comes from the first
// place that has it: the game folder's dat/, the install prefix, beside the
// program, $BACKFIRE_DATA.
#pragma once

#include <string>
#include <vector>

namespace platform {

// What the decision depends on. Empty strings mean unset.
struct LaunchEnvironment {
    std::string workingDirectory;    // absolute: where the game was started
    std::string executableDirectory; // absolute; empty when unknown
    std::string saveDirectory;       // absolute: the user's folder for the game's saves; empty: none
    std::string backfireData;        // $BACKFIRE_DATA as given: the data folder itself
    bool savesInGameFolder = true;   // a working folder holding dat/ also keeps the saves
};

struct FileLocation {
    std::string workingDirectory;      // where the game reads and writes its own files
    std::string dataRoot;              // the data folder; empty: dat/ of the working directory
    std::vector<std::string> problems; // one stderr line each
};

// The data folder of an installed copy whose program is in executableDirectory.
std::string InstalledDataDirectory(const std::string& executableDirectory);

// The places searched for the data, in order (relative $BACKFIRE_DATA is
// taken from the working directory).
std::vector<std::string> DataSearchPlaces(const LaunchEnvironment& environment);

// Decides where the files live, creating the save directory when it is
// needed. A save directory that cannot be created or written leaves the
// working directory where it was; missing data leaves dataRoot empty (the
// game then finds no art and draws nothing). Both are reported in problems.
FileLocation LocateFiles(const LaunchEnvironment& environment);

// Provided by each system's own files (os/posix/, os/windows/).

// This process's environment; the save folder is the one the system names
// for a user's application data.
LaunchEnvironment CurrentLaunchEnvironment();
// Why a launch environment has no save folder, as the message names it.
std::string NoSaveDirectoryReason();
// Creates the folder and its parents and checks that it can be written;
// the reason on failure, empty on success.
std::string PrepareDirectory(const std::string& path);

// A relative path in the environment variable `name` is made absolute
// against `base`; an unset or absolute one is left as it is.
void AnchorEnvironmentPath(const char* name, const std::string& base);
// Makes `path` the working directory; false with the reason on failure.
bool EnterDirectory(const std::string& path, std::string* reason);

// Prints the problems to stderr, changes to the working directory and sets
// the data root. Paths the harness reads from the environment (script, audio
// capture, instance lock) are made absolute first, so they keep naming the
// files they named where the game was started. True when the process now
// runs in another folder than the one it was started in.
bool UseFileLocation(const FileLocation& location, const LaunchEnvironment& environment);

} // namespace platform
