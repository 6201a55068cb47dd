// Replays end to end: a mission played headless is kept in the save folder,
// verifies, and plays back frame for frame without touching the saves; a bad
// replay file is refused before anything is touched.
#include "game_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A first run: the intro, "Play" straight into "Milk Run" at tick 276, then
// taps and holds of SPACE until the ship is lost, the results screen and out.
std::string PlayedMission() {
    std::ostringstream script;
    script << "3 hold SPACE 2\n229 hold SPACE 2\n";
    for (int tick = 300; tick < 6000; tick += 17)
        script << tick << (tick % 5 == 0 ? " hold SPACE 40\n" : " hold SPACE 2\n");
    script << "7000 hold ESCAPE 2\n7100 hold ESCAPE 2\n";
    return script.str();
}

// The frame hashes of a run, one per tick, in order.
std::vector<std::string> Hashes(const e2e::Sandbox& sandbox, const std::string& name) {
    std::ifstream in(sandbox.PathOf(name));
    std::vector<std::string> hashes;
    std::string tick, hash;
    while (in >> tick >> hash)
        hashes.push_back(hash);
    return hashes;
}

} // namespace

TEST(Replay, APlayedMissionIsKeptVerifiesAndPlaysBackFrameForFrameTouchingNothing) {
    e2e::Sandbox sandbox;
    e2e::Result played =
        e2e::RunHeadless(sandbox, PlayedMission(), 8000, {{"BACKFIRE_FRAME_HASHES", sandbox.PathOf("played.txt")}});
    ASSERT_EQ(played.exitCode, 0) << played.errors;
    ASSERT_TRUE(sandbox.Exists("replays/last.bfr"));
    EXPECT_EQ(sandbox.Read("replays/mission-1-best.bfr"), sandbox.Read("replays/last.bfr"));
    EXPECT_LT(sandbox.Read("replays/last.bfr").size(), 4096u);
    const std::string saves = sandbox.Read("game.dat") + sandbox.Read("options.dat");
    const std::string replay = sandbox.Read("replays/last.bfr");

    e2e::GameProcess verify(sandbox, {"--replay", "replays/last.bfr", "--verify"}, {});
    e2e::Result verified = verify.Wait(120s);
    EXPECT_EQ(verified.exitCode, 0) << verified.errors;
    const int32_t score = static_cast<unsigned char>(saves[168]) | static_cast<unsigned char>(saves[169]) << 8;
    EXPECT_EQ(verified.output.rfind("score " + std::to_string(score) + "00 level ", 0), 0u) << verified.output;

    // Watched headless, closed 200 ticks into its results screen, which a
    // watched replay leaves only on a key release as the game does.
    const size_t ticksAt = verified.output.find(" ticks ");
    ASSERT_NE(ticksAt, std::string::npos);
    const int ticks = std::stoi(verified.output.substr(ticksAt + 7));
    e2e::GameProcess watch(sandbox, {"--replay", "replays/last.bfr"},
                           {{"BACKFIRE_HEADLESS", "1"},
                            {"BACKFIRE_MAX_TICKS", std::to_string(ticks + 200)},
                            {"BACKFIRE_FRAME_HASHES", sandbox.PathOf("watched.txt")}});
    e2e::Result watched = watch.Wait(120s);
    EXPECT_EQ(watched.exitCode, 0) << watched.errors;
    const std::vector<std::string> before = Hashes(sandbox, "played.txt");
    const std::vector<std::string> again = Hashes(sandbox, "watched.txt");
    ASSERT_GT(again.size(), static_cast<size_t>(ticks));
    // The watched run's first tick only starts the mission; from its second
    // every frame of the mission and the first of its results screen come
    // back in order (the played run's taps soon left that screen).
    const auto start = std::find(before.begin(), before.end(), again[1]);
    ASSERT_NE(start, before.end());
    ASSERT_GE(before.end() - start, ticks + 1);
    EXPECT_TRUE(std::equal(again.begin() + 1, again.begin() + 2 + ticks, start));

    EXPECT_EQ(sandbox.Read("game.dat") + sandbox.Read("options.dat"), saves);
    EXPECT_EQ(sandbox.Read("replays/last.bfr"), replay);
}

// The recorded missions of tests/replays (scripts/record-golden-replays made
// them): each must still end as recorded and show the same frames. A change
// of gameplay fails here; a deliberate one records them again.
TEST(Replay, GoldenReplaysEndAsRecordedWithTheSameFrames) {
    const fs::path golden = fs::path(BACKFIRE_SOURCE_DIR) / "tests" / "replays";
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(golden)) {
        if (entry.path().extension() != ".bfr")
            continue;
        ++checked;
        const std::string name = entry.path().stem().string();
        std::ifstream expected(fs::path(entry.path()).replace_extension(".expected"));
        std::string outcome;
        std::getline(expected, outcome);
        e2e::Sandbox sandbox;
        e2e::GameProcess verify(sandbox, {"--replay", entry.path().string(), "--verify"},
                                {{"BACKFIRE_FRAME_HASHES", sandbox.PathOf("frames.txt")}});
        e2e::Result result = verify.Wait(300s);
        EXPECT_EQ(result.exitCode, 0) << name << ": " << result.errors;
        EXPECT_EQ(result.output, outcome + "\n") << name;
        std::map<std::string, std::string> frames;
        std::ifstream shown(sandbox.PathOf("frames.txt"));
        for (std::string tick, hash; shown >> tick >> hash;)
            frames[tick] = hash;
        int framesChecked = 0;
        for (std::string word, tick, hash; expected >> word >> tick >> hash; ++framesChecked)
            EXPECT_EQ(frames[tick], hash) << name << " at tick " << tick;
        EXPECT_GE(framesChecked, 2) << name;
    }
    EXPECT_GE(checked, 3);
}

TEST(Replay, BadFilesAreRefusedWithOneLineAndExitCodeTwoTouchingNothing) {
    e2e::Sandbox sandbox;
    const std::string good = [&] {
        e2e::Result played = e2e::RunHeadless(sandbox, "3 hold SPACE 2\n229 hold SPACE 2\n", 2600);
        EXPECT_EQ(played.exitCode, 0) << played.errors;
        return sandbox.Read("replays/last.bfr");
    }();
    ASSERT_GT(good.size(), 64u);
    fs::remove(sandbox.PathOf("game.dat"));
    fs::remove(sandbox.PathOf("options.dat"));
    fs::remove(sandbox.PathOf("als.dat"));
    std::string flipped = good;
    flipped[good.size() - 1] = static_cast<char>(flipped[good.size() - 1] ^ 0x40);
    const std::vector<std::pair<std::string, std::string>> files = {
        {"truncated.bfr", good.substr(0, good.size() / 2)},
        {"flipped.bfr", flipped},
        {"text.bfr", "not a replay at all\n"},
    };
    for (const auto& [name, bytes] : files) {
        sandbox.Write(name, bytes);
        for (const bool verify : {false, true}) {
            std::vector<std::string> args{"--replay", name};
            if (verify)
                args.push_back("--verify");
            e2e::GameProcess game(sandbox, args, {{"BACKFIRE_HEADLESS", "1"}});
            e2e::Result result = game.Wait(30s);
            EXPECT_EQ(result.exitCode, 2) << name;
            EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
            EXPECT_NE(result.errors.find(name), std::string::npos) << result.errors;
        }
    }
    e2e::GameProcess missing(sandbox, {"--replay"}, {{"BACKFIRE_HEADLESS", "1"}});
    EXPECT_EQ(missing.Wait(30s).exitCode, 2);
    EXPECT_FALSE(sandbox.Exists("game.dat"));
    EXPECT_FALSE(sandbox.Exists("options.dat"));
    EXPECT_FALSE(sandbox.Exists("als.dat"));
}
