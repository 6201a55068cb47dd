#include "platform/win32/window_scale.h"

#include "platform/os/environment.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace platform {

int FloorDivide(int64_t numerator, int64_t denominator) {
    int64_t quotient = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0)))
        --quotient;
    return static_cast<int>(quotient);
}

int ChooseWindowScale(int usableWidth, int usableHeight, int frameWidth, int frameHeight, int contentWidth,
                      int contentHeight) {
    if (contentWidth <= 0 || contentHeight <= 0)
        return 1;
    const int roomX = usableWidth - std::max(frameWidth, 0);
    const int roomY = usableHeight - std::max(frameHeight, 0);
    return std::max(1, std::min(roomX / contentWidth, roomY / contentHeight));
}

FrameScaling ChosenFrameScaling() {
    static const FrameScaling chosen = [] {
        const std::string name = EnvironmentValue("BACKFIRE_SCALING");
        return name == "whole"    ? FrameScaling::Whole
               : name == "smooth" ? FrameScaling::Smooth
                                  : FrameScaling::Sharp;
    }();
    return chosen;
}

FrameFit FitFrame(int outputWidth, int outputHeight, int frameWidth, int frameHeight, FrameScaling scaling) {
    FrameFit fit;
    if (outputWidth <= 0 || outputHeight <= 0 || frameWidth <= 0 || frameHeight <= 0)
        return fit;
    const int whole = std::min(outputWidth / frameWidth, outputHeight / frameHeight);
    if (scaling == FrameScaling::Whole && whole >= 1) {
        fit.width = whole * frameWidth;
        fit.height = whole * frameHeight;
        fit.x = (outputWidth - fit.width) / 2;
        fit.y = (outputHeight - fit.height) / 2;
        fit.wholeFactor = true;
        return fit;
    }
    // Compare outputWidth / frameWidth with outputHeight / frameHeight exactly.
    const int64_t across = static_cast<int64_t>(outputWidth) * frameHeight;
    const int64_t down = static_cast<int64_t>(outputHeight) * frameWidth;
    if (across <= down) {
        fit.width = outputWidth;
        fit.height =
            static_cast<int>((static_cast<int64_t>(frameHeight) * outputWidth + frameWidth / 2) / frameWidth);
    } else {
        fit.height = outputHeight;
        fit.width = static_cast<int>((static_cast<int64_t>(frameWidth) * outputHeight + frameHeight / 2) /
                                     frameHeight);
    }
    fit.x = (outputWidth - fit.width) / 2;
    fit.y = (outputHeight - fit.height) / 2;
    fit.wholeFactor = fit.width % frameWidth == 0 && fit.height % frameHeight == 0 &&
                      fit.width / frameWidth == fit.height / frameHeight;
    return fit;
}

FramePoint OutputToFrame(int x, int y, const FrameFit& fit, int frameWidth, int frameHeight) {
    if (fit.width <= 0 || fit.height <= 0)
        return FramePoint{x, y};
    return FramePoint{FloorDivide(static_cast<int64_t>(x - fit.x) * frameWidth, fit.width),
                      FloorDivide(static_cast<int64_t>(y - fit.y) * frameHeight, fit.height)};
}

} // namespace platform
