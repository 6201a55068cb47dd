#include "platform/harness/input_script.h"

#include "platform/os/files.h"
#include "platform/win32/key_map.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <limits>
#include <memory>
#include <sstream>

namespace platform {
namespace {

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> tokens;
    std::istringstream stream(line.substr(0, line.find('#')));
    std::string token;
    while (stream >> token)
        tokens.push_back(token);
    return tokens;
}

// A whole decimal number within [low, high].
bool ParseInteger(const std::string& text, int64_t low, int64_t high, int64_t* value) {
    if (text.empty() || text.size() > 20)
        return false;
    size_t start = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (start == text.size())
        return false;
    for (size_t i = start; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    errno = 0;
    long long parsed = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || parsed < low || parsed > high)
        return false;
    *value = parsed;
    return true;
}

// A controller button by name or by its number 0..14; -1 when neither.
int PadButtonFromName(const std::string& name) {
    static const char* const kNames[] = {"A", "B", "X", "Y", "BACK", "GUIDE", "START"};
    std::string upper;
    for (char c : name)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int i = 0; i < static_cast<int>(std::size(kNames)); ++i)
        if (upper == kNames[i])
            return i;
    int64_t number = 0;
    if (name[0] != '+' && name[0] != '-' && ParseInteger(name, 0, 14, &number))
        return static_cast<int>(number);
    return -1;
}

constexpr int64_t kMaxTick = std::numeric_limits<uint32_t>::max();
constexpr int64_t kMaxMove = std::numeric_limits<int32_t>::max();

// One line into zero or more events; a reason on failure.
bool ParseLine(const std::vector<std::string>& t, int line, std::vector<ScriptEvent>* out,
               std::string* reason) {
    int64_t tick = 0;
    if (!ParseInteger(t[0], 0, kMaxTick, &tick) || t[0][0] == '-' || t[0][0] == '+') {
        *reason = "bad tick '" + t[0] + "'";
        return false;
    }
    if (t.size() < 2) {
        *reason = "missing event after the tick";
        return false;
    }
    const std::string& kind = t[1];
    size_t wanted = kind == "close" ? 2 : kind == "move" || kind == "hold" || kind == "pad" ? 4 : 3;
    bool known = kind == "down" || kind == "up" || kind == "char" || kind == "hold" || kind == "lmb" ||
                 kind == "rmb" || kind == "move" || kind == "shot" || kind == "close" || kind == "pad";
    if (!known) {
        *reason = "unknown event '" + kind + "'";
        return false;
    }
    if (t.size() != wanted) {
        *reason =
            "'" + kind + "' takes " + std::to_string(wanted - 2) + " argument" + (wanted == 3 ? "" : "s");
        return false;
    }

    ScriptEvent event;
    event.tick = static_cast<uint32_t>(tick);
    event.line = line;
    if (kind == "down" || kind == "up" || kind == "hold") {
        event.key = VirtualKeyFromName(t[2]);
        if (event.key == 0) {
            *reason = "unknown key '" + t[2] + "'";
            return false;
        }
        event.action = kind == "up" ? ScriptAction::KeyUp : ScriptAction::KeyDown;
        if (kind != "hold") {
            out->push_back(event);
            return true;
        }
        int64_t length = 0;
        if (!ParseInteger(t[3], 1, kMaxTick, &length) || tick + length > kMaxTick) {
            *reason = "bad hold length '" + t[3] + "'";
            return false;
        }
        event.typed = true;
        out->push_back(event);
        event.typed = false;
        event.action = ScriptAction::KeyUp;
        event.tick = static_cast<uint32_t>(tick + length);
        out->push_back(event);
        return true;
    }
    if (kind == "char") {
        int64_t code = static_cast<unsigned char>(t[2][0]);
        if (t[2].size() > 1 && !ParseInteger(t[2], 0, 255, &code)) {
            *reason = "bad character '" + t[2] + "'";
            return false;
        }
        event.action = ScriptAction::Char;
        event.value = static_cast<int32_t>(code);
    } else if (kind == "lmb" || kind == "rmb") {
        if (t[2] != "down" && t[2] != "up") {
            *reason = "'" + kind + "' wants down or up";
            return false;
        }
        event.action = kind == "lmb" ? ScriptAction::LeftButton : ScriptAction::RightButton;
        event.value = t[2] == "down" ? 1 : 0;
    } else if (kind == "move") {
        int64_t dx = 0;
        int64_t dy = 0;
        if (!ParseInteger(t[2], -kMaxMove, kMaxMove, &dx) || !ParseInteger(t[3], -kMaxMove, kMaxMove, &dy)) {
            *reason = "bad movement";
            return false;
        }
        event.action = ScriptAction::Move;
        event.value = static_cast<int32_t>(dx);
        event.value2 = static_cast<int32_t>(dy);
    } else if (kind == "pad") {
        if (t[2] != "down" && t[2] != "up") {
            *reason = "'pad' wants down or up";
            return false;
        }
        event.key = PadButtonFromName(t[3]);
        if (event.key < 0) {
            *reason = "unknown pad button '" + t[3] + "'";
            return false;
        }
        event.action = ScriptAction::Pad;
        event.value = t[2] == "down" ? 1 : 0;
    } else if (kind == "shot") {
        event.action = ScriptAction::Shot;
        event.file = t[2];
    } else {
        event.action = ScriptAction::Close;
    }
    out->push_back(event);
    return true;
}

} // namespace

bool ParseInputScript(const std::string& text, const std::string& name, std::vector<ScriptEvent>* events,
                      std::string* error) {
    std::vector<ScriptEvent> parsed;
    std::istringstream stream(text);
    std::string line;
    int number = 0;
    while (std::getline(stream, line)) {
        ++number;
        std::vector<std::string> tokens = Tokens(line);
        if (tokens.empty())
            continue;
        std::string reason;
        if (!ParseLine(tokens, number, &parsed, &reason)) {
            *error = name + ":" + std::to_string(number) + ": " + reason;
            return false;
        }
    }
    std::stable_sort(parsed.begin(), parsed.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.tick < b.tick; });
    *events = std::move(parsed);
    return true;
}

bool LoadInputScript(const std::string& path, std::vector<ScriptEvent>* events, std::string* error) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(OpenFile(path.c_str(), "rb"), std::fclose);
    if (!file) {
        *error = path + ":0: cannot read the script";
        return false;
    }
    std::string text;
    char buffer[4096];
    for (size_t length; (length = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;)
        text.append(buffer, length);
    return ParseInputScript(text, path, events, error);
}

} // namespace platform
