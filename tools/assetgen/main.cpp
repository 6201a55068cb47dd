// assetgen <build dir>: writes every picture, sound and piece of music of the
// game into <build dir>/dat/, the contact sheet and the desktop icons beside
// it. The output depends only on this program, never on time or machine.

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "contact_sheet.h"
#include "icons.h"
#include "jobs.h"
#include "text_renderer.h"
#include "writers.h"

using namespace assetgen;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen <build dir>\n");
        return 2;
    }
    std::filesystem::path build = argv[1];
    std::error_code error;
    std::filesystem::create_directories(build / "dat", error);
    if (!TextAvailable()) {
        std::fprintf(stderr, "assetgen: the DejaVu Sans Bold face was not found\n");
        return 1;
    }
    std::vector<Job> jobs;
    // Long jobs first, so the two workers finish together.
    AddMusicJobs(jobs);
    AddBackdropJobs(jobs);
    AddTileJobs(jobs);
    AddExplosionJobs(jobs);
    AddEnemyJobs(jobs);
    AddPlayerShipJobs(jobs);
    AddEffectJobs(jobs);
    AddHudJobs(jobs);
    AddLettering(jobs);
    AddEmblemJobs(jobs);
    AddSoundJobs(jobs);

    AssetSink sink((build / "dat").string());
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++)
            jobs[i](sink);
    };
    std::thread second(worker);
    worker();
    second.join();

    Image sheet = BuildContactSheet(sink.Entries());
    bool sheetWritten = WritePng((build / "dat-contact-sheet.png").string(), sheet, true);
    bool iconsWritten = WriteIcons(build.string(), BACKFIRE_APP_ID);
    if (!iconsWritten)
        std::fprintf(stderr, "assetgen: could not write the icons\n");
    std::vector<std::string> failures = sink.Failures();
    for (const std::string& name : failures)
        std::fprintf(stderr, "assetgen: could not write dat/%s\n", name.c_str());
    return failures.empty() && sheetWritten && iconsWritten ? 0 : 1;
}
