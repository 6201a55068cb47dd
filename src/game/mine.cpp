#include "game/mine.h"

#include <cmath>
#include <memory>

#include "engine/bitmap.h"
#include "game/motion.h"
#include "game/play_field.h"
#include "game/weapon_target.h"

namespace {

int32_t liveMines = 0;
std::unique_ptr<Bitmap> mineImage;
std::unique_ptr<Bitmap> glowImage;

constexpr float Pi = 3.14159265359f;
constexpr float ArmRange = 150.0f;

bool Within(float dx, float dy, float range) {
    return std::fabs(dx) < range && std::fabs(dy) < range && Distance(0.0f, 0.0f, dx, dy) < range;
}

} // namespace

Mine::Mine(int32_t tag) : OLObject(tag) {
    heading = 0.0f;
    speed = 2.0f;
    if (liveMines++ == 0) {
        mineImage = std::make_unique<Bitmap>("dat\\bomb1.png");
        glowImage = std::make_unique<Bitmap>("dat\\flare-white-full.bmp");
    }
}

Mine::~Mine() {
    if (--liveMines == 0) {
        mineImage.reset();
        glowImage.reset();
    }
}

void Mine::Tick(float dt) {
    bool near = false;
    if (ThePlayField != nullptr && ThePlayField->mainList != nullptr) {
        OLObjectList* targets = ThePlayField->mainList.get();
        for (OLObject* target = targets->First(); target != nullptr; target = targets->Next()) {
            if (target->GetTag() != targetTag)
                continue;
            const float dx = target->x - x;
            const float dy = target->y - y;
            if (blastRadius <= 0.0f) {
                near = near || Within(dx, dy, ArmRange);
                continue;
            }
            if (!Within(dx, dy, 3.0f * blastRadius) || hitCount >= MineHitListSize)
                continue;
            bool alreadyHit = false;
            for (int32_t i = 0; i < hitCount; ++i)
                alreadyHit = alreadyHit || hitList[i] == target->identity;
            if (alreadyHit)
                continue;
            hitList[hitCount++] = target->identity;
            if (target->GetTag() == EnemyTag)
                DamageTarget(target, damage);
        }
    }
    if (blastRadius <= 0.0f) {
        if (near) {
            blastRadius -= dt;
            if (blastRadius < -30.0f)
                blastRadius = 1.0f;
        } else {
            blastRadius = 0.0f;
        }
        heading += 0.1f;
        blink += near ? 3 : 1;
    } else {
        blastRadius += dt;
        if (blastRadius > 60.0f)
            dead = 1;
    }
    lifetime -= dt;
    if (lifetime <= 0.0f)
        dead = 1;
}

void Mine::Draw() {
    float sx = 0.0f;
    float sy = 0.0f;
    WorldToScreen(x, y, &sx, &sy);
    sx += shakeOffsetX;
    if (blastRadius > 0.0f) {
        if (ThePlayField == nullptr)
            return;
        const float r = blastRadius;
        ThePlayField->DrawExplosionFrame(static_cast<int32_t>(0.5f * r), x + shakeOffsetX, y, 0.0f, 2.0f);
        const auto g = ClampInt(static_cast<int32_t>((60.0f - r) * 4.25f), 0, 255);
        SetAdditiveState();
        ThePlayField->ring1->Draw(sx, sy, 4.0f * r, 2.0f * r, g, g, 0, 255, 0.0f);
        SetAlphaState();
        return;
    }
    if (mineImage)
        mineImage->DrawRotated(sx, sy, -heading, 1.0f, 255, 0, 0, 255);
    if ((blink / 10) % 2 == 1 && glowImage) {
        for (const float a : {heading + Pi / 2.0f, heading + 3.0f * Pi / 2.0f})
            glowImage->DrawRotatedGlow(sx + 10.0f * std::sin(a), sy - 10.0f * std::cos(a), -heading, 0.3f,
                                       155, 255, 155, 255);
    }
}
