#include "game/laser_beam.h"

#include <cmath>
#include <memory>

#include "engine/bitmap.h"
#include "game/motion.h"
#include "game/play_field.h"
#include "game/player_ship.h"
#include "game/weapon_target.h"

namespace {

int32_t liveBeams = 0;
std::unique_ptr<Bitmap> beamImage;
std::unique_ptr<Bitmap> glowImage;

constexpr float HalfPi = 1.57079632679f;

} // namespace

LaserBeam::LaserBeam(int32_t tag, int32_t lifetime0, float width0, float damage0)
    : OLObject(tag), width(width0), damage(damage0), lifetime(static_cast<float>(lifetime0)) {
    if (liveBeams++ == 0) {
        beamImage = std::make_unique<Bitmap>("dat\\laser.png");
        glowImage = std::make_unique<Bitmap>("dat\\flare-white-full.bmp");
    }
}

LaserBeam::~LaserBeam() {
    // The ship holds its beam without owning it; whoever deletes the beam
    // (its list, at the latest with the play field) must not leave the ship
    // pointing at freed memory.
    if (ThePlayer != nullptr && ThePlayer->laser == this)
        ThePlayer->laser = nullptr;
    if (--liveBeams == 0) {
        beamImage.reset();
        glowImage.reset();
    }
}

void LaserBeam::Tick(float dt) {
    age += dt;
    if (age < 0.0f || ThePlayField == nullptr)
        return;
    float sx = 0.0f;
    float sy = 0.0f;
    WorldToScreen(x, y, &sx, &sy);
    // A beam away from every finite screen point reaches nowhere and hurts nobody.
    if (!std::isfinite(sx) || !std::isfinite(sy)) {
        endX = sx;
        endY = sy;
        return;
    }
    const float dx = std::sin(heading);
    const float dy = -std::cos(heading);
    const auto screenWidth = static_cast<float>(ThePlayField->screenWidth);
    const auto screenHeight = static_cast<float>(ThePlayField->screenHeight);
    float ex = 0.0f;
    float ey = 0.0f;
    if (std::fabs(dx) > std::fabs(dy)) {
        ex = dx >= 0.0f ? screenWidth - sx : -sx;
        ey = dy * ex / dx;
    } else {
        ey = dy >= 0.0f ? screenHeight - sy : -sy;
        ex = dx * ey / dy;
    }
    float reach = Distance(0.0f, 0.0f, ex, ey);
    // Without a direction (a non-finite heading) the beam has no length, so
    // the walk along it ends.
    if (!std::isfinite(reach)) {
        reach = 0.0f;
        ex = 0.0f;
        ey = 0.0f;
    }
    int32_t box[4] = {static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(x + ex),
                      static_cast<int32_t>(y + ey)};
    NormalizeRect(box);

    float nearest = reach;
    OLObject* victim = nullptr;
    if (ThePlayField->mainList != nullptr && (targetTag == ShipTag || targetTag == EnemyTag)) {
        OLObjectList* targets = ThePlayField->mainList.get();
        for (OLObject* target = targets->First(); target != nullptr; target = targets->Next()) {
            if (target->GetTag() != targetTag ||
                TargetOverlapsRect(target, box[0], box[1], box[2], box[3]) == 0)
                continue;
            // Steps of 10 along the beam, never past the nearest hit so far.
            for (float a = 0.0f;; a += 10.0f) {
                if (target->HitTest(x + a * dx, y + a * dy) != 0) {
                    nearest = a;
                    victim = target;
                    break;
                }
                if (a + 10.0f > nearest)
                    break;
            }
        }
    }
    if (victim != nullptr)
        DamageTarget(victim, dt * damage);
    endX = sx + nearest * dx;
    endY = sy + nearest * dy;
}

void LaserBeam::Draw() {
    float sx = 0.0f;
    float sy = 0.0f;
    WorldToScreen(x, y, &sx, &sy);
    if (glowImage)
        glowImage->DrawRotatedGlow(sx, sy, 0.0f, 0.7f, 255, 255, 255, 255);
    if (age < 0.0f)
        return;
    if (beamImage) {
        const float nx = width * std::sin(heading + HalfPi);
        const float ny = -width * std::cos(heading + HalfPi);
        const float points[8] = {sx + nx,   sy + ny,   sx - nx,   sy - ny,
                                 endX + nx, endY + ny, endX - nx, endY - ny};
        const auto v = static_cast<int32_t>(RandomRange(130.0f, 255.0f));
        if (width <= 3.0f)
            beamImage->DrawQuad(points, 0, v, 0, 255, true);
        else if (width > 5.0f)
            beamImage->DrawQuad(points, 0, 0, v, 255, true);
        else
            beamImage->DrawQuad(points, v, 0, 0, 255, true);
    }
    if (glowImage)
        glowImage->DrawRotatedGlow(endX, endY, 0.0f, 0.5f, 255, 255, 255, 255);
}
