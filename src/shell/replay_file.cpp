#include "shell/replay_file.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/os/files.h"

namespace {

constexpr char kMagic[4] = {'B', 'F', 'R', 'P'};

// The header as it lies in the file. Every field is four bytes or a multiple
// of four, so the struct has no padding and is the file's image.
struct ReplayHeader {
    char magic[4];
    uint32_t formatVersion;
    uint32_t simulationVersion;
    char gameVersion[16]; // zero-padded, so at least one zero
    int32_t mission;
    Options options;
    int32_t firstGame;
    int32_t score;
    int32_t levelIndex;
    uint32_t ticks;
    uint32_t eventCount;
    uint32_t bodyBytes;
    uint32_t crc; // of the 84 bytes before it, then the body
};
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(ReplayHeader) == 88);
static_assert(offsetof(ReplayHeader, formatVersion) == 4);
static_assert(offsetof(ReplayHeader, simulationVersion) == 8);
static_assert(offsetof(ReplayHeader, gameVersion) == 12);
static_assert(offsetof(ReplayHeader, mission) == 28);
static_assert(offsetof(ReplayHeader, options) == 32);
static_assert(offsetof(ReplayHeader, firstGame) == 60);
static_assert(offsetof(ReplayHeader, score) == 64);
static_assert(offsetof(ReplayHeader, ticks) == 72);
static_assert(offsetof(ReplayHeader, eventCount) == 76);
static_assert(offsetof(ReplayHeader, bodyBytes) == 80);
static_assert(offsetof(ReplayHeader, crc) == 84);
constexpr size_t kHeaderBytes = sizeof(ReplayHeader);
constexpr size_t kCheckedHeaderBytes = offsetof(ReplayHeader, crc);

// An event before compression: tick advance (i32), kind (u8), character (u8),
// keyCode, x, y (i32). A Pointer event's x and y are the change from the
// previous Pointer event's, so a pointer at rest or gliding packs small.
constexpr size_t kRecordBytes = 18;

void Put32(uint8_t* at, uint32_t value) {
    for (int k = 0; k < 4; ++k)
        at[k] = static_cast<uint8_t>(value >> (8 * k));
}

uint32_t Get32(const uint8_t* at) {
    return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
}

uint32_t BodyCrc(const uint8_t* header, const uint8_t* body, size_t bodyBytes) {
    const uLong crc = crc32(0, header, kCheckedHeaderBytes);
    return static_cast<uint32_t>(crc32(crc, body, static_cast<uInt>(bodyBytes)));
}

bool Printable(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

std::string OptionsFault(const Options& o) {
    const struct {
        const char* name;
        int32_t value, last;
    } fields[] = {{"musicOn", o.musicOn, 1},
                  {"soundOn", o.soundOn, 1},
                  {"thrustSpeed", o.thrustSpeed, SpeedSettingCount - 1},
                  {"gameSpeed", o.gameSpeed, SpeedSettingCount - 1},
                  {"menuSpeed", o.menuSpeed, SpeedSettingCount - 1},
                  {"difficulty", o.difficulty, DifficultyCount - 1}};
    for (const auto& field : fields)
        if (field.value < 0 || field.value > field.last)
            return "options out of range: " + std::string(field.name) + " " + std::to_string(field.value) +
                   " (0.." + std::to_string(field.last) + ")";
    constexpr float kSlowest = 0.25f, kFastest = 0.25f * SpeedSettingCount;
    if (!std::isfinite(o.gameSpeedFactor) || o.gameSpeedFactor < kSlowest || o.gameSpeedFactor > kFastest) {
        char text[96];
        std::snprintf(text, sizeof text, "options out of range: gameSpeedFactor %g (%g..%g)",
                      static_cast<double>(o.gameSpeedFactor), static_cast<double>(kSlowest),
                      static_cast<double>(kFastest));
        return text;
    }
    return {};
}

// What is wrong with everything but the events and the simulation version;
// empty when nothing is.
std::string HeaderFault(const Replay& r, uint64_t eventCount) {
    if (r.gameVersion.size() > kMaxGameVersionBytes || !Printable(r.gameVersion))
        return "the game version is not printable text of at most 15 bytes";
    if (eventCount > kMaxReplayEvents)
        return "absurd event count " + std::to_string(eventCount) + " (at most " +
               std::to_string(kMaxReplayEvents) + ")";
    if (r.outcome.ticks > kMaxReplayTicks)
        return "absurd mission length of " + std::to_string(r.outcome.ticks) + " ticks (at most " +
               std::to_string(kMaxReplayTicks) + ")";
    if (r.mission < 0 || r.mission >= MissionCount)
        return "mission index " + std::to_string(r.mission) + " out of range (0.." +
               std::to_string(MissionCount - 1) + ")";
    if (std::string fault = OptionsFault(r.options); !fault.empty())
        return fault;
    if (r.firstGame != 0 && r.firstGame != 1)
        return "first-game flag " + std::to_string(r.firstGame) + " is neither 0 nor 1";
    return {};
}

std::string EventFault(size_t index, uint8_t kind, int64_t tick, int64_t previousTick, uint32_t endTick) {
    const std::string event = "event " + std::to_string(index);
    if (kind > static_cast<uint8_t>(ReplayEventKind::Pointer))
        return event + " has unknown kind " + std::to_string(kind);
    if (tick < previousTick)
        return event + " is out of order (tick " + std::to_string(tick) + " after tick " +
               std::to_string(previousTick) + ")";
    if (tick > endTick)
        return event + " at tick " + std::to_string(tick) + " is past the mission's end at tick " +
               std::to_string(endTick);
    return {};
}

bool Refuse(const std::string& reason, Replay* replay, std::string* error) {
    *replay = Replay{};
    if (error != nullptr)
        *error = reason;
    return false;
}

// Fills replay->events from the inflated records; false with the reason in
// *fault at the first event that breaks a rule.
bool DecodeEvents(const uint8_t* records, size_t count, Replay* replay, std::string* fault) {
    replay->events.reserve(count);
    int64_t previousTick = 0;
    uint32_t pointerX = 0, pointerY = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* at = records + i * kRecordBytes;
        const int64_t tick = previousTick + static_cast<int32_t>(Get32(at));
        *fault = EventFault(i, at[4], tick, previousTick, replay->outcome.ticks);
        if (!fault->empty())
            return false;
        ReplayEvent event{static_cast<uint32_t>(tick),
                          static_cast<ReplayEventKind>(at[4]),
                          at[5],
                          static_cast<int32_t>(Get32(at + 6)),
                          static_cast<int32_t>(Get32(at + 10)),
                          static_cast<int32_t>(Get32(at + 14))};
        if (event.kind == ReplayEventKind::Pointer) {
            pointerX += static_cast<uint32_t>(event.x);
            pointerY += static_cast<uint32_t>(event.y);
            event.x = static_cast<int32_t>(pointerX);
            event.y = static_cast<int32_t>(pointerY);
        }
        replay->events.push_back(event);
        previousTick = tick;
    }
    return true;
}

} // namespace

std::vector<uint8_t> EncodeReplay(const Replay& replay) {
    if (!HeaderFault(replay, replay.events.size()).empty())
        return {};
    std::vector<uint8_t> records(replay.events.size() * kRecordBytes);
    uint32_t previousTick = 0, pointerX = 0, pointerY = 0;
    for (size_t i = 0; i < replay.events.size(); ++i) {
        const ReplayEvent& event = replay.events[i];
        if (!EventFault(i, static_cast<uint8_t>(event.kind), event.tick, previousTick, replay.outcome.ticks)
                 .empty())
            return {};
        uint32_t x = static_cast<uint32_t>(event.x), y = static_cast<uint32_t>(event.y);
        if (event.kind == ReplayEventKind::Pointer) {
            x -= pointerX;
            y -= pointerY;
            pointerX = static_cast<uint32_t>(event.x);
            pointerY = static_cast<uint32_t>(event.y);
        }
        uint8_t* at = records.data() + i * kRecordBytes;
        Put32(at, event.tick - previousTick);
        at[4] = static_cast<uint8_t>(event.kind);
        at[5] = event.character;
        Put32(at + 6, static_cast<uint32_t>(event.keyCode));
        Put32(at + 10, x);
        Put32(at + 14, y);
        previousTick = event.tick;
    }
    uLongf packedBytes = compressBound(static_cast<uLong>(records.size()));
    std::vector<uint8_t> bytes(kHeaderBytes + packedBytes);
    if (compress2(bytes.data() + kHeaderBytes, &packedBytes, records.data(),
                  static_cast<uLong>(records.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    bytes.resize(kHeaderBytes + packedBytes);

    ReplayHeader h{};
    std::memcpy(h.magic, kMagic, sizeof kMagic);
    h.formatVersion = kReplayFormatVersion;
    h.simulationVersion = replay.simulationVersion;
    std::memcpy(h.gameVersion, replay.gameVersion.data(), replay.gameVersion.size());
    h.mission = replay.mission;
    h.options = replay.options;
    h.firstGame = replay.firstGame;
    h.score = replay.outcome.score;
    h.levelIndex = replay.outcome.levelIndex;
    h.ticks = replay.outcome.ticks;
    h.eventCount = static_cast<uint32_t>(replay.events.size());
    h.bodyBytes = static_cast<uint32_t>(packedBytes);
    std::memcpy(bytes.data(), &h, kHeaderBytes);
    h.crc = BodyCrc(bytes.data(), bytes.data() + kHeaderBytes, packedBytes);
    std::memcpy(bytes.data(), &h, kHeaderBytes);
    return bytes;
}

bool DecodeReplay(const std::vector<uint8_t>& bytes, Replay* replay, std::string* error) {
    *replay = Replay{};
    const size_t size = bytes.size();
    if (size > 0 && std::memcmp(bytes.data(), kMagic, std::min(size, sizeof kMagic)) != 0)
        return Refuse("not a replay file", replay, error);
    const std::string truncatedHeader =
        "truncated header (" + std::to_string(size) + " of " + std::to_string(kHeaderBytes) + " bytes)";
    if (size < offsetof(ReplayHeader, simulationVersion))
        return Refuse(truncatedHeader, replay, error);
    if (const uint32_t format = Get32(bytes.data() + offsetof(ReplayHeader, formatVersion));
        format != kReplayFormatVersion)
        return Refuse("unknown replay format version " + std::to_string(format) +
                          " (this game reads version " + std::to_string(kReplayFormatVersion) + ")",
                      replay, error);
    if (size < kHeaderBytes)
        return Refuse(truncatedHeader, replay, error);
    ReplayHeader h;
    std::memcpy(&h, bytes.data(), kHeaderBytes);
    const uint8_t* body = bytes.data() + kHeaderBytes;
    const size_t bodyBytes = size - kHeaderBytes;
    if (bodyBytes < h.bodyBytes)
        return Refuse("truncated body (" + std::to_string(bodyBytes) + " of " + std::to_string(h.bodyBytes) +
                          " bytes)",
                      replay, error);
    if (bodyBytes > h.bodyBytes)
        return Refuse("stray bytes after the body (" + std::to_string(bodyBytes - h.bodyBytes) + ")", replay,
                      error);
    if (BodyCrc(bytes.data(), body, bodyBytes) != h.crc)
        return Refuse("wrong checksum (the file is damaged)", replay, error);

    char* versionEnd = std::find(h.gameVersion, h.gameVersion + sizeof h.gameVersion, '\0');
    if (std::any_of(versionEnd, h.gameVersion + sizeof h.gameVersion, [](char c) { return c != '\0'; }))
        return Refuse("malformed game version field", replay, error);
    Replay decoded;
    decoded.gameVersion.assign(h.gameVersion, static_cast<size_t>(versionEnd - h.gameVersion));
    decoded.simulationVersion = h.simulationVersion;
    decoded.mission = h.mission;
    decoded.options = h.options;
    decoded.firstGame = h.firstGame;
    decoded.outcome = ReplayOutcome{h.score, h.levelIndex, h.ticks};
    if (!Printable(decoded.gameVersion))
        return Refuse(HeaderFault(decoded, 0), replay, error);
    if (h.simulationVersion != kSimulationVersion)
        return Refuse("recorded by simulation version " + std::to_string(h.simulationVersion) +
                          " (backfire " +
                          (decoded.gameVersion.empty() ? "of unknown version" : decoded.gameVersion) +
                          "); this game plays version " + std::to_string(kSimulationVersion),
                      replay, error);
    if (std::string fault = HeaderFault(decoded, h.eventCount); !fault.empty())
        return Refuse(fault, replay, error);

    // The output buffer is the cap: one spare byte shows a body that holds more.
    const size_t recordBytes = size_t{h.eventCount} * kRecordBytes;
    std::vector<uint8_t> records(recordBytes + 1);
    uLongf inflated = static_cast<uLongf>(records.size());
    uLong consumed = static_cast<uLong>(bodyBytes);
    if (uncompress2(records.data(), &inflated, body, &consumed) != Z_OK || inflated != recordBytes ||
        consumed != bodyBytes)
        return Refuse("the body does not hold the header's " + std::to_string(h.eventCount) + " events",
                      replay, error);
    std::string fault;
    if (!DecodeEvents(records.data(), h.eventCount, &decoded, &fault))
        return Refuse(fault, replay, error);
    *replay = std::move(decoded);
    return true;
}

bool ReadReplayFile(const std::string& path, Replay* replay, std::string* error) {
    *replay = Replay{};
    std::unique_ptr<FILE, int (*)(FILE*)> file(platform::OpenFile(path.c_str(), "rb"), std::fclose);
    if (!file)
        return Refuse(path + ": cannot open it (" + std::strerror(errno) + ")", replay, error);
    const size_t largest = kHeaderBytes + compressBound(kMaxReplayEvents * kRecordBytes);
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > largest)
            return Refuse(path + ": too large for a replay", replay, error);
    }
    if (std::ferror(file.get()) != 0)
        return Refuse(path + ": cannot read it", replay, error);
    std::string reason;
    if (!DecodeReplay(bytes, replay, &reason))
        return Refuse(path + ": " + reason, replay, error);
    return true;
}

bool WriteReplayFile(const std::string& path, const Replay& replay) {
    const std::vector<uint8_t> bytes = EncodeReplay(replay);
    return !bytes.empty() && platform::WriteFileAtomically(path.c_str(), bytes.data(), bytes.size());
}
