// The start-up trace. A run logs into "autolog.dat" only when the run before it
// never reached its finishing point; "als.dat" carries that one bit between
// runs ("0" while a run is in progress, "1" once it has finished). Every call
// opens and closes its file, so the log survives a crash up to its last line,
// and every failed file operation is skipped silently.
#pragma once

#include <cstdint>

class RunLog {
  public:
    int32_t enabled = 0;

    // Reads "als.dat" (a leading 0 turns the log on; a missing file or one that
    // does not start with a number leaves it off), writes "0" back, and when
    // on, starts "autolog.dat" with the header line naming the text and the
    // local date and time.
    void Start(const char* text);
    // Appends the text exactly as given, when on.
    void Log(const char* text);
    // Appends the value as a signed decimal, when on.
    void LogNumber(int32_t value);
    // Writes "1" to "als.dat", appends the FINISHED marker if still on, and
    // turns the log off.
    void Finish();
};

extern RunLog TheRunLog;
