// Internal to the platform layer: how the game's frame sits in a desktop
// window or screen. Pure arithmetic, so it is tested without a display.
#pragma once

#include <cstdint>

namespace platform {

// The quotient rounded towards minus infinity, so that positions left of or
// above the frame map below 0 rather than onto its first row or column.
int FloorDivide(int64_t numerator, int64_t denominator);

// The largest whole factor (at least 1) by which a client area of
// `contentWidth` x `contentHeight` fits, with `frameWidth` x `frameHeight`
// of decorations added, into a usable desktop area.
int ChooseWindowScale(int usableWidth, int usableHeight, int frameWidth, int frameHeight, int contentWidth,
                      int contentHeight);

// How a frame is enlarged to a screen or window.
enum class FrameScaling {
    // The nearest pixel up to the first whole factor that reaches the
    // output's size, then smoothly down the remaining fraction to the size
    // that fills the output's width or height: crisp pixels, and between two
    // of them at most one output pixel that mixes both.
    Sharp,
    // The largest whole factor that fits, alone: sharp, with wider bars.
    Whole,
    // Smoothly all the way (bilinear from the frame itself).
    Smooth,
};

// The scaling chosen by BACKFIRE_SCALING ("sharp", the default, "whole" or
// "smooth"), read once; any other value is the default.
FrameScaling ChosenFrameScaling();

// Where a frame is drawn in an output area: as large as fits keeping its
// aspect ratio (Whole: by the largest whole factor that fits, where one
// does), centred, with black bars on the two other sides.
struct FrameFit {
    int x = 0, y = 0, width = 0, height = 0;
    bool wholeFactor = false; // an exact integer enlargement: sample the nearest texel
};
FrameFit FitFrame(int outputWidth, int outputHeight, int frameWidth, int frameHeight,
                  FrameScaling scaling = FrameScaling::Sharp);

// A pixel of the output area as a pixel of the frame (outside the frame's
// rectangle the result lies outside 0..size-1, as a captured pointer does).
struct FramePoint {
    int x = 0, y = 0;
};
FramePoint OutputToFrame(int x, int y, const FrameFit& fit, int frameWidth, int frameHeight);

} // namespace platform
