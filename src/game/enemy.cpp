#include "game/enemy.h"

#include <cmath>
#include <cstdint>
#include <memory>

#include "engine/bitmap.h"
#include "engine/sound.h"
#include "game/bonus.h"
#include "game/missile.h"
#include "game/mission_table.h"
#include "game/motion.h"
#include "game/palette.h"
#include "game/play_field.h"
#include "game/player_ship.h"
#include "game/shrapnel.h"
#include "platform/os/crt_rand.h"
#include "shell/game_state.h"

namespace {

constexpr float Pi = 3.14159265359f;
constexpr int32_t DeathLength = 60;

enum EnemySound : int32_t {
    Explo1,
    Explo2,
    Explo3,
    Shot2,
    Magic2,
    Multiring,
    ParticleDeath,
    Break,
    Damaged,
    EnemySoundCount,
};

struct SoundFile {
    const char* name;
    int32_t copies;
};

constexpr SoundFile SoundFiles[EnemySoundCount] = {
    {"dat\\explo1.wav", 3},        {"dat\\explo2.wav", 3}, {"dat\\explo3.wav", 3},
    {"dat\\shot2.wav", 3},         {"dat\\magic2.wav", 3}, {"dat\\multiring.wav", 3},
    {"dat\\particleDeath.wav", 3}, {"dat\\break.wav", 3},  {"dat\\enemyDamaged.wav", 6},
};

int32_t liveEnemies = 0;
std::unique_ptr<Sound> sounds[EnemySoundCount];
int32_t liveOfType[EnemyTypeCount] = {};
std::unique_ptr<Bitmap> typeImages[EnemyTypeCount];

void PlaySound(int32_t which) {
    if (TheOptions.soundOn != 0 && sounds[which])
        sounds[which]->Play(false, 1.0f);
}

void Emit(ParticleEmitter* emitter, float x, float y, int32_t count, const int32_t* rgb, bool swapGreenBlue) {
    if (emitter == nullptr)
        return;
    emitter->SetOrigin(x, y);
    if (swapGreenBlue)
        emitter->Emit(count, rgb[0], rgb[2], rgb[1], 128);
    else
        emitter->Emit(count, rgb[0], rgb[1], rgb[2], 128);
}

} // namespace

Enemy::Enemy(int32_t tag, int32_t type0)
    : OLObject(tag), type(ClampInt(type0, 0, EnemyTypeCount - 1)),
      hitPoints(static_cast<float>(type / 3 + 1 + ClampInt(type - 81, 0, 16))) {
    speed = 3.5f;
    if (liveEnemies++ == 0) {
        for (int32_t i = 0; i < EnemySoundCount; ++i)
            sounds[i] = std::make_unique<Sound>(SoundFiles[i].name, SoundFiles[i].copies);
    }
    if (liveOfType[type]++ == 0)
        typeImages[type] = std::make_unique<Bitmap>(GetEnemyArt(type));
}

Enemy::~Enemy() {
    rays.reset();
    if (--liveOfType[type] == 0)
        typeImages[type].reset();
    if (--liveEnemies == 0) {
        for (auto& sound : sounds)
            sound.reset();
    }
}

float Enemy::FireRange() {
    return 190.0f + 30.0f * static_cast<float>(TheOptions.difficulty);
}

void Enemy::HitBox(int32_t* hx, int32_t* hy) {
    int32_t w = 0;
    int32_t h = 0;
    if (!typeImages[type] || !typeImages[type]->GetSize(&w, &h)) {
        w = 0;
        h = 0;
    }
    // hy is taken from hx and the height, not from the width.
    *hx = static_cast<int32_t>(static_cast<float>(w + h) * 0.24f);
    *hy = static_cast<int32_t>(static_cast<float>(*hx + h) * 0.24f);
}

int32_t Enemy::HitTest(float px, float py) {
    if (deathTimer >= 0)
        return 0;
    int32_t hx = 0;
    int32_t hy = 0;
    HitBox(&hx, &hy);
    const auto fx = static_cast<float>(hx);
    const auto fy = static_cast<float>(hy);
    return (x - fx <= px && px <= x + fx && y - fy <= py && py <= y + fy) ? 1 : 0;
}

int32_t Enemy::OverlapsRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (deathTimer >= 0)
        return 0;
    int32_t hx = 0;
    int32_t hy = 0;
    HitBox(&hx, &hy);
    const auto fx = static_cast<float>(hx);
    const auto fy = static_cast<float>(hy);
    return (x - fx <= static_cast<float>(right) && x + fx >= static_cast<float>(left) &&
            y - fy <= static_cast<float>(bottom) && y + fy >= static_cast<float>(top))
               ? 1
               : 0;
}

float Enemy::GetHitPoints() {
    return hitPoints;
}

void Enemy::TakeDamage(float amount) {
    hitPoints -= amount;
    if (TheOptions.difficulty == 0)
        hitPoints = 0.0f;
    if (deathTimer >= 0)
        return;
    PlaySound(Damaged);
    if (hitPoints <= 0.0f) {
        AddScore(2);
        Die();
    }
}

void Enemy::Die() {
    deathTimer = 0;
    if (TheOptions.soundOn != 0) {
        PlaySound(static_cast<int32_t>((identity / 32u) % 3u));
        if ((type + 1) % 4 == 0)
            PlaySound(Shot2);
        if ((type + 2) % 4 == 0)
            PlaySound(Multiring);
        if ((type + 3) % 4 == 0)
            PlaySound(Magic2);
        if ((type + 1) % 3 == 0)
            PlaySound(ParticleDeath);
        if (type % 3 == 1)
            PlaySound(Break);
    }
    CountKill(type);
    if (ThePlayField != nullptr) {
        if (type % 2 == 0)
            Emit(ThePlayField->sparkEmitter.get(), x, y, 40, PaletteEntry(type / 2), true);
        if (type % 3 == 0)
            Emit(ThePlayField->burstEmitter.get(), x, y, 40, PaletteEntry(type / 2 + 1), true);
        if (type % 3 == 1 && ThePlayField->list4 != nullptr) {
            const int32_t pieces = type / 4 + 5;
            for (int32_t i = 0; i < pieces; ++i) {
                const float pieceVx = RandomRange(-5.0f, 5.0f);
                const float pieceVy = RandomRange(-5.0f, 5.0f);
                const int32_t life = RandomInt() % 10 + type / 4 + 10;
                ThePlayField->list4->Add(new Shrapnel(x, y, pieceVx, pieceVy, 1, life));
            }
        }
    }
    for (int32_t k = 0; k < 3; ++k) {
        ringRadius[k] = 0.0f;
        ringGrowth[k] = static_cast<float>(type) * 0.25f + 16.0f;
    }
}

void Enemy::DeathTick() {
    deathTimer += 1;
    if ((type + 1) % 3 == 0 && deathTimer < 20 && ThePlayField != nullptr)
        Emit(ThePlayField->sparkEmitter.get(), x, y, 2, PaletteEntry(type / 2 + 2), true);
    if (deathTimer > DeathLength)
        dead = 1;
}

void Enemy::Tick(float dt) {
    enemyAliveFlag += 1;
    if (ThePlayField != nullptr && ThePlayField->skipLevelFlag != 0)
        dead = 1;
    const float h0 = heading;
    float d = 100000.0f;
    if (ThePlayer != nullptr) {
        heading += TurnToward(x, y, ThePlayer->x, ThePlayer->y, heading, 0.04f * dt);
        d = Distance(x, y, ThePlayer->x, ThePlayer->y);
    }
    const bool alive = deathTimer < 0;
    if (alive) {
        x += dt * speed * std::sin(heading);
        y -= dt * speed * std::cos(heading);
        if (ThePlayField != nullptr) {
            const float back = heading + Pi;
            Emit(ThePlayField->exhaustEmitter.get(),
                 static_cast<float>(static_cast<int32_t>(x + 20.0f * std::sin(back))),
                 static_cast<float>(static_cast<int32_t>(y - 20.0f * std::cos(back))), 1, PaletteEntry(type),
                 false);
        }
    }
    if (fireCooldown > 0.0f)
        fireCooldown -= dt;
    if (fireCooldown < 1.0f && d < FireRange()) {
        fireCooldown = 200.0f;
        if (alive && ThePlayField != nullptr && ThePlayField->list3 != nullptr) {
            auto* missile = new Missile(WeaponTag);
            missile->targetTag = ShipTag;
            missile->spriteMode = 1;
            missile->homing = crt::rand() % 2 == 1 ? 1 : 0;
            missile->x = x;
            missile->y = y;
            missile->damage = static_cast<float>(type / 9 + 1);
            missile->heading = h0;
            missile->speed = 4.0f;
            ThePlayField->list3->Add(missile);
        }
    }
    if (alive && ThePlayer != nullptr && ThePlayer->HitTest(x, y) != 0) {
        const float own = GetHitPoints();
        TakeDamage(ThePlayer->GetHitPoints());
        ThePlayer->TakeDamage(own);
    } else if (!alive) {
        DeathTick();
    }
}

void Enemy::Draw() {
    float sx = 0.0f;
    float sy = 0.0f;
    WorldToScreen(x, y, &sx, &sy);
    sx += shakeOffsetX;
    if (deathTimer < 0) {
        if (typeImages[type])
            typeImages[type]->DrawRotated(sx, sy, -heading, 1.0f, 255, 255, 255, 255);
        return;
    }
    if (ThePlayField == nullptr)
        return;
    const int32_t t = deathTimer;
    const auto ft = static_cast<float>(t);
    const int32_t* rgb = PaletteEntry(type);
    const int32_t dr = ClampInt(rgb[0] - 9 * t, 0, 255);
    const int32_t dg = ClampInt(rgb[1] - 9 * t, 0, 255);
    const int32_t db = ClampInt(rgb[2] - 9 * t, 0, 255);

    if (!rays)
        rays = std::make_unique<RayBurst>();
    SetAlphaState();
    if (type % 4 == 0)
        rays->Draw(sx, sy, static_cast<float>(type + 100), rgb[0], rgb[1], rgb[2],
                   ClampInt(128 - 5 * t, 0, 255));
    else
        rays->Draw(sx, sy, 80.0f, 255, 255, 255, ClampInt(88 - 5 * t, 0, 255));

    if ((type + 1) % 4 == 0) {
        SetAdditiveState();
        ThePlayField->ring1->Draw(sx, sy, 6.0f * ft, 3.0f * ft, dr, dg, db, 255, 0.0f);
        SetAlphaState();
    }
    if ((type + 2) % 4 == 0) {
        SetAdditiveState();
        for (int32_t k = 0; k < 3 && 10 * k < t; ++k) {
            ThePlayField->ring1->Draw(sx, sy, ringRadius[k], 0.9f * ringRadius[k], dr, dg, db, 255, 0.0f);
            ringRadius[k] += ringGrowth[k];
            ringGrowth[k] *= 0.9f;
        }
        SetAlphaState();
    }
    if ((type + 3) % 4 == 0) {
        const float outer = t > 19 ? 150.0f : 150.0f - 2.0f * static_cast<float>(20 - t);
        SetAdditiveState();
        ThePlayField->ring3->Draw(sx, sy, outer, 0.66f * outer, dr, dg, db, 255, 0.01f * ft);
        SetAlphaState();
    }
    ThePlayField->DrawExplosionFrame(t / 2, x, y, 0.0f, 0.5f);

    struct Extra {
        int32_t back;
        float dx;
        float dy;
        float angle;
    };
    static constexpr Extra Corners[4] = {{2, -20, -20, 1}, {4, 20, -20, 2}, {7, -20, 20, 3}, {8, 20, 20, 4}};
    static constexpr Extra Sides[4] = {{2, 0, -20, 1}, {4, -20, 0, 2}, {7, 0, 20, 3}, {8, 20, 0, 4}};
    const Extra* extras = type % 8 == 4 ? Corners : (type % 8 == 0 ? Sides : nullptr);
    if (extras == nullptr)
        return;
    for (int32_t i = 0; i < 4; ++i)
        ThePlayField->DrawExplosionFrame(t / 2 - extras[i].back, x + extras[i].dx + shakeOffsetX,
                                         y + extras[i].dy, extras[i].angle, 1.0f);
}
