#include "game/weapon_target.h"

#include "game/enemy.h"
#include "game/player_ship.h"

int32_t TargetOverlapsRect(OLObject* target, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (auto* ship = dynamic_cast<PlayerShip*>(target))
        return ship->OverlapsRect(left, top, right, bottom);
    if (auto* enemy = dynamic_cast<Enemy*>(target))
        return enemy->OverlapsRect(left, top, right, bottom);
    return 0;
}

void DamageTarget(OLObject* target, float amount) {
    if (auto* ship = dynamic_cast<PlayerShip*>(target))
        ship->TakeDamage(amount);
    else if (auto* enemy = dynamic_cast<Enemy*>(target))
        enemy->TakeDamage(amount);
}

float TargetHitPoints(OLObject* target) {
    if (auto* ship = dynamic_cast<PlayerShip*>(target))
        return ship->GetHitPoints();
    if (auto* enemy = dynamic_cast<Enemy*>(target))
        return enemy->GetHitPoints();
    return 0.0f;
}
