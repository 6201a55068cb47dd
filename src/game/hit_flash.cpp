#include "game/hit_flash.h"

#include "game/play_field.h"

HitFlash::HitFlash(float x0, float y0, float scale0, float angle0, float frameSpeed0, int32_t age0)
    : OLObject(EffectTag), age(static_cast<float>(age0)), scale(scale0), angle(angle0),
      frameSpeed(frameSpeed0) {
    x = x0;
    y = y0;
}

void HitFlash::Tick(float dt) {
    age += dt;
    if (age * frameSpeed > 15.0f)
        dead = 1;
}

void HitFlash::Draw() {
    if (ThePlayField != nullptr)
        ThePlayField->DrawExplosionFrame(static_cast<int32_t>(frameSpeed * age), x + shakeOffsetX, y, angle,
                                         scale);
}

void AddHitFlash(float x, float y, float scale, float angle, float frameSpeed) {
    if (ThePlayField == nullptr || ThePlayField->list4 == nullptr)
        return;
    ThePlayField->list4->Add(new HitFlash(x, y, scale, angle, frameSpeed, 0));
}
