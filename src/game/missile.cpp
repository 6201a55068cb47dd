#include "game/missile.h"

#include <cmath>
#include <memory>

#include "engine/bitmap.h"
#include "game/hit_flash.h"
#include "game/motion.h"
#include "game/palette.h"
#include "game/play_field.h"
#include "game/player_ship.h"
#include "game/weapon_target.h"

namespace {

int32_t liveMissiles = 0;
std::unique_ptr<Bitmap> glowImage;
std::unique_ptr<Bitmap> missileImage;

} // namespace

Missile::Missile(int32_t tag) : OLObject(tag) {
    if (liveMissiles++ == 0) {
        glowImage = std::make_unique<Bitmap>("dat\\flare-white-full.bmp");
        missileImage = std::make_unique<Bitmap>("dat\\missile.png");
    }
}

Missile::~Missile() {
    if (--liveMissiles == 0) {
        glowImage.reset();
        missileImage.reset();
    }
}

void Missile::Tick(float dt) {
    if (ThePlayField != nullptr && ThePlayField->mainList != nullptr) {
        OLObjectList* targets = ThePlayField->mainList.get();
        for (OLObject* target = targets->First(); target != nullptr; target = targets->Next()) {
            if (target->GetTag() != targetTag || target->HitTest(x, y) == 0)
                continue;
            dead = 1;
            AddHitFlash(x, y, 0.6f, 0.0f, 1.0f);
            DamageTarget(target, damage);
        }
        const int32_t trailGap = static_cast<int32_t>(lifetime) / 9;
        if (trailGap != 2 && trailGap != 4 && trailGap != 8) {
            const int32_t* rgb = PaletteEntry(colour);
            ThePlayField->glowEmitter->SetOrigin(x, y);
            ThePlayField->glowEmitter->Emit(1, rgb[0], rgb[1], rgb[2], 128);
        }
    }
    if (targetTag == ShipTag && ThePlayer != nullptr && homing != 0)
        heading += TurnToward(x, y, ThePlayer->x, ThePlayer->y, heading, 0.01f * dt);
    x += dt * speed * std::sin(heading);
    y -= dt * speed * std::cos(heading);
    lifetime -= dt;
    if (lifetime < 1.0f) {
        dead = 1;
        AddHitFlash(x, y, 0.3f, 0.0f, 1.0f);
    }
}

void Missile::Draw() {
    if (homing == 0)
        colour = 4;
    float sx = 0.0f;
    float sy = 0.0f;
    WorldToScreen(x, y, &sx, &sy);
    sx += shakeOffsetX;
    if (spriteMode != 0) {
        if (missileImage)
            missileImage->DrawRotated(sx, sy, -heading, 1.0f, 255, 255, 255, 255);
    } else if (glowImage) {
        const int32_t* rgb = PaletteEntry(colour);
        glowImage->DrawRotatedGlow(sx, sy, -heading, 0.5f, rgb[0], rgb[1], rgb[2], 255);
        if (RandomInt() % 2 == 1)
            glowImage->DrawRotatedGlow(sx, sy, -heading, 0.6f, rgb[0], rgb[1], rgb[2], 255);
        if (ThePlayField != nullptr)
            ThePlayField->DrawZoomTrail(ThePlayField->flareBitmap.get(), sx, sy);
    }
    if (ThePlayField != nullptr) {
        const auto width = static_cast<float>(ThePlayField->screenWidth);
        const auto height = static_cast<float>(ThePlayField->screenHeight);
        if (!(sx >= 0.0f && sx <= width && sy >= 0.0f && sy <= height))
            lifetime -= 3.0f;
    }
}
