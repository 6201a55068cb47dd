#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <sys/resource.h>
#include <vector>

#include "shell/game_state.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

// Each test runs in its own fresh working directory with first-run state.
class GameState : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = fs::current_path();
        std::random_device entropy;
        directory = fs::temp_directory_path() / ("backfire_state_" + std::to_string(entropy()));
        fs::create_directories(directory);
        fs::current_path(directory);
        SetDefaultOptions();
        ClearProgress();
    }

    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(directory);
    }

    static void WriteFile(const char* name, const Bytes& bytes) {
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    static Bytes ReadFile(const char* name) {
        std::ifstream in(name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    template <typename Block> static Bytes ImageOf(const Block& block) {
        Bytes bytes(sizeof(Block));
        std::memcpy(bytes.data(), &block, sizeof(Block));
        return bytes;
    }

    fs::path previous;
    fs::path directory;
};

void Put32(Bytes& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t FloatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

// A valid options image that differs from the defaults in every field.
Options SampleOptions() {
    return Options{0, 0, 1.5f, 6, 5, 0, 2};
}

// A valid progress image with every field away from its default.
Progress SampleProgress() {
    Progress p{};
    for (int32_t m = 0; m < MissionCount; ++m)
        p.missions[m] = MissionProgress{m < 4 ? 1 : 0, 0, 100 * m + 7, m + 3};
    p.lastMission = 3;
    p.gamesPlayed = 17;
    p.lastScore = 1234;
    p.bestScoreEver = 5678;
    p.lastLevelIndex = 9;
    p.missionTicks = 40000;
    p.BonusFlags[1] = 1;
    p.BonusFlags[4] = 1;
    p.hitStreak = 4;
    p.lastKillType = 95;
    p.sameKillStreak = 2;
    p.killHeat = 3.5f;
    p.tipCounter = 11;
    return p;
}

void ExpectOptionsInRange(const Options& o) {
    EXPECT_TRUE(o.musicOn == 0 || o.musicOn == 1);
    EXPECT_TRUE(o.soundOn == 0 || o.soundOn == 1);
    EXPECT_TRUE(std::isfinite(o.gameSpeedFactor));
    EXPECT_GE(o.gameSpeedFactor, 0.25f);
    EXPECT_LE(o.gameSpeedFactor, 1.75f);
    for (int32_t speed : {o.thrustSpeed, o.gameSpeed, o.menuSpeed}) {
        EXPECT_GE(speed, 0);
        EXPECT_LT(speed, SpeedSettingCount);
    }
    EXPECT_GE(o.difficulty, 0);
    EXPECT_LT(o.difficulty, DifficultyCount);
}

void ExpectProgressInRange(const Progress& p) {
    EXPECT_EQ(p.missions[0].unlocked, 1);
    for (const MissionProgress& m : p.missions) {
        EXPECT_TRUE(m.unlocked == 0 || m.unlocked == 1);
        EXPECT_EQ(m.reserved, 0);
        EXPECT_GE(m.bestScore, 0);
        EXPECT_GE(m.bestLevelIndex, 0);
        EXPECT_LT(m.bestLevelIndex, std::numeric_limits<int32_t>::max());
    }
    EXPECT_GE(p.lastMission, 0);
    EXPECT_LT(p.lastMission, MissionCount);
    for (int32_t count : {p.gamesPlayed, p.lastScore, p.bestScoreEver, p.lastLevelIndex, p.missionTicks,
                          p.hitStreak, p.sameKillStreak, p.tipCounter}) {
        EXPECT_GE(count, 0);
        EXPECT_LT(count, std::numeric_limits<int32_t>::max());
    }
    for (int32_t flag : p.BonusFlags)
        EXPECT_TRUE(flag == 0 || flag == 1);
    EXPECT_GE(p.lastKillType, 0);
    EXPECT_LT(p.lastKillType, EnemyTypeCount);
    EXPECT_TRUE(std::isfinite(p.killHeat));
    EXPECT_GE(p.killHeat, 0.0f);
    EXPECT_LE(p.killHeat, 10.0f);
}

} // namespace

TEST_F(GameState, FirstRunWithoutFilesKeepsDefaults) {
    LoadProgress("game.dat");
    LoadOptions("options.dat");
    EXPECT_EQ(UnlockedMissionCount(), 1);
    EXPECT_EQ(TheProgress.missions[0].unlocked, 1);
    EXPECT_EQ(TheProgress.gamesPlayed, 0);
    EXPECT_EQ(TheOptions.musicOn, 1);
    EXPECT_EQ(TheOptions.soundOn, 1);
    EXPECT_EQ(TheOptions.gameSpeedFactor, 1.0f);
    EXPECT_STREQ(GetSpeedName(TheOptions.thrustSpeed), "Normal");
    EXPECT_STREQ(GetSpeedName(TheOptions.gameSpeed), "Normal");
    EXPECT_STREQ(GetSpeedName(TheOptions.menuSpeed), "Normal");
    EXPECT_STREQ(GetDifficultyName(TheOptions.difficulty), "Normal");
    EXPECT_FALSE(fs::exists("game.dat"));
    EXPECT_FALSE(fs::exists("options.dat"));
}

TEST_F(GameState, OptionsExampleDecodes) {
    WriteFile("options.dat", {0x01, 0, 0,    0, 0, 0, 0, 0, 0, 0, 0,    0x3F, 0x06, 0,
                              0,    0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0x02, 0,    0,    0});
    LoadOptions("options.dat");
    EXPECT_EQ(TheOptions.musicOn, 1);
    EXPECT_EQ(TheOptions.soundOn, 0);
    EXPECT_EQ(TheOptions.gameSpeedFactor, 0.5f);
    EXPECT_STREQ(GetSpeedName(TheOptions.thrustSpeed), "Very Fast");
    EXPECT_STREQ(GetSpeedName(TheOptions.gameSpeed), "Slow");
    EXPECT_STREQ(GetSpeedName(TheOptions.menuSpeed), "Very Slow");
    EXPECT_STREQ(GetDifficultyName(TheOptions.difficulty), "Hard");
}

TEST_F(GameState, FileNamesAreMatchedWithoutCase) {
    WriteFile("Options.DAT", ImageOf(SampleOptions()));
    LoadOptions("options.dat");
    EXPECT_EQ(ImageOf(TheOptions), ImageOf(SampleOptions()));
}

TEST_F(GameState, ValidFilesRoundTripByteForByte) {
    const Bytes options = ImageOf(SampleOptions());
    const Bytes progress = ImageOf(SampleProgress());
    WriteFile("options.dat", options);
    WriteFile("game.dat", progress);
    LoadOptions("options.dat");
    LoadProgress("game.dat");
    fs::remove("options.dat");
    fs::remove("game.dat");
    ASSERT_TRUE(SaveOptions("options.dat"));
    ASSERT_TRUE(SaveProgress("game.dat"));
    EXPECT_EQ(ReadFile("options.dat"), options);
    EXPECT_EQ(ReadFile("game.dat"), progress);
}

TEST_F(GameState, ShortAndLongFilesFillOnlyTheBlock) {
    const Bytes full = ImageOf(SampleProgress());
    for (size_t length = 0; length <= sizeof(Progress) + 40; ++length) {
        Bytes file(full.begin(), full.begin() + std::min(length, full.size()));
        file.resize(length, 0xEE);
        WriteFile("game.dat", file);
        ClearProgress();
        LoadProgress("game.dat");
        SCOPED_TRACE(length);
        ExpectProgressInRange(TheProgress);
        const Bytes loaded = ImageOf(TheProgress);
        // Whole fields that arrived are the file's; the rest keep their defaults.
        const size_t whole = std::min(length, sizeof(Progress)) / 4 * 4;
        EXPECT_TRUE(std::equal(loaded.begin(), loaded.begin() + whole, full.begin()));
        if (length >= sizeof(Progress)) {
            EXPECT_EQ(loaded, full);
        }
        if (length < 4) {
            EXPECT_EQ(TheProgress.missions[0].unlocked, 1);
        }
    }
    const Bytes options = ImageOf(SampleOptions());
    for (size_t length = 0; length <= sizeof(Options) + 10; ++length) {
        Bytes file(options.begin(), options.begin() + std::min(length, options.size()));
        file.resize(length, 0xEE);
        WriteFile("options.dat", file);
        SetDefaultOptions();
        LoadOptions("options.dat");
        SCOPED_TRACE(length);
        ExpectOptionsInRange(TheOptions);
        const Bytes loaded = ImageOf(TheOptions);
        const size_t whole = std::min(length, sizeof(Options)) / 4 * 4;
        EXPECT_TRUE(std::equal(loaded.begin(), loaded.begin() + whole, options.begin()));
    }
}

TEST_F(GameState, RandomBytesNeverLoadOutOfRange) {
    const uint32_t seed = std::random_device{}();
    std::printf("random bytes seed %u\n", seed);
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<size_t> length(0, sizeof(Progress) + 16);
    for (int round = 0; round < 300; ++round) {
        Bytes file(length(generator));
        for (uint8_t& b : file)
            b = static_cast<uint8_t>(byte(generator));
        WriteFile("game.dat", file);
        WriteFile("options.dat", Bytes(file.begin(), file.begin() + std::min(file.size(), sizeof(Options))));
        ClearProgress();
        SetDefaultOptions();
        LoadProgress("game.dat");
        LoadOptions("options.dat");
        ExpectProgressInRange(TheProgress);
        ExpectOptionsInRange(TheOptions);
        if (HasFailure())
            return;
    }
}

TEST_F(GameState, EachOptionOutOfRangeFallsBackToItsDefault) {
    const Options defaults{1, 1, 1.0f, 3, 3, 3, 1};
    // Per field: the first value past its range, then values any int field may hold.
    const uint32_t justOutside[7] = {2, 2, 0, 7, 7, 7, 3};
    const uint32_t badFloats[] = {FloatBits(NAN),  FloatBits(INFINITY), FloatBits(-INFINITY), FloatBits(0.0f),
                                  FloatBits(0.2f), FloatBits(1.8f),     FloatBits(1e30f)};
    for (size_t field = 0; field < 7; ++field) {
        std::vector<uint32_t> bad = {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, justOutside[field]};
        if (field == 2)
            bad.assign(std::begin(badFloats), std::end(badFloats));
        for (uint32_t value : bad) {
            Bytes file = ImageOf(SampleOptions());
            Put32(file, field * 4, value);
            WriteFile("options.dat", file);
            LoadOptions("options.dat");
            SCOPED_TRACE(::testing::Message() << "field " << field << " value " << value);
            Bytes expected = ImageOf(SampleOptions());
            std::memcpy(expected.data() + field * 4, reinterpret_cast<const uint8_t*>(&defaults) + field * 4,
                        4);
            EXPECT_EQ(ImageOf(TheOptions), expected);
        }
    }
}

TEST_F(GameState, EachProgressFieldOutOfRangeFallsBackToItsDefault) {
    const Progress sample = SampleProgress();
    const uint32_t badInts[] = {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 2, 10, 96};
    const uint32_t badFloats[] = {FloatBits(NAN), FloatBits(INFINITY), FloatBits(-0.5f), FloatBits(10.5f)};
    for (size_t offset = 0; offset < sizeof(Progress); offset += 4) {
        const bool isFloat = offset == offsetof(Progress, killHeat);
        const uint32_t* bad = isFloat ? badFloats : badInts;
        const size_t count = isFloat ? std::size(badFloats) : std::size(badInts);
        for (size_t i = 0; i < count; ++i) {
            Bytes file = ImageOf(sample);
            Put32(file, offset, bad[i]);
            WriteFile("game.dat", file);
            LoadProgress("game.dat");
            SCOPED_TRACE(::testing::Message() << "offset " << offset << " value " << bad[i]);
            ExpectProgressInRange(TheProgress);
            // The field holds the value when it is in range, else its default;
            // every other field is kept as the file holds it.
            const Bytes loaded = ImageOf(TheProgress);
            const Bytes& written = file;
            uint32_t field;
            std::memcpy(&field, &loaded[offset], 4);
            const uint32_t fallback = offset == 0 ? 1 : 0;
            EXPECT_TRUE(field == bad[i] || field == fallback) << field;
            for (size_t other = 0; other < sizeof(Progress); other += 4) {
                if (other != offset) {
                    EXPECT_EQ(std::memcmp(&loaded[other], &written[other], 4), 0) << "offset " << other;
                }
            }
        }
    }
    // The first mission stays open even when the file says it is locked.
    Bytes file = ImageOf(sample);
    Put32(file, 0, 0);
    WriteFile("game.dat", file);
    LoadProgress("game.dat");
    EXPECT_EQ(TheProgress.missions[0].unlocked, 1);
}

TEST_F(GameState, FailedSaveLeavesTheOldFileIntact) {
    const Bytes old = ImageOf(SampleProgress());
    WriteFile("game.dat", old);
    TheProgress.lastScore = 99;

    // A disk that fills up in the middle of the write: the file-size limit
    // stops the temporary file after 100 bytes.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = SaveProgress("game.dat");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ReadFile("game.dat"), old);
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(".")) {
        EXPECT_EQ(entry.path().filename(), "game.dat");
        ++files;
    }
    EXPECT_EQ(files, 1u);

    // A directory that does not exist cannot take the save either.
    EXPECT_FALSE(SaveOptions("missing/options.dat"));
    EXPECT_TRUE(SaveProgress("game.dat"));
    EXPECT_EQ(ReadFile("game.dat").size(), sizeof(Progress));
}

TEST(CheckUnlock, DecidesFromLastMissionAndLevel) {
    int32_t next = 0;
    ClearProgress();
    TheProgress.lastMission = 0;
    TheProgress.lastLevelIndex = 5; // displayed level 6: not yet
    EXPECT_EQ(CheckUnlock(&next), 2);
    EXPECT_EQ(next, 1);
    EXPECT_EQ(TheProgress.missions[1].unlocked, 0);

    TheProgress.lastLevelIndex = 6; // displayed level 7
    EXPECT_EQ(CheckUnlock(&next), 1);
    EXPECT_EQ(next, 1);
    EXPECT_EQ(TheProgress.missions[1].unlocked, 1);

    // The successor is already open: nothing to report, however high the level.
    TheProgress.lastLevelIndex = 40;
    EXPECT_EQ(CheckUnlock(&next), 0);
    EXPECT_EQ(next, -1000);

    TheProgress.lastMission = 9;
    TheProgress.lastLevelIndex = 100;
    EXPECT_EQ(CheckUnlock(&next), 0);
    EXPECT_EQ(next, -1000);
    EXPECT_EQ(UnlockedMissionCount(), 2);
}

TEST(GameStateCounts, CompletionCountsUnlockedAndExcelledMissions) {
    ClearProgress();
    EXPECT_EQ(CompletionPercentage(), 5.0f);
    TheProgress.missions[1].unlocked = 1;
    TheProgress.missions[2].unlocked = 1;
    TheProgress.missions[2].bestLevelIndex = 11; // excelled: beyond 2 + 8
    TheProgress.missions[1].bestLevelIndex = 9;  // exactly 1 + 8: not yet
    EXPECT_EQ(UnlockedMissionCount(), 3);
    EXPECT_EQ(ExcelledMissionCount(), 1);
    EXPECT_EQ(CompletionPercentage(), 20.0f);
    UnlockAllMissions();
    for (int32_t m = 0; m < MissionCount; ++m)
        TheProgress.missions[m].bestLevelIndex = m + 9;
    EXPECT_EQ(CompletionPercentage(), 100.0f);
}
