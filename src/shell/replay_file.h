// A recorded mission: what it was played with, every input the play mode took
// in, tick by tick, and how it ended, so that it can be played again. The file
// is a fixed 88-byte little-endian header followed by the events deflated with
// zlib; README.md ("Replays") gives the layout byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/game_state.h"

// The simulation's version: bumped whenever a change makes old replays play differently.
constexpr uint32_t kSimulationVersion = 1;
// The layout of the file itself.
constexpr uint32_t kReplayFormatVersion = 1;
// Limits far beyond any mission (a mission of an hour is about 140,000 ticks).
constexpr uint32_t kMaxReplayEvents = 1'000'000;
constexpr uint32_t kMaxReplayTicks = 10'000'000;
constexpr size_t kMaxGameVersionBytes = 15;

// Kinds 0..6 are the queued input events (core/input_event.h) with their
// fields; Pointer is the pointer position the play mode hands the field after
// draining a tick's events, x and y in screen pixels.
enum class ReplayEventKind : uint8_t {
    KeyDown = 0,
    KeyUp = 1,
    LeftDown = 2,
    LeftUp = 3,
    RightDown = 4,
    RightUp = 5,
    MouseDelta = 6,
    Pointer = 7
};

struct ReplayEvent {
    uint32_t tick;
    ReplayEventKind kind;
    uint8_t character;
    int32_t keyCode;
    int32_t x;
    int32_t y;
    friend bool operator==(const ReplayEvent&, const ReplayEvent&) = default;
};

struct ReplayOutcome {
    int32_t score; // in hundreds, as the game keeps it
    int32_t levelIndex;
    uint32_t ticks;
    friend bool operator==(const ReplayOutcome&, const ReplayOutcome&) = default;
};

struct Replay {
    std::string gameVersion; // BACKFIRE_VERSION of the recording game, printable ASCII, at most 15 bytes
    uint32_t simulationVersion = kSimulationVersion;
    int32_t mission = 0;             // 0..MissionCount-1
    Options options{};               // the whole options block the mission was played with
    int32_t firstGame = 0;           // 1 when it was the player's first game (the tip was shown)
    std::vector<ReplayEvent> events; // in tick order (ticks never decrease), every tick <= outcome.ticks
    ReplayOutcome outcome{};
};

// The file's bytes. Empty when the replay breaks one of the rules above or
// the limits (each a rule DecodeReplay checks), so that whatever is written
// can be read back; the simulation version is written as given.
std::vector<uint8_t> EncodeReplay(const Replay& replay);
// Refuses anything not made by EncodeReplay of this simulation version, with a
// one-line reason in *error and *replay left as Replay{}. Memory use is bounded
// by the input's size and the event limit, whatever the bytes hold.
bool DecodeReplay(const std::vector<uint8_t>& bytes, Replay* replay, std::string* error);
// As DecodeReplay, for a file; the reason starts with the file's name.
bool ReadReplayFile(const std::string& path, Replay* replay, std::string* error);
// Writes atomically (platform::WriteFileAtomically): on false the old file, if
// any, is untouched. False also when EncodeReplay refuses the replay.
bool WriteReplayFile(const std::string& path, const Replay& replay);
