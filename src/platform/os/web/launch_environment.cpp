// The launch environment in the browser: the page's data package puts dat/
// at the root of the in-memory file system, and the page mounts the save
// folder, kept in IndexedDB, before the game starts.
#include "platform/os/data_location.h"

#include "platform/os/web/save_folder.h"

#include <cstdlib>

namespace platform {

LaunchEnvironment CurrentLaunchEnvironment() {
    LaunchEnvironment environment;
    environment.workingDirectory = "/";
    environment.saveDirectory = kWebSaveFolder;
    const char* data = std::getenv("BACKFIRE_DATA");
    environment.backfireData = data != nullptr ? data : "";
    environment.savesInGameFolder = false;
    return environment;
}

} // namespace platform
