#include "engine/tweak_file.h"

#include <cstdlib>

// A plain pointer, not an owning wrapper: it must still hold the list when the
// exit handler runs, whatever order the run-time tears statics down in.
TweakList* TheTweakList = nullptr;

void LoadTweaks() {
    if (TheTweakList)
        return;
    TheTweakList = new TweakList;
    TheTweakList->Load(TweakFileName);
    std::atexit(SaveTweaks);
}

void SaveTweaks() {
    if (!TheTweakList)
        return;
    TheTweakList->Save(TweakFileName);
    delete TheTweakList;
    TheTweakList = nullptr;
}

namespace {

// Loads the store during static initialisation, before main.
struct TweakLoader {
    TweakLoader() { LoadTweaks(); }
};
TweakLoader loader;

} // namespace
