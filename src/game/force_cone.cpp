#include "game/force_cone.h"

#include <cmath>
#include <memory>

#include "engine/bitmap.h"
#include "game/hit_flash.h"
#include "game/motion.h"
#include "game/play_field.h"
#include "game/weapon_target.h"

namespace {

int32_t liveCones = 0;
std::unique_ptr<Bitmap> coneImage;

} // namespace

ForceCone::ForceCone(int32_t tag, float scale0, float growth0, float damageRate0, int32_t red0,
                     int32_t green0, int32_t blue0, int32_t alpha0)
    : OLObject(tag), red(red0), green(green0), blue(blue0), alpha(alpha0), scale(scale0), growth(growth0),
      damageRate(damageRate0) {
    if (liveCones++ == 0)
        coneImage = std::make_unique<Bitmap>("dat\\cone2.png");
}

ForceCone::~ForceCone() {
    if (--liveCones == 0)
        coneImage.reset();
}

void ForceCone::Tick(float dt) {
    if (ThePlayField != nullptr && ThePlayField->mainList != nullptr) {
        const auto left = static_cast<int32_t>(x - 89.6f * scale);
        const auto right = static_cast<int32_t>(x + 89.6f * scale);
        const auto top = static_cast<int32_t>(y - 11.2f * scale);
        const auto bottom = static_cast<int32_t>(y + 11.2f * scale);
        OLObjectList* targets = ThePlayField->mainList.get();
        for (OLObject* target = targets->First(); target != nullptr; target = targets->Next()) {
            if (target->GetTag() != targetTag || TargetOverlapsRect(target, left, top, right, bottom) == 0)
                continue;
            AddHitFlash(target->x + RandomRange(-20.0f, 20.0f), target->y + RandomRange(-20.0f, 20.0f), 0.1f,
                        0.0f, 1.0f);
            DamageTarget(target, dt * damageRate);
        }
    }
    x += dt * speed * std::sin(heading);
    y -= dt * speed * std::cos(heading);
    // The growth is taken together with dt, so at slow game speeds (dt below
    // 1 / growth) the cone shrinks as it flies.
    scale = growth * scale * dt;
    lifetime -= dt;
    if (lifetime <= 0.0f)
        dead = 1;
}

void ForceCone::Draw() {
    if (!coneImage)
        return;
    float sx = 0.0f;
    float sy = 0.0f;
    WorldToScreen(x, y, &sx, &sy);
    coneImage->DrawRotatedGlow(sx + shakeOffsetX, sy, -heading, scale, red, green, blue, alpha);
}
