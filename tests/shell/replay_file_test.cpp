#include <gtest/gtest.h>

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "file_bytes.h"
#include "shell/replay_file.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;
using Kind = ReplayEventKind;

// Header offsets and sizes as README.md documents them.
constexpr size_t FormatAt = 4, SimulationAt = 8, GameVersionAt = 12, MissionAt = 28, GameSpeedFactorAt = 40,
                 DifficultyAt = 56, FirstGameAt = 60, ScoreAt = 64, TicksAt = 72, CountAt = 76,
                 BodyBytesAt = 80, CrcAt = 84, HeaderBytes = 88, RecordBytes = 18;

uint32_t Get32(const Bytes& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

void Put32(Bytes& b, size_t at, uint32_t value) {
    for (size_t k = 0; k < 4; ++k)
        b[at + k] = static_cast<uint8_t>(value >> (8 * k));
}

// A fresh checksum, so that a damaged field reaches the check behind it.
Bytes Resealed(Bytes b) {
    uLong crc = crc32(0, b.data(), CrcAt);
    crc = crc32(crc, b.data() + HeaderBytes, static_cast<uInt>(b.size() - HeaderBytes));
    Put32(b, CrcAt, static_cast<uint32_t>(crc));
    return b;
}

Bytes WithField(Bytes b, size_t at, uint32_t value) {
    Put32(b, at, value);
    return Resealed(std::move(b));
}

// The encoding with its inflated event records edited and packed again.
Bytes WithRecords(const Bytes& good, const std::function<void(Bytes&)>& edit) {
    Bytes records(size_t{Get32(good, CountAt)} * RecordBytes);
    uLongf size = records.size();
    EXPECT_EQ(uncompress(records.data(), &size, good.data() + HeaderBytes, good.size() - HeaderBytes), Z_OK);
    edit(records);
    uLongf packed = compressBound(records.size());
    Bytes b(HeaderBytes + packed);
    std::copy(good.begin(), good.begin() + HeaderBytes, b.begin());
    EXPECT_EQ(compress(b.data() + HeaderBytes, &packed, records.data(), records.size()), Z_OK);
    b.resize(HeaderBytes + packed);
    Put32(b, CountAt, static_cast<uint32_t>(records.size() / RecordBytes));
    Put32(b, BodyBytesAt, static_cast<uint32_t>(packed));
    return Resealed(std::move(b));
}

uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

// A mission as the play mode records it: SPACE taps and holds (the key, its
// character, the release), now and then a mouse glide with the pointer
// following, a click. Fixed seed, fixed arithmetic: the same replay each run.
Replay MissionReplay(size_t eventCount, uint32_t ticks) {
    Replay r;
    r.gameVersion = "0.5.0";
    r.mission = 4;
    r.options = Options{0, 1, 1.5f, 6, 5, 0, 2};
    r.firstGame = 1;
    r.outcome = ReplayOutcome{1234, 9, ticks};
    std::mt19937 rng(20240611);
    const uint32_t meanGap = ticks / static_cast<uint32_t>(eventCount / 2);
    uint32_t t = 25;
    int32_t px = 400, py = 300, vx = 0, vy = 0;
    while (r.events.size() < eventCount) {
        if (rng() % 4 != 0) {
            const uint32_t hold = rng() % 5 == 0 ? 20 + rng() % 60 : 1 + rng() % 6;
            r.events.push_back({t, Kind::KeyDown, 0, 32, -1, -1});
            r.events.push_back({t, Kind::KeyUp, 32, 0, -1, -1});
            r.events.push_back({t + hold, Kind::KeyUp, 0, 32, -1, -1});
            t += hold + 1 + rng() % meanGap;
        } else {
            for (uint32_t step = 3 + rng() % 8; step > 0; --step, ++t) {
                vx += static_cast<int32_t>(rng() % 3) - 1;
                vy += static_cast<int32_t>(rng() % 3) - 1;
                px += vx;
                py += vy;
                r.events.push_back({t, Kind::MouseDelta, 0, 0, vx, vy});
                r.events.push_back({t, Kind::Pointer, 0, 0, px, py});
            }
            if (rng() % 3 == 0) {
                r.events.push_back({t, Kind::LeftDown, 0, 0, px, py});
                r.events.push_back({t + 4, Kind::LeftUp, 0, 0, px, py});
                t += 4;
            }
            t += 1 + rng() % meanGap;
        }
    }
    r.events.resize(eventCount);
    r.outcome.ticks = std::max(ticks, r.events.back().tick);
    return r;
}

void ExpectSame(const Replay& a, const Replay& b) {
    EXPECT_EQ(a.gameVersion, b.gameVersion);
    EXPECT_EQ(a.simulationVersion, b.simulationVersion);
    EXPECT_EQ(a.mission, b.mission);
    EXPECT_EQ(std::memcmp(&a.options, &b.options, sizeof(Options)), 0);
    EXPECT_EQ(a.firstGame, b.firstGame);
    EXPECT_EQ(a.outcome, b.outcome);
    EXPECT_TRUE(a.events == b.events);
}

TEST(ReplayFile, RoundTripKeepsEveryFieldAndEveryEvent) {
    Replay replay = MissionReplay(3000, 20000);
    // Extremes: an event at tick 0 and at the very end, pointers far off screen
    // both ways, every kind, every byte of the version field but the last.
    constexpr int32_t Min = std::numeric_limits<int32_t>::min(), Max = std::numeric_limits<int32_t>::max();
    replay.events.insert(replay.events.begin(), {{0, Kind::Pointer, 0, 0, Max, Min},
                                                 {0, Kind::Pointer, 0, 0, Min, Max},
                                                 {0, Kind::RightDown, 255, Min, 0, 0},
                                                 {0, Kind::RightUp, 0, Max, 1, 2}});
    replay.events.push_back({replay.outcome.ticks, Kind::KeyUp, 27, 27, -1, -1});
    replay.gameVersion = "10.20.30-rc.45~";
    const Bytes bytes = EncodeReplay(replay);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "BFRP");
    EXPECT_EQ(Get32(bytes, CountAt), replay.events.size());
    EXPECT_EQ(Get32(bytes, GameSpeedFactorAt), Bits(1.5f));

    Replay decoded;
    std::string error;
    ASSERT_TRUE(DecodeReplay(bytes, &decoded, &error)) << error;
    ExpectSame(decoded, replay);
    EXPECT_EQ(EncodeReplay(decoded), bytes);

    // A bare replay: no events, the first mission, no version.
    Replay bare;
    bare.options = Options{1, 1, 0.25f, 0, 0, 0, 0};
    ASSERT_TRUE(DecodeReplay(EncodeReplay(bare), &decoded, &error)) << error;
    ExpectSame(decoded, bare);
}

TEST(ReplayFile, MissionSizedReplayPacksIntoAFewKilobytes) {
    const Bytes bytes = EncodeReplay(MissionReplay(3000, 20000));
    EXPECT_LE(bytes.size(), 6000u);
}

TEST(ReplayFile, DecodeRefusesEachDamageWithItsReason) {
    const Replay replay = MissionReplay(40, 300);
    const Bytes good = EncodeReplay(replay);
    ASSERT_FALSE(good.empty());
    const uint32_t lastTick = replay.events.back().tick;
    size_t firstAtEnd = 0;
    while (replay.events[firstAtEnd].tick != lastTick)
        ++firstAtEnd;
    auto bodyFlip = good;
    bodyFlip[good.size() - 3] ^= 0x10;
    auto scoreEdit = good;
    scoreEdit[ScoreAt] ^= 1;
    auto versionTail = good;
    versionTail[GameVersionAt + 10] = '1';
    auto versionControl = good;
    versionControl[GameVersionAt + 1] = '\n';
    auto padded = good;
    padded.push_back(0);
    auto notZlib = good;
    std::fill(notZlib.begin() + HeaderBytes, notZlib.end(), 0x55);

    const struct {
        const char* what;
        Bytes bytes;
        std::string reason;
    } cases[] = {
        {"other magic", WithField(good, 0, 0x46464952u /* "RIFF" */), "not a replay file"},
        {"empty", Bytes{}, "truncated header (0 of 88 bytes)"},
        {"cut in the header", Bytes(good.begin(), good.begin() + 50), "truncated header (50 of 88 bytes)"},
        {"cut in the body", Bytes(good.begin(), good.end() - 1), "truncated body"},
        {"a byte too many", padded, "stray bytes after the body (1)"},
        {"body damaged", bodyFlip, "wrong checksum"},
        {"header damaged", scoreEdit, "wrong checksum"},
        {"newer format", WithField(good, FormatAt, 2),
         "unknown replay format version 2 (this game reads version 1)"},
        {"other simulation", WithField(good, SimulationAt, 3),
         "recorded by simulation version 3 (backfire 0.5.0); this game plays version 1"},
        {"version not padded", Resealed(versionTail), "malformed game version field"},
        {"version unprintable", Resealed(versionControl), "the game version is not printable"},
        {"absurd count", WithField(good, CountAt, 2'000'000), "absurd event count 2000000 (at most 1000000)"},
        {"absurd length", WithField(good, TicksAt, 10'000'001), "absurd mission length of 10000001 ticks"},
        {"count too high", WithField(good, CountAt, 41), "the body does not hold the header's 41 events"},
        {"count too low", WithField(good, CountAt, 39), "the body does not hold the header's 39 events"},
        {"body not zlib", Resealed(notZlib), "the body does not hold the header's 40 events"},
        {"mission past the last", WithField(good, MissionAt, 10), "mission index 10 out of range (0..9)"},
        {"mission negative", WithField(good, MissionAt, 0xFFFFFFFFu), "mission index -1 out of range (0..9)"},
        {"difficulty", WithField(good, DifficultyAt, 3), "options out of range: difficulty 3 (0..2)"},
        {"speed factor", WithField(good, GameSpeedFactorAt, Bits(NAN)),
         "options out of range: gameSpeedFactor nan"},
        {"first-game flag", WithField(good, FirstGameAt, 2), "first-game flag 2 is neither 0 nor 1"},
        {"unknown kind", WithRecords(good, [](Bytes& r) { r[5 * RecordBytes + 4] = 8; }),
         "event 5 has unknown kind 8"},
        {"out of order", WithRecords(good, [](Bytes& r) { Put32(r, 7 * RecordBytes, 0xFFFFFFFFu); }),
         "event 7 is out of order"},
        {"past the end", WithField(good, TicksAt, lastTick - 1),
         "event " + std::to_string(firstAtEnd) + " at tick " + std::to_string(lastTick) +
             " is past the mission's end at tick " + std::to_string(lastTick - 1)},
    };
    for (const auto& c : cases) {
        Replay decoded = replay;
        std::string error;
        EXPECT_FALSE(DecodeReplay(c.bytes, &decoded, &error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << c.what;
        EXPECT_TRUE(decoded.events.empty() && decoded.gameVersion.empty() && decoded.mission == 0 &&
                    decoded.outcome == ReplayOutcome{})
            << c.what;
    }
}

TEST(ReplayFile, EncodeRefusesWhatCouldNotBeReadBack) {
    const Replay good = MissionReplay(40, 300);
    const std::function<void(Replay&)> breaks[] = {
        [](Replay& r) { r.gameVersion = "0123456789abcdef"; },
        [](Replay& r) { r.mission = MissionCount; },
        [](Replay& r) { r.options.gameSpeedFactor = 2.0f; },
        [](Replay& r) { r.outcome.ticks = kMaxReplayTicks + 1; },
        [](Replay& r) { std::swap(r.events.front(), r.events.back()); },
        [](Replay& r) { r.events.back().tick = r.outcome.ticks + 1; },
        [](Replay& r) { r.events[3].kind = static_cast<ReplayEventKind>(8); },
    };
    for (size_t i = 0; i < std::size(breaks); ++i) {
        Replay broken = good;
        breaks[i](broken);
        EXPECT_TRUE(EncodeReplay(broken).empty()) << "case " << i;
    }
}

TEST(ReplayFile, FilesAreWrittenWholeAndRefusalsNameTheFile) {
    const fs::path dir =
        fs::temp_directory_path() / ("backfire_replay_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const std::string path = (dir / "mission.bfr").string();
    const Replay replay = MissionReplay(300, 2000);

    ASSERT_TRUE(WriteReplayFile(path, replay));
    EXPECT_EQ(test_files::Read(path).size(), EncodeReplay(replay).size());
    Replay read;
    std::string error;
    ASSERT_TRUE(ReadReplayFile(path, &read, &error)) << error;
    ExpectSame(read, replay);

    Replay unreadable = replay;
    unreadable.mission = -1;
    EXPECT_FALSE(WriteReplayFile(path, unreadable));
    EXPECT_FALSE(WriteReplayFile((dir / "no such folder" / "x.bfr").string(), replay));
    ASSERT_TRUE(ReadReplayFile(path, &read, &error)) << "the refused writes left the file alone: " << error;

    test_files::Write(path, "BFRP");
    EXPECT_FALSE(ReadReplayFile(path, &read, &error));
    EXPECT_EQ(error, path + ": truncated header (4 of 88 bytes)");
    EXPECT_TRUE(read.events.empty());
    const std::string missing = (dir / "missing.bfr").string();
    EXPECT_FALSE(ReadReplayFile(missing, &read, &error));
    EXPECT_EQ(error.rfind(missing + ": cannot open", 0), 0u) << error;
    fs::remove_all(dir);
}

} // namespace
