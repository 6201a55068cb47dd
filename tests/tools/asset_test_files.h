// What the asset tests share: every dat\ name the game opens, spelled as the
// game spells it, a fixture that runs in the build folder (where the game
// finds dat/), and a plain RIFF WAVE reader.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/os/files.h"

namespace asset_test {

inline const std::vector<std::string>& BackdropNames() {
    static const std::vector<std::string> names = {
        "dat\\256Moon.png",      "dat\\256Star.png",  "dat\\256Hex.png",
        "dat\\256Storm.png",     "dat\\256Night.png", "dat\\256nebStarCombo.png",
        "dat\\256RedGalaxy.png", "dat\\256Land.png",  "dat\\256star.png"};
    return names;
}

inline const std::vector<std::string>& TileNames() {
    static const std::vector<std::string> names = {
        "dat\\bandTile.png",  "dat\\cellsCTile.png", "dat\\flameTile.png",
        "dat\\cloudTile.png", "dat\\cloud2Tile.png", "dat\\marbleTile.png",
        "dat\\sandTile.png",  "dat\\cellsBTile.png", "dat\\cellsATile.png"};
    return names;
}

inline const std::vector<std::string>& ShipNames() {
    static const std::vector<std::string> names = {
        "dat\\player\\playerc0006.png", "dat\\player\\playerc0014.png", "dat\\player\\playerc0002.png",
        "dat\\player\\playerc0001.png", "dat\\player\\playerc0012.png", "dat\\player\\playerc0013.png",
        "dat\\player\\playerc0004.png", "dat\\player\\playerA0002.png", "dat\\player\\playerA0001.png",
        "dat\\player\\playerA0015.png"};
    return names;
}

// The enemy art table: type t is file t % 6 of set t / 6.
inline std::vector<std::string> EnemyNames() {
    struct Set {
        const char* stem;
        int numbers[6];
    };
    static const Set sets[16] = {
        {"bloodWhite", {13, 11, 12, 7, 22, 25}}, {"brown", {5, 7, 8, 10, 11, 12}},
        {"industrial", {0, 10, 12, 13, 15, 16}}, {"flame", {2, 4, 6, 8, 15, 17}},
        {"concrete", {1, 2, 10, 11, 17, 18}},    {"blueBrick", {1, 3, 5, 6, 9, 16}},
        {"greenCamo", {10, 18, 21, 24, 25, 26}}, {"hive", {0, 1, 5, 6, 10, 15}},
        {"cloud", {1, 5, 9, 11, 14, 16}},        {"mud", {0, 4, 5, 12, 13, 15}},
        {"purple", {2, 6, 9, 11, 13, 14}},       {"slime", {8, 9, 10, 11, 12, 13}},
        {"spiderFire", {7, 11, 12, 15, 18, 19}}, {"steelStars", {5, 7, 10, 13, 14, 15}},
        {"vent", {0, 2, 3, 5, 6, 10}},           {"warp", {1, 6, 7, 11, 12, 15}},
    };
    std::vector<std::string> names;
    for (const Set& set : sets)
        for (int number : set.numbers) {
            char name[64];
            std::snprintf(name, sizeof name, "dat\\enemies\\%s%04d.png", set.stem, number);
            names.push_back(name);
        }
    return names;
}

inline std::vector<std::string> ExplosionNames() {
    std::vector<std::string> names;
    for (int i = 1; i <= 16; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "dat\\exp120-%04d.bmp", i);
        names.push_back(name);
    }
    return names;
}

// Every other picture: effects, HUD, screens, pointers.
inline const std::vector<std::string>& OtherImageNames() {
    static const std::vector<std::string> names = {"dat\\flare-white.bmp",     "dat\\flare-white-full.bmp",
                                                   "dat\\flare6.png",          "dat\\ring1.png",
                                                   "dat\\ring3.png",           "dat\\standardShot.png",
                                                   "dat\\cone2.png",           "dat\\laser.png",
                                                   "dat\\missile.png",         "dat\\bomb1.png",
                                                   "dat\\shrapnel.png",        "dat\\asteroidBit.png",
                                                   "dat\\smoke128.png",        "dat\\meter.png",
                                                   "dat\\missionOver.png",     "dat\\missionComplete.png",
                                                   "dat\\missionExcelled.png", "dat\\bonusSniper.png",
                                                   "dat\\bonusXenocide.png",   "dat\\bonusKiller.png",
                                                   "dat\\bonusHunter.png",     "dat\\bonusManiac.png",
                                                   "dat\\turtleIcon.png",      "dat\\titleWordB.png",
                                                   "dat\\WX-logo1.png",        "dat\\TJ-logo1.png",
                                                   "dat\\PMK-logo1.png",       "dat\\mouse000004.bmp",
                                                   "dat\\mouseart.png"};
    return names;
}

// Every one-shot sound effect (thrust, which loops, is listed separately).
inline const std::vector<std::string>& EffectSoundNames() {
    static const std::vector<std::string> names = {
        "dat\\button.wav",       "dat\\explo1.wav",        "dat\\explo2.wav",      "dat\\explo3.wav",
        "dat\\explo4.wav",       "dat\\shot2.wav",         "dat\\shot3.wav",       "dat\\magic2.wav",
        "dat\\multiring.wav",    "dat\\particleDeath.wav", "dat\\break.wav",       "dat\\enemyDamaged.wav",
        "dat\\missile2.wav",     "dat\\plasmaShot.wav",    "dat\\coneShot.wav",    "dat\\lasrbeam3.wav",
        "dat\\damage.wav",       "dat\\phs-out.wav",       "dat\\phs-in.wav",      "dat\\noBoost.wav",
        "dat\\missExp2.wav",     "dat\\fanfareWin.wav",    "dat\\fanfareLost.wav", "dat\\fanfareUnlock.wav",
        "dat\\fanfareNormal.wav"};
    return names;
}

// Runs each test in the build folder, where dat/ was generated, and
// resolves the game's names there as the game does.
class InBuildDir : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(BACKFIRE_BUILD_DIR);
    }
    void TearDown() override { std::filesystem::current_path(previous); }
    static std::string Resolve(const std::string& name) { return platform::ResolvePath(name.c_str()); }
    static std::vector<uint8_t> ReadBytes(const std::string& name) {
        std::ifstream in(Resolve(name), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

  private:
    std::filesystem::path previous;
};

inline uint32_t Le16(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}
inline uint32_t Le32(const uint8_t* p) {
    return Le16(p) | Le16(p + 2) << 16;
}

struct Wav {
    bool valid = false;
    uint32_t formatTag = 0, channels = 0, rate = 0, bits = 0, blockAlign = 0;
    std::vector<int32_t> samples; // signed; 8-bit data centred on 0
};

// RIFF/WAVE with a "fmt " of at least 16 bytes and a "data" chunk, walked
// chunk by chunk with word padding; anything else is invalid.
inline Wav ParseWav(const std::vector<uint8_t>& bytes) {
    Wav wav;
    if (bytes.size() < 12 || std::string(bytes.begin(), bytes.begin() + 4) != "RIFF" ||
        std::string(bytes.begin() + 8, bytes.begin() + 12) != "WAVE")
        return wav;
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        std::string id(bytes.begin() + long(at), bytes.begin() + long(at) + 4);
        size_t size = Le32(&bytes[at + 4]);
        if (at + 8 + size > bytes.size())
            return wav;
        const uint8_t* body = &bytes[at + 8];
        if (id == "fmt " && size >= 16) {
            wav.formatTag = Le16(body);
            wav.channels = Le16(body + 2);
            wav.rate = Le32(body + 4);
            wav.blockAlign = Le16(body + 12);
            wav.bits = Le16(body + 14);
            haveFormat = true;
        } else if (id == "data" && haveFormat) {
            if (wav.bits == 16)
                for (size_t i = 0; i + 1 < size; i += 2)
                    wav.samples.push_back(int16_t(Le16(body + i)));
            else if (wav.bits == 8)
                for (size_t i = 0; i < size; ++i)
                    wav.samples.push_back(int32_t(body[i]) - 128);
            wav.valid = true;
            return wav;
        }
        at += 8 + size + (size & 1);
    }
    return wav;
}

} // namespace asset_test
