#include "game/bonus.h"

#include <cmath>
#include <memory>

#include "engine/bitmap.h"
#include "game/motion.h"
#include "game/play_field.h"
#include "shell/game_state.h"

namespace {

constexpr const char* IconFiles[BonusFlagCount] = {
    "dat\\bonusSniper.png", "dat\\bonusXenocide.png", "dat\\bonusKiller.png",
    "dat\\bonusHunter.png", "dat\\bonusManiac.png",
};

int32_t liveIcons = 0;
std::unique_ptr<Bitmap> iconImages[BonusFlagCount];

bool ValidKind(int32_t kind) {
    return kind >= 0 && kind < BonusFlagCount;
}

} // namespace

BonusIcon::BonusIcon(int32_t kind0) : OLObject(EffectTag), slot(liveIcons), kind(kind0) {
    if (liveIcons++ == 0) {
        for (int32_t i = 0; i < BonusFlagCount; ++i)
            iconImages[i] = std::make_unique<Bitmap>(IconFiles[i]);
    }
    x = 400.0f;
    y = 150.0f;
    if (ThePlayField != nullptr)
        ThePlayField->pickupTimer = 30;
}

BonusIcon::~BonusIcon() {
    if (--liveIcons == 0) {
        for (auto& image : iconImages)
            image.reset();
    }
}

int32_t BonusIcon::LiveCount() {
    return liveIcons;
}

void BonusIcon::Tick(float dt) {
    phaseTime += dt;
    const float slotX = 50.0f;
    const float slotY = 70.0f + 30.0f * static_cast<float>(slot);
    if (phase == 0) {
        scale = 1.0f;
        heading = 0.0f;
        x = 400.0f;
        y = 150.0f;
        if (phaseTime > 60.0f) {
            phase = 1;
            phaseTime = 0.0f;
        }
    } else if (phase == 1) {
        scale = 1.0f - 0.005f * phaseTime;
        heading = phaseTime / 6.0f;
        const float a = TurnToward(x, y, slotX, slotY, 0.0f, 0.0f);
        x += 5.0f * std::sin(a);
        y -= 5.0f * std::cos(a);
        if (Distance(x, y, slotX, slotY) < 12.0f) {
            phase = 2;
            phaseTime = 0.0f;
        }
    } else {
        scale = 0.4f;
        heading += TurnToward(x, y, x, y - 1.0f, heading, 0.5f);
        x = slotX;
        y = slotY;
    }
    if (!ValidKind(kind) || TheProgress.BonusFlags[kind] == 0)
        dead = 1;
}

void BonusIcon::Draw() {
    if (ValidKind(kind) && iconImages[kind])
        iconImages[kind]->DrawRotated(x, y, heading, scale, 255, 255, 255, 255);
}

void AwardBonus(int32_t kind) {
    if (!ValidKind(kind) || TheProgress.BonusFlags[kind] != 0)
        return;
    TheProgress.BonusFlags[kind] = 1;
    if (ThePlayField != nullptr && ThePlayField->list4 != nullptr)
        ThePlayField->list4->Add(new BonusIcon(kind));
}

void CountShotHit() {
    TheProgress.hitStreak += 1;
    if (TheProgress.hitStreak > 9)
        AwardBonus(SniperBonus);
}

void CountKill(int32_t type) {
    if (type == TheProgress.lastKillType) {
        TheProgress.sameKillStreak += 1;
        if (TheProgress.sameKillStreak > 7)
            AwardBonus(XenocideBonus);
    } else {
        TheProgress.lastKillType = type;
        TheProgress.sameKillStreak = 1;
    }
    TheProgress.killHeat += 1.0f;
    if (TheProgress.killHeat > 10.0f)
        AwardBonus(ManiacBonus);
}
