#include "engine/run_log.h"

#include "platform/os/files.h"

#include <cctype>
#include <cstdio>
#include <ctime>

RunLog TheRunLog;

namespace {

constexpr const char* kStateFile = "als.dat";
constexpr const char* kLogFile = "autolog.dat";
constexpr double kVersion = 0.5;

void WriteState(const char* text) {
    FILE* file = platform::OpenFile(kStateFile, "w");
    if (!file)
        return;
    std::fputs(text, file);
    std::fclose(file);
}

// True when the file begins with a decimal number (white space, a sign, then
// digits, as "%d" reads one) whose value is zero. The digits are looked at
// rather than converted, so a number too long for an int cannot pass as zero.
bool ReadsZero(FILE* file) {
    int c;
    while ((c = std::fgetc(file)) != EOF && std::isspace(c)) {
    }
    if (c == '+' || c == '-')
        c = std::fgetc(file);
    bool zeros = false;
    while (c == '0') {
        zeros = true;
        c = std::fgetc(file);
    }
    return zeros && (c == EOF || !std::isdigit(c));
}

} // namespace

void RunLog::Start(const char* text) {
    enabled = 0;
    FILE* state = platform::OpenFile(kStateFile, "r");
    if (state) {
        // content that is not a number counts as a finished run: log off
        if (ReadsZero(state))
            enabled = 1;
        std::fclose(state);
    }
    WriteState("0");
    if (!enabled)
        return;

    FILE* log = platform::OpenFile(kLogFile, "w");
    if (!log)
        return;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* converted = std::localtime(&now))
        local = *converted;
    // month/day/two-digit year and 24-hour time, two digits each
    char date[32] = "";
    char clock[32] = "";
    std::strftime(date, sizeof date, "%m/%d/%y", &local);
    std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
    std::fprintf(log, "Autolog for %s v%f,  %s, ", text ? text : "", kVersion, date);
    std::fprintf(log, "%s\n\n", clock);
    std::fclose(log);
}

void RunLog::Log(const char* text) {
    if (!enabled || !text)
        return;
    FILE* log = platform::OpenFile(kLogFile, "a");
    if (!log)
        return;
    std::fputs(text, log);
    std::fclose(log);
}

void RunLog::LogNumber(int32_t value) {
    if (!enabled)
        return;
    FILE* log = platform::OpenFile(kLogFile, "a");
    if (!log)
        return;
    std::fprintf(log, "%d", static_cast<int>(value));
    std::fclose(log);
}

void RunLog::Finish() {
    WriteState("1");
    Log("\n\nFINISHED\n\n");
    enabled = 0;
}
