// The entry point: joins argv into the one command line the game parses.
#include "core/main_loop.h"
#include "platform/harness.h"

#include <string>

int main(int argc, char** argv) {
    if (!platform::StartHarness())
        return 2;
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    int code = GameMain(nullptr, nullptr, commandLine.data(), SW_SHOWNORMAL);
    platform::StopHarness();
    return code;
}
