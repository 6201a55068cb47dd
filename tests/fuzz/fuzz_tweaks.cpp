// libFuzzer entry: bytes as "tweaks.dat" through the tweak file reader. Any
// file must load without a crash into entries whose texts fit their fields,
// and what the store writes back must read back as itself: saving the
// reloaded list gives the same file again, so hand edits survive every run.
#include "engine/tweak_file.h"
#include "fuzz_scratch.h"

#include <cstdlib>
#include <cstring>

namespace {

void CheckEntries(TweakList& list) {
    for (DataObject* item = list.entries.First(); item; item = list.entries.Next()) {
        auto* entry = static_cast<TweakEntry*>(item);
        if (std::strlen(entry->GetName()) > 255 ||
            std::memchr(entry->description, '\0', sizeof entry->description) == nullptr ||
            std::strlen(entry->description) > 126)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnterScratchDirectory();
    fuzz::WriteWhole(TweakFileName, data, size);
    std::string written;
    {
        TweakList list;
        list.Load(TweakFileName);
        CheckEntries(list);
        if (!list.Save("first.dat"))
            std::abort();
        written = fuzz::ReadWhole("first.dat");
    }
    TweakList reloaded;
    reloaded.Load("first.dat");
    CheckEntries(reloaded);
    if (!reloaded.Save("second.dat") || fuzz::ReadWhole("second.dat") != written)
        std::abort();
    return 0;
}
