// The byte images of options.dat and game.dat built field by field from
// their layouts, independently of the game's own readers and writers.
#pragma once

#include <cstdint>
#include <string>

namespace e2e {

// A file image built field by field: 32-bit little-endian words.
class Block {
  public:
    Block& Int(int32_t value) {
        const auto word = static_cast<uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((word >> shift) & 0xFFu));
        return *this;
    }
    // A float32 given by its bit pattern, so the expectation does not depend
    // on how this program stores floats.
    Block& FloatBits(uint32_t bits) { return Int(static_cast<int32_t>(bits)); }
    Block& Zeros(int words) {
        for (int i = 0; i < words; ++i)
            Int(0);
        return *this;
    }
    const std::string& Bytes() const { return bytes; }

  private:
    std::string bytes;
};

constexpr uint32_t FloatOne = 0x3F800000u;                 // 1.0
constexpr uint32_t FloatOneAndAQuarter = 0x3FA00000u;      // 1.25
constexpr uint32_t FloatOneAndThreeQuarters = 0x3FE00000u; // 1.75

// options.dat: music, sound, game-speed factor, thrust, game speed, menu speed, difficulty.
inline std::string OptionsFile(int32_t musicOn, int32_t soundOn, uint32_t factorBits, int32_t thrust,
                               int32_t gameSpeed, int32_t menuSpeed, int32_t difficulty) {
    return Block()
        .Int(musicOn)
        .Int(soundOn)
        .FloatBits(factorBits)
        .Int(thrust)
        .Int(gameSpeed)
        .Int(menuSpeed)
        .Int(difficulty)
        .Bytes();
}

struct MissionRecord {
    int32_t unlocked = 0;
    int32_t bestScore = 0;
    int32_t bestLevelIndex = 0;
};

struct ProgressFields {
    MissionRecord missions[10];
    int32_t lastMission = 0;
    int32_t gamesPlayed = 0;
    int32_t lastScore = 0;
    int32_t bestScoreEver = 0;
    int32_t lastLevelIndex = 0;
    int32_t missionTicks = 0;
    int32_t hitStreak = 0;
    int32_t lastKillType = 0;
    int32_t sameKillStreak = 0;
    uint32_t killHeatBits = 0;
    int32_t tipCounter = 0;
};

// game.dat: ten 16-byte mission records, then the game's counters, the five
// bonus flags (always cleared once a level starts) and the bonus counters.
inline std::string ProgressFile(const ProgressFields& p) {
    Block block;
    for (const MissionRecord& m : p.missions)
        block.Int(m.unlocked).Int(0).Int(m.bestScore).Int(m.bestLevelIndex);
    block.Int(p.lastMission)
        .Int(p.gamesPlayed)
        .Int(p.lastScore)
        .Int(p.bestScoreEver)
        .Int(p.lastLevelIndex)
        .Int(p.missionTicks)
        .Zeros(5)
        .Int(p.hitStreak)
        .Int(p.lastKillType)
        .Int(p.sameKillStreak)
        .FloatBits(p.killHeatBits)
        .Int(p.tipCounter);
    return block.Bytes();
}

// The little-endian 32-bit word at `offset`, 0 past the end.
inline int32_t WordAt(const std::string& bytes, size_t offset) {
    if (offset + 4 > bytes.size())
        return 0;
    uint32_t word = 0;
    for (int i = 3; i >= 0; --i)
        word = word << 8 | static_cast<uint8_t>(bytes[offset + static_cast<size_t>(i)]);
    return static_cast<int32_t>(word);
}

} // namespace e2e
