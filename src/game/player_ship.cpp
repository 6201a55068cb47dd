#include "game/player_ship.h"

#include <cmath>
#include <memory>

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/bitmap.h"
#include "engine/font.h"
#include "engine/sound.h"
#include "engine/video_list.h"
#include "game/force_cone.h"
#include "game/laser_beam.h"
#include "game/mine.h"
#include "game/missile.h"
#include "game/mission_table.h"
#include "game/motion.h"
#include "game/palette.h"
#include "game/play_field.h"
#include "game/shot.h"
#include "platform/os/crt_rand.h"
#include "shell/game_state.h"

namespace {

constexpr float Pi = 3.14159265359f;
constexpr float PathStep = 30.0f;
constexpr float WanderTurn = 0.05f;
constexpr float CruiseSpeed = 3.0f;
constexpr float BoostSpeed = 6.0f;
constexpr float BoostDrain = 0.002f;
constexpr float RefillPeriod = 120.0f;
constexpr float LaunchCooldown = 40.0f;
constexpr float NoPoint = -55555.0f;
constexpr int32_t TapThresholds[SpeedSettingCount] = {60, 30, 20, 15, 10, 6, 3};

enum ShipSound : int32_t { Explode, ShotSound, LaserSound, Damage, Thrust, NoBoost, ShipSoundCount };

struct SoundFile {
    const char* name;
    int32_t copies;
};

constexpr SoundFile SoundFiles[ShipSoundCount] = {
    {"dat\\explo1.wav", 1}, {"dat\\shot3.wav", 3},  {"dat\\lasrbeam3.wav", 2},
    {"dat\\damage.wav", 2}, {"dat\\thrust.wav", 1}, {"dat\\noBoost.wav", 1},
};

int32_t liveShips = 0;
std::unique_ptr<Bitmap> shipImages[MissionCount];
int32_t liveOfMission[MissionCount] = {};
std::unique_ptr<Bitmap> flareImage;
std::unique_ptr<Sound> sounds[ShipSoundCount];

Font* FontSlot(int32_t slot) {
    return TheApplication != nullptr ? TheApplication->GetFont(slot) : nullptr;
}

void ScreenPoint(float x, float y, float* sx, float* sy) {
    WorldToScreen(x, y, sx, sy);
    *sx += shakeOffsetX;
}

bool SoundOn() {
    return TheOptions.soundOn != 0;
}

// Every ship sound, the thrust and the empty-boost warning included, keeps
// quiet while sound is switched off.
void PlaySound(int32_t which, bool looping, float pitch) {
    if (SoundOn() && sounds[which])
        sounds[which]->Play(looping, pitch);
}

void AddWeapon(OLObject* weapon) {
    if (ThePlayField != nullptr && ThePlayField->list3 != nullptr)
        ThePlayField->list3->Add(weapon);
    else
        delete weapon;
}

Shot* MakeShot(float x, float y, float heading, float speed, float damage, int32_t paletteIndex) {
    auto* shot = new Shot(WeaponTag);
    shot->targetTag = EnemyTag;
    shot->x = x;
    shot->y = y;
    shot->heading = heading;
    shot->speed = speed;
    shot->damage = damage;
    const int32_t* rgb = PaletteEntry(paletteIndex);
    shot->red = rgb[0];
    shot->green = rgb[1];
    shot->blue = rgb[2];
    return shot;
}

} // namespace

PlayerShip::PlayerShip(int32_t tag, int32_t mission0)
    : OLObject(tag), mission(ClampInt(mission0, 0, MissionCount - 1)) {
    if (liveShips++ == 0) {
        flareImage = std::make_unique<Bitmap>("dat\\flare-white-full.bmp");
        for (int32_t i = 0; i < ShipSoundCount; ++i)
            sounds[i] = std::make_unique<Sound>(SoundFiles[i].name, SoundFiles[i].copies);
    }
    if (liveOfMission[mission]++ == 0)
        shipImages[mission] = std::make_unique<Bitmap>(GetShipArt(mission));
    ThePlayer = this;
}

PlayerShip::~PlayerShip() {
    while (DataObject* entry = queue.First()) {
        queue.Remove(entry);
        delete entry;
    }
    if (ThePlayer == this)
        ThePlayer = nullptr;
    if (laser != nullptr)
        laser->dead = 1;
    if (boosting != 0 && sounds[Thrust])
        sounds[Thrust]->StopFirst();
    if (--liveOfMission[mission] == 0)
        shipImages[mission].reset();
    if (--liveShips == 0) {
        flareImage.reset();
        for (auto& sound : sounds)
            sound.reset();
    }
}

int32_t PlayerShip::TapThreshold(int32_t thrustSpeed) {
    return TapThresholds[ClampInt(thrustSpeed, 0, SpeedSettingCount - 1)];
}

void PlayerShip::HitBox(int32_t* hx, int32_t* hy) {
    int32_t w = 0;
    int32_t h = 0;
    if (!shipImages[mission] || !shipImages[mission]->GetSize(&w, &h)) {
        w = 0;
        h = 0;
    }
    *hx = static_cast<int32_t>(0.3f * static_cast<float>(w));
    *hy = static_cast<int32_t>(0.3f * static_cast<float>(h));
}

int32_t PlayerShip::HitTest(float px, float py) {
    int32_t hx = 0;
    int32_t hy = 0;
    HitBox(&hx, &hy);
    const auto fx = static_cast<float>(hx);
    const auto fy = static_cast<float>(hy);
    return (x - fx <= px && px <= x + fx && y - fy <= py && py <= y + fy) ? 1 : 0;
}

int32_t PlayerShip::OverlapsRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
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

float PlayerShip::GetHitPoints() {
    return hitPoints;
}

bool PlayerShip::WantsBoost() const {
    return holding != 0 && holdTicks >= TapThreshold(TheOptions.thrustSpeed) && boost > 0.0f;
}

void PlayerShip::ExtendPath() {
    while (pathEnd < 30) {
        const int32_t roll = crt::rand() % 3;
        float turn = roll == 1 ? -WanderTurn : (roll == 2 ? WanderTurn : 0.0f);
        int32_t count = 10;
        const int32_t first = pathEnd;
        int32_t j = first;
        for (; j <= first + count && j < PathCapacity; ++j) {
            const float bx = j <= 0 ? x : path[j - 1].x;
            const float by = j <= 0 ? y : path[j - 1].y;
            const float bh = (j <= 0 ? heading : path[j - 1].heading) + turn;
            path[j] = {bx + PathStep * std::sin(bh), by - PathStep * std::cos(bh), bh, 0};
            if (j == first && turn != 0.0f && crt::rand() % 3 == 0) {
                path[j].marker = 1;
                count = 4;
                turn *= 3.0f;
            }
        }
        pathEnd = j;
    }
}

void PlayerShip::Straighten() {
    pathStart = 0;
    for (int32_t i = 1; i <= 11; ++i) {
        const auto step = PathStep * static_cast<float>(i);
        path[i - 1] = {prevX + step * std::sin(prevHeading), prevY - step * std::cos(prevHeading),
                       prevHeading, 0};
    }
    pathEnd = 11;
}

void PlayerShip::MoveAlongPath(float distance) {
    if (prevX == NoPoint && prevY == NoPoint) {
        prevX = x;
        prevY = y;
        prevHeading = heading;
    }
    if (pathStart >= pathEnd)
        return;
    const PathPoint target = path[pathStart];
    const float segment = Distance(prevX, prevY, target.x, target.y);
    // A zero-length segment is already complete; dividing by it would put
    // the ship at a non-finite position for good.
    const float f = segment > 0.0f ? (Distance(x, y, prevX, prevY) + distance) / segment : 1.0f;
    x = Lerp(f, target.x, prevX);
    y = Lerp(f, target.y, prevY);
    heading = Lerp(f, target.heading, prevHeading);
    if (f < 1.0f)
        return;
    prevX = target.x;
    prevY = target.y;
    prevHeading = target.heading;
    pathStart += 1;
    if (pathStart < pathEnd && path[pathStart].marker == 1 && WantsBoost())
        Straighten();
}

void PlayerShip::Refill() {
    refillTimer = RefillPeriod;
    boost = std::fmin(boost + 0.005f * static_cast<float>(queue.Count()), 1.0f);
    if (queue.Count() >= QueueCapacity)
        return;
    bool any = false;
    for (int32_t kind = 0; kind < WeaponKindCount; ++kind)
        any = any || IsWeaponAvailable(mission, kind) != 0;
    // A mission with no weapon at all would make the draw below loop for ever.
    if (!any)
        return;
    int32_t kind = crt::rand() % WeaponKindCount;
    while (IsWeaponAvailable(mission, kind) == 0)
        kind = crt::rand() % WeaponKindCount;
    queue.Add(new DataObject(kind, GetWeaponName(kind)));
}

void PlayerShip::Tick(float dt) {
    flareSpin += 0.01f;
    if (pathStart > 9) {
        for (int32_t i = pathStart; i < pathEnd; ++i)
            path[i - pathStart] = path[i];
        pathEnd -= pathStart;
        pathStart = 0;
    }
    ExtendPath();

    const int32_t threshold = TapThreshold(TheOptions.thrustSpeed);
    bool tapped = false;
    if (ThePlayField != nullptr && ThePlayField->fireHeld != 0) {
        holding = 1;
        holdTicks += 1;
    } else {
        tapped = holding == 1 && holdTicks < threshold;
        holdTicks = 0;
        holding = 0;
    }

    if (WantsBoost()) {
        MoveAlongPath(BoostSpeed * dt);
        boost -= BoostDrain * dt;
        if (boosting == 0) {
            boosting = 1;
            PlaySound(Thrust, true, 1.0f);
        }
    } else {
        if (boosting != 0) {
            if (sounds[Thrust])
                sounds[Thrust]->StopFirst();
            boosting = 0;
            if (holding != 0 && boost <= 0.0f)
                PlaySound(NoBoost, false, 1.0f);
        }
        MoveAlongPath(CruiseSpeed * dt);
    }

    camX = x;
    camY = y;
    zoom = 1.0f;
    if (ThePlayField != nullptr && ThePlayField->mainList != nullptr)
        ThePlayField->mainList->Find(this);

    if (launchCooldown > 0.0f) {
        launchCooldown -= dt;
    } else if (tapped && deathTimer < 0.0f && !queue.IsEmpty()) {
        launchCooldown = LaunchCooldown;
        DataObject* entry = queue.First();
        queue.Remove(entry);
        Fire(entry->GetTag());
        delete entry;
    }

    if (deathTimer >= 0.0f) {
        deathTimer += dt;
        if (deathTimer > 60.0f)
            dead = 1;
    }

    if (laser != nullptr) {
        if (laser->age >= laser->lifetime) {
            laser->dead = 1;
            laser = nullptr;
        } else {
            laser->x = x;
            laser->y = y;
            laser->heading = heading + Pi;
        }
    }

    if (rapidTimer > 0.0f) {
        rapidTimer -= dt;
        if (static_cast<int32_t>(rapidTimer) % 7 == 0)
            FireRapidShot();
    }
    if (coneTimer > 0.0f) {
        coneTimer -= dt;
        if (static_cast<int32_t>(coneTimer) % 7 == 0)
            FireCone();
    }
    refillTimer -= dt;
    if (refillTimer < 1.0f)
        Refill();

    if (deathTimer < 0.0f && ThePlayField != nullptr && ThePlayField->exhaustEmitter != nullptr) {
        const MissionInfo& info = GetMissionInfo(mission);
        const float d = 1.7f * info.nozzleDistance;
        const int32_t* rgb = PaletteEntry(mission);
        for (const float a : {heading + Pi - info.nozzleAngle, heading + Pi + info.nozzleAngle}) {
            ThePlayField->exhaustEmitter->SetOrigin(
                static_cast<float>(static_cast<int32_t>(x + d * std::sin(a))),
                static_cast<float>(static_cast<int32_t>(y - d * std::cos(a))));
            ThePlayField->exhaustEmitter->Emit(1, rgb[0], rgb[1], rgb[2], 128);
        }
    }
}

void PlayerShip::FireRapidShot() {
    AddWeapon(MakeShot(x, y, heading + Pi, 4.0f, 1.0f, 4));
}

void PlayerShip::FireCone() {
    const int32_t* rgb = PaletteEntry(8);
    auto* cone = new class ForceCone(WeaponTag, 0.05f, 1.07f, 0.1f, rgb[0], rgb[1], rgb[2], 128);
    cone->targetTag = EnemyTag;
    cone->x = x;
    cone->y = y;
    cone->speed = 6.0f;
    cone->heading = heading + Pi;
    AddWeapon(cone);
}

void PlayerShip::Fire(int32_t kind) {
    // A second laser while one is active is used up without any effect.
    if (kind == ProtonLazer && laser != nullptr)
        return;
    PlaySound(ShotSound, false, 1.0f);
    const float back = heading + Pi;
    switch (kind) {
    case ProximityMine: {
        auto* mine = new Mine(WeaponTag);
        mine->targetTag = EnemyTag;
        mine->x = x;
        mine->y = y;
        AddWeapon(mine);
        break;
    }
    case HammerheadMissile: {
        auto* missile = new Missile(WeaponTag);
        missile->targetTag = EnemyTag;
        missile->spriteMode = 0;
        missile->homing = 0;
        missile->speed = 2.0f;
        missile->damage = 10.0f;
        missile->x = x;
        missile->y = y;
        missile->heading = back;
        AddWeapon(missile);
        break;
    }
    case RapidfireBeams:
        rapidTimer = 50.0f;
        break;
    case ScatterBeams:
        for (int32_t i = 1; i <= 3; ++i) {
            const float spread = 0.1f * static_cast<float>(i);
            AddWeapon(MakeShot(x, y, back - spread, 2.0f, 2.0f, 3));
            AddWeapon(MakeShot(x, y, back + spread, 2.0f, 2.0f, 3));
        }
        break;
    case DeathBlossom:
        for (int32_t i = 1; i <= 13; ++i) {
            const float spread = 0.1f * static_cast<float>(i);
            AddWeapon(MakeShot(x, y, back + spread, 2.0f, 1.0f, 4));
            AddWeapon(MakeShot(x, y, back - spread, 2.0f, 1.0f, 4));
        }
        break;
    case ProtonLazer: {
        PlaySound(LaserSound, false, 1.0f);
        auto* beam = new LaserBeam(WeaponTag, 100, 5.0f, 1.0f);
        beam->targetTag = EnemyTag;
        beam->x = x;
        beam->y = y;
        beam->heading = back;
        if (ThePlayField != nullptr && ThePlayField->list3 != nullptr) {
            ThePlayField->list3->Add(beam);
            laser = beam;
        } else {
            delete beam;
        }
        break;
    }
    case ForceCone:
        coneTimer = 50.0f;
        break;
    default:
        break;
    }
}

void PlayerShip::TakeDamage(float amount) {
    if (deathTimer >= 0.0f)
        return;
    if (ThePlayField != nullptr)
        ThePlayField->redFlashTimer = 14;
    hitPoints -= amount;
    PlaySound(Damage, false, ClampFloat(1.3f - 0.1f * amount, 0.5f, 2.0f));
    if (TheOptions.difficulty == 2)
        hitPoints = 0.0f;
    if (hitPoints > 0.0f)
        return;
    hitPoints = 0.0f;
    deathTimer = 0.0f;
    if (ThePlayField != nullptr && ThePlayField->sparkEmitter != nullptr) {
        ThePlayField->sparkEmitter->SetOrigin(x, y);
        ThePlayField->sparkEmitter->Emit(40, 255, 255, 255, 128);
    }
    PlaySound(Explode, false, 0.5f);
    if (laser != nullptr) {
        laser->dead = 1;
        laser = nullptr;
    }
}

void PlayerShip::Draw() {
    if (ThePlayField == nullptr)
        return;
    Bitmap* ship = shipImages[mission].get();
    if (deathTimer >= 0.0f) {
        const auto t = static_cast<int32_t>(deathTimer);
        const auto ft = static_cast<float>(t);
        ThePlayField->DrawExplosionFrame(t / 2, x, y, 0.0f, 2.0f);
        struct Extra {
            int32_t back;
            float dx;
            float dy;
            float angle;
        };
        static constexpr Extra Extras[4] = {
            {2, -20, 20, 1}, {4, 20, -20, 2}, {7, 20, 20, 3}, {9, -20, -20, 4}};
        for (const Extra& extra : Extras)
            ThePlayField->DrawExplosionFrame(t / 2 - extra.back, x + extra.dx, y + extra.dy, extra.angle,
                                             1.0f);
        float sx = 0.0f;
        float sy = 0.0f;
        ScreenPoint(x, y, &sx, &sy);
        const int32_t w = ClampInt(static_cast<int32_t>((60.0f - ft) * 4.25f), 0, 255);
        SetAdditiveState();
        ThePlayField->ring1->Draw(sx, sy, 6.0f * ft, 3.0f * ft, w, 0, 0, 255, 0.0f);
        ThePlayField->ring1->Draw(sx, sy, 4.0f * ft, 2.0f * ft, w, 0, w, 255, 0.0f);
        SetAlphaState();
        return;
    }

    for (int32_t i = pathStart; i < pathEnd; ++i) {
        const PathPoint& point = path[i];
        float px = 0.0f;
        float py = 0.0f;
        ScreenPoint(point.x, point.y, &px, &py);
        if (ship != nullptr)
            ship->DrawRotated(px, py, -point.heading, 0.1f, 255, 255, 255, 255);
        if (point.marker != 1 || i - pathStart >= 13)
            continue;
        for (int32_t j = 0; j < 20; ++j) {
            const auto along = 30.0f * static_cast<float>(j);
            if (ship != nullptr)
                ship->DrawRotated(px + along * std::sin(point.heading), py - along * std::cos(point.heading),
                                  -point.heading, 0.1f, 255, 255, 100, 255);
        }
        if (Font* font = FontSlot(1)) {
            const auto cx = static_cast<int32_t>(static_cast<float>(ThePlayField->screenWidth / 2) +
                                                 230.0f * std::sin(heading));
            const auto cy = static_cast<int32_t>(static_cast<float>(ThePlayField->screenHeight / 2) -
                                                 230.0f * std::cos(heading));
            font->DrawText(cx - 100, cy - 20, cx + 100, cy + 20, nullptr, PackColour(255, 255, 0, 255),
                           "Boost to\ngo straight", FontCentred | FontCentredVertical);
        }
    }

    float sx = 0.0f;
    float sy = 0.0f;
    ScreenPoint(x, y, &sx, &sy);
    if (ship != nullptr)
        ship->DrawRotated(sx, sy, -heading, 1.0f, 255, 255, 255, 255);
    Bitmap* flare = flareImage.get();
    if (boosting == 0 || flare == nullptr)
        return;
    const MissionInfo& info = GetMissionInfo(mission);
    const float d = 1.7f * info.nozzleDistance;
    for (const float a : {heading + Pi - info.nozzleAngle, heading + Pi + info.nozzleAngle}) {
        const auto fx = static_cast<float>(static_cast<int32_t>(sx + d * std::sin(a)));
        const auto fy = static_cast<float>(static_cast<int32_t>(sy - d * std::cos(a)));
        flare->DrawRotatedGlow(fx, fy, flareSpin, 0.6f, 255, 255, 255, 255);
    }
}

void PlayerShip::DrawWeaponQueue() {
    Font* small = FontSlot(0);
    Font* large = FontSlot(1);
    const uint32_t green = PackColour(0, 255, 0, 255);
    float baseline = 600.0f;
    DataObject* next = queue.First();
    for (DataObject* entry = queue.Last(); entry != nullptr; entry = queue.Prev()) {
        if (entry == next) {
            // The next launch slides from the list to its place after each launch.
            const float u = 0.025f * launchCooldown;
            const auto cx = static_cast<int32_t>(Lerp(u, 100.0f, 300.0f));
            const auto cy = static_cast<int32_t>(Lerp(u, baseline, 420.0f));
            if (large != nullptr)
                large->DrawText(cx - 100, cy - 25, cx + 100, cy, nullptr, green, entry->GetName(), 0);
            break;
        }
        const auto yb = static_cast<int32_t>(baseline);
        if (small != nullptr)
            small->DrawText(2, yb - 20, 200, yb, nullptr, green, entry->GetName(), 0);
        baseline -= 16.0f;
    }
}
