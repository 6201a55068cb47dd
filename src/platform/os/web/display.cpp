// The browser always has the page's canvas to show the game on.
#include "platform/os/display.h"

namespace platform {

std::string MissingDisplayProblem(bool) {
    return "";
}

std::string NoDisplayOpenedProblem() {
    return "no canvas to show the game on: the page has no element with the id \"canvas\"";
}

void EndAtOnceOnLostDisplay() {}

} // namespace platform
