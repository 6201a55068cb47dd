#include "game/motion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "core/game_application.h"
#include "core/main_loop.h"
#include "platform/d3d8/d3d8.h"
#include "shell/game_state.h"

float camX = 0.0f;
float camY = 0.0f;
float zoom = 1.0f;

namespace {

constexpr float Pi = std::numbers::pi_v<float>;
constexpr float TwoPi = 2.0f * Pi;
// Beyond this many radians the heading is first brought near zero by whole
// turns: stepping by 2 pi would take ever longer, and once 2 pi is below the
// float spacing of the heading it would never end.
constexpr float LargestSteppedHeading = 10000.0f;

// The wanted heading within pi of h, for a heading of moderate size.
float WantedNear(float wanted, float h) {
    if (h >= 0.0f) {
        while (wanted < 0.0f)
            wanted += TwoPi;
    } else {
        while (wanted >= 0.0f)
            wanted -= TwoPi;
    }
    while (h - wanted > TwoPi)
        wanted += TwoPi;
    while (wanted - h > TwoPi)
        wanted -= TwoPi;
    if (wanted - h > Pi)
        wanted -= TwoPi;
    if (wanted - h < -Pi)
        wanted += TwoPi;
    return wanted;
}

IDirect3DDevice8* Device() {
    return TheApplication != nullptr ? TheApplication->device : nullptr;
}

} // namespace

float Distance(float x1, float y1, float x2, float y2) {
    const float dx = x1 - x2;
    const float dy = y1 - y2;
    return std::sqrt(dx * dx + dy * dy);
}

float TurnToward(float x, float y, float tx, float ty, float heading, float maxTurn) {
    const float direct = std::atan2(tx - x, y - ty);
    if (!std::isfinite(heading))
        return maxTurn > 0.0f ? 0.0f : direct;
    const bool reduced = std::fabs(heading) > LargestSteppedHeading;
    const float h =
        reduced ? static_cast<float>(std::remainder(static_cast<double>(heading), 2.0 * std::numbers::pi))
                : heading;
    const float wanted = WantedNear(direct, h);
    if (maxTurn > 0.0f)
        return std::clamp(wanted - h, -maxTurn, maxTurn);
    return reduced ? heading + (wanted - h) : wanted;
}

float Lerp(float t, float to, float from) {
    return (1.0f - t) * from + t * to;
}

int32_t ClampInt(int32_t value, int32_t lo, int32_t hi) {
    if (value < lo)
        value = lo;
    return value > hi ? hi : value;
}

float ClampFloat(float value, float lo, float hi) {
    if (value < lo)
        value = lo;
    return hi < value ? hi : value;
}

void WorldToScreen(float x, float y, float* sx, float* sy) {
    const int32_t halfWidth = TheApplication != nullptr ? TheApplication->GetScreenWidth() / 2 : 0;
    const int32_t halfHeight = TheApplication != nullptr ? TheApplication->GetScreenHeight() / 2 : 0;
    *sx = static_cast<float>(halfWidth) + (x - camX) * zoom;
    *sy = static_cast<float>(halfHeight) + (y - camY) * zoom;
}

void AddScore(int32_t points) {
    int64_t total = points;
    for (int32_t flag : TheProgress.BonusFlags) {
        if (flag != 0)
            total *= 2;
    }
    total += TheProgress.lastScore;
    TheProgress.lastScore = static_cast<int32_t>(
        std::clamp<int64_t>(total, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void NormalizeRect(int32_t* rect) {
    if (rect[2] < rect[0])
        std::swap(rect[0], rect[2]);
    if (rect[3] < rect[1])
        std::swap(rect[1], rect[3]);
}

void CopyString(const char* src, int32_t srcSize, char* dst, int32_t dstSize) {
    if (dst == nullptr || dstSize < 1)
        return;
    const int32_t limit = std::min(srcSize, dstSize) - 1;
    int32_t count = 0;
    if (src != nullptr) {
        while (count < limit && src[count] != '\0') {
            dst[count] = src[count];
            ++count;
        }
    }
    dst[count] = '\0';
}

int32_t FirstLineLength(const char* text, int32_t length) {
    int32_t count = 0;
    if (text == nullptr)
        return 0;
    // The terminator ends the text too, so a short string is never read past its end.
    while (count < length && text[count] != '\0' && text[count] != '\r' && text[count] != '\n')
        ++count;
    return count;
}

void SetAdditiveState() {
    IDirect3DDevice8* device = Device();
    if (device == nullptr)
        return;
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

void SetAlphaState() {
    IDirect3DDevice8* device = Device();
    if (device == nullptr)
        return;
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 8);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_EDGEANTIALIAS, FALSE);
}
