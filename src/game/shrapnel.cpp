#include "game/shrapnel.h"

#include <cstdint>
#include <memory>

#include "engine/bitmap.h"
#include "game/hit_flash.h"
#include "game/motion.h"
#include "game/play_field.h"

namespace {

int32_t livePieces = 0;
std::unique_ptr<Bitmap> pieceImage;

} // namespace

Shrapnel::Shrapnel(float x0, float y0, float vx0, float vy0, int32_t trail0, int32_t lifetime0)
    : OLObject(EffectTag), lifetime(static_cast<float>(lifetime0)), trail(static_cast<float>(trail0)) {
    x = x0;
    y = y0;
    vx = vx0;
    vy = vy0;
    spin = RandomRange(0.1f, 1.0f);
    if ((identity & 16u) != 0)
        spin = -spin;
    if (livePieces++ == 0)
        pieceImage = std::make_unique<Bitmap>("dat\\shrapnel.png");
}

Shrapnel::~Shrapnel() {
    if (--livePieces == 0)
        pieceImage.reset();
}

void Shrapnel::Tick(float dt) {
    x += dt * vx;
    y += dt * vy;
    vy += 0.1f * dt;
    heading += spin;
    age += dt;
    if (lifetime != -1.0f && age > lifetime) {
        dead = 1;
        AddHitFlash(x, y, 0.3f, 0.0f, 1.0f);
    }
    if (trail != 0.0f && ThePlayField != nullptr) {
        ThePlayField->glowEmitter->SetOrigin(x, y);
        ThePlayField->glowEmitter->Emit(1, 255, 255, 255, 255);
    }
}

void Shrapnel::Draw() {
    if (!pieceImage)
        return;
    float sx = 0.0f;
    float sy = 0.0f;
    WorldToScreen(x, y, &sx, &sy);
    pieceImage->DrawRotated(sx + shakeOffsetX, sy, heading, 1.0f, 255, 255, 255, 28);
}
