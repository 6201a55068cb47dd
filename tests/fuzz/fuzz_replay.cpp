// libFuzzer entry: bytes through the replay decoder. A refusal gives one line
// and an empty replay; an accepted replay keeps every rule the game relies on
// (mission and options in range, events in order, known kinds, none past the
// end) and is stable: encoded again it decodes to the same replay, and that
// encoding is reproduced exactly. Each input is tried as it is and with its
// checksum made right.
#include "shell/replay_file.h"

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Check(bool holds) {
    if (!holds)
        __builtin_trap();
}

bool In(int32_t value, int32_t lo, int32_t hi) {
    return value >= lo && value <= hi;
}

void CheckRules(const Replay& r) {
    Check(r.simulationVersion == kSimulationVersion && r.gameVersion.size() <= kMaxGameVersionBytes);
    Check(In(r.mission, 0, MissionCount - 1) && In(r.firstGame, 0, 1));
    const Options& o = r.options;
    Check(In(o.musicOn, 0, 1) && In(o.soundOn, 0, 1) && std::isfinite(o.gameSpeedFactor) &&
          o.gameSpeedFactor >= 0.25f && o.gameSpeedFactor <= 1.75f);
    Check(In(o.thrustSpeed, 0, SpeedSettingCount - 1) && In(o.gameSpeed, 0, SpeedSettingCount - 1) &&
          In(o.menuSpeed, 0, SpeedSettingCount - 1) && In(o.difficulty, 0, DifficultyCount - 1));
    Check(r.outcome.ticks <= kMaxReplayTicks && r.events.size() <= kMaxReplayEvents);
    uint32_t previous = 0;
    for (const ReplayEvent& event : r.events) {
        Check(event.tick >= previous && event.tick <= r.outcome.ticks);
        Check(static_cast<uint8_t>(event.kind) <= static_cast<uint8_t>(ReplayEventKind::Pointer));
        previous = event.tick;
    }
}

bool Same(const Replay& a, const Replay& b) {
    return a.gameVersion == b.gameVersion && a.simulationVersion == b.simulationVersion &&
           a.mission == b.mission && std::memcmp(&a.options, &b.options, sizeof(Options)) == 0 &&
           a.firstGame == b.firstGame && a.outcome == b.outcome && a.events == b.events;
}

void CheckDecode(const std::vector<uint8_t>& bytes) {
    Replay replay;
    std::string error;
    if (!DecodeReplay(bytes, &replay, &error)) {
        Check(!error.empty() && error.find('\n') == std::string::npos);
        Check(replay.events.empty() && replay.gameVersion.empty() && replay.mission == 0 &&
              replay.outcome == ReplayOutcome{});
        return;
    }
    CheckRules(replay);
    const std::vector<uint8_t> encoded = EncodeReplay(replay);
    Check(!encoded.empty());
    Replay again;
    Check(DecodeReplay(encoded, &again, &error) && Same(again, replay));
    Check(EncodeReplay(again) == encoded);
}

// The same bytes with the checksum (offset 84, over bytes 0..83 and the body
// from offset 88) made right, so that mutations reach the checks behind it.
std::vector<uint8_t> Resealed(std::vector<uint8_t> bytes) {
    constexpr size_t kCrcAt = 84, kBodyAt = 88;
    uLong crc = crc32(0, bytes.data(), kCrcAt);
    crc = crc32(crc, bytes.data() + kBodyAt, static_cast<uInt>(bytes.size() - kBodyAt));
    for (size_t k = 0; k < 4; ++k)
        bytes[kCrcAt + k] = static_cast<uint8_t>(crc >> (8 * k));
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    CheckDecode(bytes);
    if (size >= 88)
        CheckDecode(Resealed(bytes));
    return 0;
}
