#include "engine/bitmap.h"

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/video_list.h"

#include <cmath>

namespace {

// Positions further out than this are off every screen; clamping keeps the
// float-to-integer conversion defined and the corner sums inside int32.
constexpr float kPositionLimit = 1073741824.0f;

// trunc(value) as an integer; false for a NaN or infinite value.
bool TruncatePosition(float value, int32_t* result) {
    if (!std::isfinite(value))
        return false;
    value = std::fmax(-kPositionLimit, std::fmin(kPositionLimit, value));
    *result = static_cast<int32_t>(value);
    return true;
}

} // namespace

Bitmap::Bitmap(const char* fileName) : DataObject(0, "BITMAP") {
    if (TheApplication)
        texture = LoadGameTexture(TheApplication->device, fileName, 0xFF000000u);
}

Bitmap::~Bitmap() {
    if (texture)
        texture->Release();
}

void Bitmap::DrawCentered(float x, float y, int32_t) {
    int32_t width = 0;
    int32_t height = 0;
    int32_t centreX = 0;
    int32_t centreY = 0;
    if (!TheApplication || !GetSize(&width, &height) || !TruncatePosition(x, &centreX) ||
        !TruncatePosition(y, &centreY))
        return;
    const int32_t left = centreX - width / 2;
    const int32_t top = centreY - height / 2;
    TheApplication->DrawTextureRect(texture, left, top, left + width, top + height, 0xFFFFFFFFu);
}

void Bitmap::DrawRotated(float x, float y, float angle, float scale, int32_t r, int32_t g, int32_t b,
                         int32_t a) {
    int32_t centreX = 0;
    int32_t centreY = 0;
    if (!TheApplication || !TruncatePosition(x, &centreX) || !TruncatePosition(y, &centreY))
        return;
    TheApplication->DrawSprite(texture, centreX, centreY, angle, scale, PackColour(r, g, b, a), false);
}

void Bitmap::DrawRotatedGlow(float x, float y, float angle, float scale, int32_t r, int32_t g, int32_t b,
                             int32_t a) {
    int32_t centreX = 0;
    int32_t centreY = 0;
    if (!TheApplication || !TruncatePosition(x, &centreX) || !TruncatePosition(y, &centreY))
        return;
    TheApplication->DrawSprite(texture, centreX, centreY, angle, scale, PackColour(r, g, b, a), true);
}

void Bitmap::DrawQuad(const float* points, int32_t r, int32_t g, int32_t b, int32_t a, bool additive) {
    if (TheApplication)
        TheApplication->DrawTextureQuad(texture, points, PackColour(r, g, b, a), additive);
}

void Bitmap::DrawMapped(const float* points, const float* uvs, int32_t r, int32_t g, int32_t b, int32_t a) {
    if (TheApplication)
        TheApplication->DrawMappedQuad(texture, points, uvs, PackColour(r, g, b, a));
}

bool Bitmap::GetSize(int32_t* width, int32_t* height) {
    if (!texture)
        return false;
    D3DSURFACE_DESC desc{};
    if (texture->GetLevelDesc(0, &desc) != 0)
        return false;
    if (width)
        *width = static_cast<int32_t>(desc.Width);
    if (height)
        *height = static_cast<int32_t>(desc.Height);
    return true;
}
