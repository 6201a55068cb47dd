// The decision of where the files live, the same on every system: only the
// launch environment and the folder calls come from the system's own files.
#include "platform/os/data_location.h"

#include "platform/os/files.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {
namespace {

// The game's paths are UTF-8 text; on Windows a path made from plain char
// text would read it in another encoding.
fs::path PathOf(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string TextOf(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool IsDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(PathOf(path), error);
}

std::string Normal(const fs::path& path) {
    return TextOf(path.lexically_normal());
}

} // namespace

std::string InstalledDataDirectory(const std::string& executableDirectory) {
    return Normal(PathOf(executableDirectory) / BACKFIRE_DATA_FROM_BINARY);
}

std::vector<std::string> DataSearchPlaces(const LaunchEnvironment& environment) {
    std::vector<std::string> places;
    if (!environment.executableDirectory.empty()) {
        places.push_back(InstalledDataDirectory(environment.executableDirectory));
        places.push_back(Normal(PathOf(environment.executableDirectory) / "dat"));
    }
    if (!environment.backfireData.empty())
        places.push_back(Normal(PathOf(environment.workingDirectory) / PathOf(environment.backfireData)));
    return places;
}

FileLocation LocateFiles(const LaunchEnvironment& environment) {
    FileLocation location;
    location.workingDirectory = environment.workingDirectory;
    // A game folder (the build folder, a test sandbox) is used as it is where
    // the system allows; elsewhere only its data is.
    const std::string gameData = ResolvePath(TextOf(PathOf(environment.workingDirectory) / "dat").c_str());
    const bool inGameFolder = IsDirectory(gameData);
    if (inGameFolder && environment.savesInGameFolder)
        return location;

    const std::string& save = environment.saveDirectory;
    if (save.empty()) {
        location.problems.push_back("backfire: " + NoSaveDirectoryReason() + "; keeping the saved files in " +
                                    environment.workingDirectory);
    } else if (std::string reason = PrepareDirectory(save); !reason.empty()) {
        location.problems.push_back("backfire: cannot use the save directory " + save + " (" + reason +
                                    "); keeping the saved files in " + environment.workingDirectory);
    } else {
        location.workingDirectory = save;
    }

    if (inGameFolder) {
        location.dataRoot = Normal(PathOf(gameData));
        return location;
    }
    std::vector<std::string> places = DataSearchPlaces(environment);
    for (const std::string& place : places) {
        if (IsDirectory(place)) {
            location.dataRoot = place;
            return location;
        }
    }
    std::string searched = Normal(PathOf(environment.workingDirectory) / "dat");
    for (const std::string& place : places)
        searched += ", " + place;
    if (environment.backfireData.empty())
        searched += " (BACKFIRE_DATA is unset)";
    location.problems.push_back("backfire: the game data was not found; searched " + searched);
    return location;
}

bool UseFileLocation(const FileLocation& location, const LaunchEnvironment& environment) {
    for (const std::string& problem : location.problems)
        std::fprintf(stderr, "%s\n", problem.c_str());
    SetDataRoot(location.dataRoot);
    if (location.workingDirectory == environment.workingDirectory)
        return false;
    for (const char* name : {"BACKFIRE_SCRIPT", "BACKFIRE_AUDIO_OUT", "BACKFIRE_INSTANCE_LOCK"})
        AnchorEnvironmentPath(name, environment.workingDirectory);
    if (std::string reason; !EnterDirectory(location.workingDirectory, &reason)) {
        std::fprintf(stderr, "backfire: cannot enter %s (%s); keeping the saved files in %s\n",
                     location.workingDirectory.c_str(), reason.c_str(), environment.workingDirectory.c_str());
        return false;
    }
    return true;
}

} // namespace platform
