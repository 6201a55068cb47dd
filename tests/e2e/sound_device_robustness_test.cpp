// The real binary in a real window under Xvfb with no usable sound device,
// and with one that fails while the game runs: the game plays on silently
// and ends cleanly.
#include "e2e/game_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include <sys/mount.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr int kTicks = 500;

// Leaves the intro, takes "Play" into "Milk Run" and taps SPACE through the
// mission, so sounds and music start all the way.
std::string IntoTheFirstMission() {
    std::string script = "3 hold SPACE 2\n229 hold SPACE 2\n";
    for (int tick = 290; tick + 10 < kTicks; tick += 17)
        script += std::to_string(tick) + " hold SPACE " + (tick % 3 == 0 ? "12" : "2") + "\n";
    return script;
}

// A windowed run on a private X server, ended by its tick limit, that must
// end cleanly with its options saved; what it printed is returned.
std::string ExpectWindowedRunPlaysOn(std::map<std::string, std::string> env) {
    e2e::VirtualDisplay x;
    EXPECT_NE(x.display, nullptr);
    if (x.display == nullptr)
        return "";
    e2e::Sandbox sandbox;
    sandbox.Write("script.txt", IntoTheFirstMission());
    env["DISPLAY"] = x.name;
    // a sanitizer build's leak checker lists its suppressions on stderr otherwise
    const char* leakOptions = std::getenv("LSAN_OPTIONS");
    env["LSAN_OPTIONS"] = std::string(leakOptions ? leakOptions : "") + ":print_suppressions=0";
    env["BACKFIRE_SCRIPT"] = sandbox.PathOf("script.txt");
    env["BACKFIRE_MAX_TICKS"] = std::to_string(kTicks);
    e2e::GameProcess game(sandbox, {"-W"}, env);
    const e2e::Result result = game.Wait(120s);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(sandbox.Read("options.dat").size(), 28u);
    return result.errors;
}

} // namespace

TEST(SoundDevice, WindowWithoutAnyAudioDevicePlaysOnSilently) {
    if (!fs::exists("/usr/bin/Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    EXPECT_EQ(ExpectWindowedRunPlaysOn({{"SDL_AUDIODRIVER", "no-such-driver"}}), "");
}

// SDL's file-writing audio driver stands in for the sound card. Its file
// sits on a small file system that fills within seconds, after which every
// write fails and SDL gives the device up, as when a card is unplugged; where
// no file system can be mounted, the file refuses even the first write. (The
// driver itself warns on stderr that it writes to a file.)
TEST(SoundDevice, WindowWhoseAudioDeviceFailsMidGamePlaysOnSilently) {
    if (!fs::exists("/usr/bin/Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    const fs::path disk = fs::temp_directory_path() / ("backfire-audio-" + std::to_string(getpid()));
    fs::create_directory(disk);
    const bool mounted = mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") == 0;
    const fs::path sink = mounted ? disk / "audio.raw" : fs::path("/dev/full");
    ExpectWindowedRunPlaysOn({{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", sink.string()}});
    if (mounted) {
        EXPECT_GT(fs::file_size(sink), 128u * 1024u) << "the device played until its disk was full";
        umount2(disk.c_str(), MNT_DETACH);
    }
    fs::remove_all(disk);
}
