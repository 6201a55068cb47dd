#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "shell/game_state.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int32_t IntMax = std::numeric_limits<int32_t>::max();

template <typename Block> Bytes ImageOf(const Block& block) {
    Bytes bytes(sizeof(Block));
    std::memcpy(bytes.data(), &block, sizeof(Block));
    return bytes;
}

uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

// Valid blocks with every field away from its default.
const Options SampleOptions{0, 0, 1.5f, 6, 5, 0, 2};

Progress SampleProgress() {
    Progress p = Progress{{}, 3, 17, 1234, 5678, 9, 40000, {0, 1, 0, 0, 1}, 4, 95, 2, 3.5f, 11};
    for (int32_t m = 0; m < MissionCount; ++m)
        p.missions[m] = MissionProgress{m < 4 ? 1 : 0, 0, 100 * m + 7, m + 3};
    return p;
}

void ExpectInRange(const Options& o) {
    EXPECT_TRUE(o.musicOn == 0 || o.musicOn == 1);
    EXPECT_TRUE(o.soundOn == 0 || o.soundOn == 1);
    EXPECT_TRUE(o.gameSpeedFactor >= 0.25f && o.gameSpeedFactor <= 1.75f) << o.gameSpeedFactor;
    for (int32_t speed : {o.thrustSpeed, o.gameSpeed, o.menuSpeed})
        EXPECT_TRUE(speed >= 0 && speed < SpeedSettingCount) << speed;
    EXPECT_TRUE(o.difficulty >= 0 && o.difficulty < DifficultyCount);
}

void ExpectInRange(const Progress& p) {
    EXPECT_EQ(p.missions[0].unlocked, 1);
    for (const MissionProgress& m : p.missions) {
        EXPECT_TRUE(m.unlocked == 0 || m.unlocked == 1);
        EXPECT_EQ(m.reserved, 0);
        EXPECT_TRUE(m.bestScore >= 0 && m.bestLevelIndex >= 0 && m.bestLevelIndex < IntMax);
    }
    EXPECT_TRUE(p.lastMission >= 0 && p.lastMission < MissionCount);
    for (int32_t count : {p.gamesPlayed, p.lastScore, p.bestScoreEver, p.lastLevelIndex, p.missionTicks,
                          p.hitStreak, p.sameKillStreak, p.tipCounter})
        EXPECT_TRUE(count >= 0 && count < IntMax) << count;
    for (int32_t flag : p.BonusFlags)
        EXPECT_TRUE(flag == 0 || flag == 1);
    EXPECT_TRUE(p.lastKillType >= 0 && p.lastKillType < EnemyTypeCount);
    EXPECT_TRUE(p.killHeat >= 0.0f && p.killHeat <= 10.0f) << p.killHeat;
}

// Each test runs in a fresh working directory with first-run state.
class GameState : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = fs::current_path();
        directory = fs::temp_directory_path() / ("backfire_state_" + std::to_string(std::random_device{}()));
        fs::create_directories(directory);
        fs::current_path(directory);
        SetDefaultOptions();
        ClearProgress();
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(directory);
    }
    static void Write(const char* name, const Bytes& bytes) {
        std::ofstream(name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    static Bytes Read(const char* name) {
        std::ifstream in(name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path previous;
    fs::path directory;
};

} // namespace

TEST_F(GameState, FirstRunDefaultsAndTheOptionsExample) {
    LoadProgress("game.dat");
    LoadOptions("options.dat");
    EXPECT_EQ(UnlockedMissionCount(), 1);
    EXPECT_EQ(TheProgress.missions[0].unlocked, 1);
    EXPECT_EQ(TheProgress.gamesPlayed, 0);
    EXPECT_EQ(ImageOf(TheOptions), ImageOf(Options{1, 1, 1.0f, 3, 3, 3, 1}));
    EXPECT_STREQ(GetSpeedName(TheOptions.gameSpeed), "Normal");
    EXPECT_FALSE(fs::exists("game.dat"));

    Write("options.dat",
          {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3F, 6, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0});
    LoadOptions("options.dat");
    EXPECT_EQ(TheOptions.musicOn, 1);
    EXPECT_EQ(TheOptions.soundOn, 0);
    EXPECT_EQ(TheOptions.gameSpeedFactor, 0.5f);
    EXPECT_STREQ(GetSpeedName(TheOptions.thrustSpeed), "Very Fast");
    EXPECT_STREQ(GetSpeedName(TheOptions.gameSpeed), "Slow");
    EXPECT_STREQ(GetSpeedName(TheOptions.menuSpeed), "Very Slow");
    EXPECT_STREQ(GetDifficultyName(TheOptions.difficulty), "Hard");
}

TEST_F(GameState, ValidFilesRoundTripByteForByte) {
    const Bytes options = ImageOf(SampleOptions);
    const Bytes progress = ImageOf(SampleProgress());
    Write("Options.DAT", options); // names are matched without regard to case
    Write("game.dat", progress);
    LoadOptions("options.dat");
    LoadProgress("game.dat");
    fs::remove("game.dat");
    ASSERT_TRUE(SaveOptions("options.dat"));
    ASSERT_TRUE(SaveProgress("game.dat"));
    EXPECT_EQ(Read("Options.DAT"), options);
    EXPECT_EQ(Read("game.dat"), progress);
}

TEST_F(GameState, FilesOfEveryLengthFillOnlyTheirBlock) {
    const Bytes full = ImageOf(SampleProgress());
    const Bytes options = ImageOf(SampleOptions);
    for (size_t length = 0; length <= sizeof(Progress) + 40; ++length) {
        SCOPED_TRACE(length);
        Bytes file(full.begin(), full.begin() + std::min(length, full.size()));
        file.resize(length, 0xEE);
        Write("game.dat", file);
        Bytes optionsFile(options.begin(), options.begin() + std::min(length, options.size()));
        optionsFile.resize(std::min(length, sizeof(Options) + 8), 0xEE);
        Write("options.dat", optionsFile);
        ClearProgress();
        SetDefaultOptions();
        LoadProgress("game.dat");
        LoadOptions("options.dat");
        ExpectInRange(TheProgress);
        ExpectInRange(TheOptions);
        // The whole fields that arrived are the file's.
        const size_t whole = std::min(length, sizeof(Progress)) / 4 * 4;
        EXPECT_TRUE(std::equal(full.begin(), full.begin() + whole, ImageOf(TheProgress).begin()));
        const size_t wholeOptions = std::min(whole, sizeof(Options));
        EXPECT_TRUE(std::equal(options.begin(), options.begin() + wholeOptions, ImageOf(TheOptions).begin()));
    }
}

TEST_F(GameState, RandomBytesNeverLoadOutOfRange) {
    const uint32_t seed = std::random_device{}();
    std::printf("random bytes seed %u\n", seed);
    SCOPED_TRACE(seed);
    std::mt19937 generator(seed);
    for (int round = 0; round < 300 && !HasFailure(); ++round) {
        Bytes file(std::uniform_int_distribution<size_t>(0, sizeof(Progress) + 16)(generator));
        for (uint8_t& b : file)
            b = static_cast<uint8_t>(generator());
        Write("game.dat", file);
        Write("options.dat", Bytes(file.begin(), file.begin() + std::min(file.size(), sizeof(Options))));
        LoadProgress("game.dat");
        LoadOptions("options.dat");
        ExpectInRange(TheProgress);
        ExpectInRange(TheOptions);
    }
}

// Each field set out of range comes back as its default (a mission's unlocked
// flag as unlocked); every other field stays as the file holds it.
TEST_F(GameState, EachFieldOutOfRangeFallsBackToItsDefault) {
    const std::vector<uint32_t> anyInt = {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu};
    const std::vector<uint32_t> badFloats = {Bits(NAN), Bits(INFINITY), Bits(-INFINITY), Bits(0.2f),
                                             Bits(1e30f)};
    const uint32_t optionsJustOutside[7] = {2, 2, 0, 7, 7, 7, 3};
    const Bytes options = ImageOf(SampleOptions);
    const Bytes defaults = ImageOf(Options{1, 1, 1.0f, 3, 3, 3, 1});
    for (size_t at = 0; at < sizeof(Options); at += 4) {
        std::vector<uint32_t> bad = at == 8 ? badFloats : anyInt;
        bad.push_back(at == 8 ? Bits(1.8f) : optionsJustOutside[at / 4]);
        for (uint32_t value : bad) {
            Bytes file = options;
            std::memcpy(&file[at], &value, 4);
            Write("options.dat", file);
            LoadOptions("options.dat");
            std::memcpy(&file[at], &defaults[at], 4);
            EXPECT_EQ(ImageOf(TheOptions), file) << "offset " << at << " value " << value;
        }
    }
    const Bytes progress = ImageOf(SampleProgress());
    for (size_t at = 0; at < sizeof(Progress); at += 4) {
        const bool isFloat = at == offsetof(Progress, killHeat);
        std::vector<uint32_t> bad = isFloat ? badFloats : anyInt;
        bad.push_back(isFloat ? Bits(10.5f) : (at < 160 ? 2 : 96));
        for (uint32_t value : bad) {
            Bytes file = progress;
            std::memcpy(&file[at], &value, 4);
            Write("game.dat", file);
            LoadProgress("game.dat");
            SCOPED_TRACE(::testing::Message() << "offset " << at << " value " << value);
            ExpectInRange(TheProgress);
            Bytes loaded = ImageOf(TheProgress);
            uint32_t field;
            std::memcpy(&field, &loaded[at], 4);
            const bool unlockedFlag = at < sizeof(Progress::missions) && at % sizeof(MissionProgress) == 0;
            if (unlockedFlag)
                EXPECT_EQ(field, 1u);
            else
                EXPECT_TRUE(field == value || field == 0u) << field;
            std::memcpy(&loaded[at], &file[at], 4);
            EXPECT_EQ(loaded, file);
        }
    }
}

TEST_F(GameState, FailedSaveLeavesTheOldFileIntact) {
#ifdef _WIN32
    GTEST_SKIP() << "stops a write halfway with a file-size limit (RLIMIT_FSIZE), which Windows lacks";
#else
    const Bytes old = ImageOf(SampleProgress());
    Write("game.dat", old);
    TheProgress.lastScore = 99;
    // A disk that fills up halfway: the file-size limit stops the write at 100 bytes.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100;
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = SaveProgress("game.dat");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);

    EXPECT_FALSE(written);
    EXPECT_EQ(Read("game.dat"), old);
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1); // no temporary left
    EXPECT_FALSE(SaveOptions("missing/options.dat"));
    EXPECT_TRUE(SaveProgress("game.dat"));
    EXPECT_EQ(Read("game.dat").size(), sizeof(Progress));
#endif
}

TEST(CheckUnlock, DecidesFromLastMissionAndLevel) {
    int32_t next = 0;
    ClearProgress();
    TheProgress.lastLevelIndex = 5; // "Milk Run" ended on level 6: not yet
    EXPECT_EQ(CheckUnlock(&next), 2);
    EXPECT_EQ(next, 1);
    EXPECT_EQ(TheProgress.missions[1].unlocked, 0);
    TheProgress.lastLevelIndex = 6; // level 7
    EXPECT_EQ(CheckUnlock(&next), 1);
    EXPECT_EQ(next, 1);
    EXPECT_EQ(TheProgress.missions[1].unlocked, 1);
    TheProgress.lastLevelIndex = 40; // successor already open
    EXPECT_EQ(CheckUnlock(&next), 0);
    EXPECT_EQ(next, -1000);
    TheProgress.lastMission = 9;
    EXPECT_EQ(CheckUnlock(&next), 0);
    EXPECT_EQ(next, -1000);
    EXPECT_EQ(UnlockedMissionCount(), 2);
}

TEST(GameStateCounts, FivePercentPerUnlockedAndPerExcelledMission) {
    ClearProgress();
    TheProgress.missions[1].unlocked = 1;
    TheProgress.missions[2].unlocked = 1;
    TheProgress.missions[2].bestLevelIndex = 11; // beyond 2 + 8
    TheProgress.missions[1].bestLevelIndex = 9;  // exactly 1 + 8: not yet
    TheProgress.missions[3].bestLevelIndex = 11; // mission 3 excels from "Level 13"
    EXPECT_EQ(ExcelledMissionCount(), 1);
    TheProgress.missions[3].bestLevelIndex = 12;
    EXPECT_EQ(ExcelledMissionCount(), 2);
    TheProgress.missions[3].bestLevelIndex = 0;
    EXPECT_EQ(CompletionPercentage(), 20.0f);
    UnlockAllMissions();
    for (int32_t m = 0; m < MissionCount; ++m)
        TheProgress.missions[m].bestLevelIndex = m + 9;
    EXPECT_EQ(CompletionPercentage(), 100.0f);
    ClearProgress();
}
