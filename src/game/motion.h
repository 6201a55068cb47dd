// The numeric helpers of gameplay code: distance, steering, interpolation,
// clamps, the world-to-screen mapping, score addition, two small text and
// rectangle helpers for the UI, and the two render-state presets used around
// glow drawing.
#pragma once

#include <cstdint>

// The camera the world is seen through; the player ship centres it on itself
// every tick.
extern float camX;
extern float camY;
extern float zoom;

float Distance(float x1, float y1, float x2, float y2);

// The heading that points from (x, y) at (tx, ty) is 0 straight up and pi/2
// to the right. With maxTurn > 0: the turn to add to `heading` this tick, the
// shorter way round and at most maxTurn either way. Otherwise: that wanted
// heading itself, within pi of `heading`. Headings of any size are accepted; a
// non-finite one gets no turn.
float TurnToward(float x, float y, float tx, float ty, float heading, float maxTurn);

// (1 - t) * from + t * to.
float Lerp(float t, float to, float from);
// Raised to lo first, then lowered to hi.
int32_t ClampInt(int32_t value, int32_t lo, int32_t hi);
float ClampFloat(float value, float lo, float hi);

// Screen point of a world point: half the back buffer (integer halves) plus
// the offset from the camera times zoom.
void WorldToScreen(float x, float y, float* sx, float* sy);

// Doubles `points` once for every bonus flag that is set and adds it to the
// running score (lastScore, in hundreds); the score stops at the largest int32.
void AddScore(int32_t points);

// rect = left, top, right, bottom; swapped where right < left or bottom < top.
void NormalizeRect(int32_t* rect);
// Copies at most srcSize - 1 and at most dstSize - 1 characters of src, up to
// its terminator, and terminates dst. Nothing is written when dstSize < 1.
void CopyString(const char* src, int32_t srcSize, char* dst, int32_t dstSize);
// Characters before the first carriage return or line feed within `length`.
int32_t FirstLineLength(const char* text, int32_t length);

// Additive glow: blending ONE/ONE, no Z writes, flat shading, linear
// filtering, texture x diffuse in colour and alpha.
void SetAdditiveState();
// Normal sprites: blending SRCALPHA/INVSRCALPHA with alpha test at 8.
void SetAlphaState();
