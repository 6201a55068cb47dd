#include "game/shot.h"

#include <cmath>
#include <memory>

#include "engine/bitmap.h"
#include "game/bonus.h"
#include "game/hit_flash.h"
#include "game/motion.h"
#include "game/play_field.h"
#include "game/weapon_target.h"

namespace {

int32_t liveShots = 0;
std::unique_ptr<Bitmap> shotImage;

} // namespace

Shot::Shot(int32_t tag) : OLObject(tag) {
    if (liveShots++ == 0)
        shotImage = std::make_unique<Bitmap>("dat\\standardShot.png");
}

Shot::~Shot() {
    if (--liveShots == 0)
        shotImage.reset();
}

void Shot::Tick(float dt) {
    if (ThePlayField != nullptr && ThePlayField->mainList != nullptr) {
        OLObjectList* targets = ThePlayField->mainList.get();
        // The walk goes on after a hit: one shot can hurt every target it overlaps.
        for (OLObject* target = targets->First(); target != nullptr; target = targets->Next()) {
            if (target->GetTag() != targetTag || target->HitTest(x, y) == 0)
                continue;
            dead = 1;
            AddHitFlash(x, y, damage * 0.1f, 0.0f, 1.0f);
            if (target->GetTag() != ShipTag)
                CountShotHit();
            DamageTarget(target, damage);
        }
    }
    x += dt * speed * std::sin(heading);
    y -= dt * speed * std::cos(heading);
    lifetime -= dt;
    if (lifetime < 1.0f)
        dead = 1;
}

void Shot::Draw() {
    if (!shotImage)
        return;
    float sx = 0.0f;
    float sy = 0.0f;
    WorldToScreen(x, y, &sx, &sy);
    sx += shakeOffsetX;
    shotImage->DrawRotatedGlow(sx, sy, -heading, 1.0f, red, green, blue, 255);
    if (RandomInt() % 2 == 1)
        shotImage->DrawRotatedGlow(sx, sy, -heading, 1.0f, red, green, blue, 255);
}
