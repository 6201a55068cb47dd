// libFuzzer entry: bytes as "als.dat" through the run log's start. Whatever the
// file holds, the log is on exactly when it begins with a decimal number whose
// value is zero, "als.dat" then holds "0", and only a log that is on starts
// "autolog.dat" with its header; finishing leaves "1".
#include "engine/run_log.h"
#include "fuzz_scratch.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {

// What reading one decimal number tells of its value: optional white space,
// an optional sign, then at least one digit, all of them zeros.
bool StartsWithZero(const uint8_t* data, size_t size) {
    size_t i = 0;
    while (i < size && std::isspace(data[i]))
        ++i;
    if (i < size && (data[i] == '+' || data[i] == '-'))
        ++i;
    const size_t digits = i;
    while (i < size && data[i] == '0')
        ++i;
    return i > digits && (i == size || !std::isdigit(data[i]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnterScratchDirectory();
    std::remove("autolog.dat");
    fuzz::WriteWhole("als.dat", data, size);
    RunLog log;
    log.Start("App Start");
    const std::string state = fuzz::ReadWhole("als.dat");
    const std::string header = fuzz::ReadWhole("autolog.dat");
    if (log.enabled != (StartsWithZero(data, size) ? 1 : 0) || state != "0" ||
        (log.enabled ? header.rfind("Autolog for App Start v0.500000,  ", 0) != 0 : !header.empty()))
        std::abort();
    log.Finish();
    if (fuzz::ReadWhole("als.dat") != "1" || log.enabled != 0)
        std::abort();
    return 0;
}
