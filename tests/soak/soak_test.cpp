// Long runs of the real binary, headless, on a seeded random input script
// that keeps the game cycling through the main menu, its toggles, the option
// menus, the mission select and missions: 200,000 ticks (about 87 minutes of
// game time) on the binary as built, and a shorter run under valgrind's
// memcheck. Each must end by the tick limit with exit code 0, having started
// still running at its last tick, and keep its resident memory flat once
// warmed up.
#include "file_bytes.h"
#include "soak/soak_process.h"
#include "soak/soak_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using test_files::Read;
using test_files::Write;

int32_t Field(const std::string& block, size_t offset) {
    int32_t value = 0;
    if (block.size() >= offset + sizeof value)
        std::memcpy(&value, block.data() + offset, sizeof value);
    return value;
}

// A returning player's progress: every mission open and one game played, so
// "Play" always opens the mission select with the same ten rows.
std::string AllMissionsOpen() {
    std::string block(224, '\0');
    for (int m = 0; m < 10; ++m)
        block[16 * m] = 1;
    block[164] = 1;
    return block;
}

// The sanitizer keeps freed memory in quarantine (256 MB unless told
// otherwise) before reusing it; a small quarantine lets the resident size
// level off within the run.
#if defined(__SANITIZE_ADDRESS__)
const char* const kSanitizerOptions = "quarantine_size_mb=32";
#else
const char* const kSanitizerOptions = "";
#endif

struct SoakOutcome {
    soak::RunResult run;
    bool lastFrameSaved = false;
    int32_t menuSpeed = -1;
};

SoakOutcome Soak(const soak::Folder& folder, const soak::Script& script, const std::vector<std::string>& wrapper,
                 std::chrono::seconds timeout) {
    Write(folder.Path() / "game.dat", AllMissionsOpen());
    Write(folder.Path() / "script.txt", script.text);
    SoakOutcome outcome;
    outcome.run = soak::Run(folder, wrapper,
                            {{"ASAN_OPTIONS", kSanitizerOptions},
                             {"BACKFIRE_HEADLESS", "1"},
                             {"BACKFIRE_SCRIPT", (folder.Path() / "script.txt").string()},
                             {"BACKFIRE_MAX_TICKS", std::to_string(script.ticks)},
                             {"BACKFIRE_INSTANCE_LOCK", (folder.Path() / "instance.lock").string()}},
                            timeout);
    outcome.lastFrameSaved = fs::exists(folder.Path() / soak::kLastFrame);
    outcome.menuSpeed = Field(Read(folder.Path() / "options.dat"), 20);
    return outcome;
}

// BACKFIRE_SOAK_TICKS and BACKFIRE_MEMCHECK_TICKS shorten or lengthen the runs.
int TicksFor(const char* variable, int fallback) {
    const char* text = std::getenv(variable);
    return text != nullptr && std::atoi(text) >= 5000 ? std::atoi(text) : fallback;
}

void ExpectCycledThroughTheScript(const SoakOutcome& outcome) {
    EXPECT_FALSE(outcome.run.timedOut);
    EXPECT_EQ(outcome.run.exitCode, 0) << outcome.run.errors;
    // a script out of step with the game soon takes "QUIT GAME" or the menu-speed menu
    EXPECT_TRUE(outcome.lastFrameSaved) << "the game ended before its tick limit";
    EXPECT_EQ(outcome.menuSpeed, 3);
}

} // namespace

TEST(Soak, TwoHundredThousandTicksOfRandomPlay) {
    const soak::Script script = soak::MakeScript(20260601u, TicksFor("BACKFIRE_SOAK_TICKS", 200000));
    ASSERT_GE(script.missions, std::max(1, script.ticks / 6000));
    soak::Folder folder;
    const SoakOutcome outcome = Soak(folder, script, {}, std::chrono::seconds(7000));
    ExpectCycledThroughTheScript(outcome);

    const auto& samples = outcome.run.residentKilobytes;
    ASSERT_GE(samples.size(), 8u) << "too few memory samples";
    // warmed up once a quarter of the run is done; from then on the
    // resident size may wobble but not climb
    const size_t warm = samples.size() / 4;
    const long warmedUp = samples[warm];
    const long peakAfter = *std::max_element(samples.begin() + static_cast<long>(warm), samples.end());
    std::printf("soak: %d missions, %.0f s, resident KiB first %ld, warmed up %ld, peak after %ld, last %ld\n",
                script.missions, outcome.run.seconds, samples.front(), warmedUp, peakAfter, samples.back());
#if defined(__SANITIZE_ADDRESS__)
    const long allowance = 64 * 1024; // the quarantine and the sanitizer's own caches fill up
#else
    const long allowance = 8 * 1024;
#endif
    EXPECT_LE(peakAfter, warmedUp + allowance);
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(Soak, TwentyThousandTicksUnderMemcheck) {
    if (!fs::exists("/usr/bin/valgrind"))
        GTEST_SKIP() << "valgrind is not installed";
    const soak::Script script = soak::MakeScript(20260602u, TicksFor("BACKFIRE_MEMCHECK_TICKS", 20000));
    ASSERT_GE(script.missions, std::max(1, script.ticks / 6000));
    soak::Folder folder;
    const fs::path log = folder.Path() / "memcheck.txt";
    const std::string suppressions = std::string(BACKFIRE_SOURCE_DIR) + "/tests/soak/memcheck.supp";
    const SoakOutcome outcome = Soak(folder, script,
                                     {"/usr/bin/valgrind", "--error-exitcode=99", "--leak-check=full",
                                      "--errors-for-leak-kinds=definite,indirect", "--suppressions=" + suppressions,
                                      "--log-file=" + log.string()},
                                     std::chrono::seconds(7000));
    const std::string report = Read(log);
    ExpectCycledThroughTheScript(outcome);
    std::printf("memcheck: %d missions, %.0f s\n%s\n", script.missions, outcome.run.seconds,
                report.substr(report.rfind("HEAP SUMMARY") == std::string::npos ? 0 : report.rfind("HEAP SUMMARY"))
                    .c_str());
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors"), std::string::npos) << report;
}
#endif
