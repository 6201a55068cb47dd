#include "game/play_field.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/bitmap.h"
#include "engine/font.h"
#include "engine/sound.h"
#include "engine/video_list.h"
#include "game/enemy.h"
#include "game/mission_table.h"
#include "game/motion.h"
#include "game/player_ship.h"
#include "platform/os/crt_rand.h"
#include "shell/game_state.h"
#include "shell/music_stream.h"
#include "shell/services.h"

PlayField* ThePlayField = nullptr;
PlayerShip* ThePlayer = nullptr;
int32_t enemyAliveFlag = 0;
float shakeOffsetX = 0.0f;

namespace {

constexpr int32_t VkSpace = 0x20;
constexpr int32_t VkLeft = 0x25;
constexpr int32_t VkUp = 0x26;
constexpr int32_t VkRight = 0x27;
constexpr int32_t VkDown = 0x28;
constexpr int32_t VkF4 = 0x73;
constexpr int32_t RightButton = 1;
constexpr int32_t HardDifficulty = 2;
constexpr float TwoPi = 6.28318530717959f;
constexpr uint32_t Green = 0xFF00FF00u;

const char* const BackdropFiles[BackdropCount] = {
    "dat\\256Moon.png",  "dat\\256Star.png",         "dat\\256Hex.png",       "dat\\256Storm.png",
    "dat\\256Night.png", "dat\\256nebStarCombo.png", "dat\\256RedGalaxy.png", "dat\\256Land.png"};
const char* const TileFiles[TileCount] = {"dat\\bandTile.png",  "dat\\cellsCTile.png", "dat\\flameTile.png",
                                          "dat\\cloudTile.png", "dat\\cloud2Tile.png", "dat\\marbleTile.png",
                                          "dat\\sandTile.png",  "dat\\cellsBTile.png", "dat\\cellsATile.png"};

std::unique_ptr<ParticleEmitter> MakeEmitter(int32_t capacity, const char* texture, float size, float speedLo,
                                             float speedHi, float lifeLo, float lifeHi) {
    auto emitter = std::make_unique<ParticleEmitter>(capacity, texture, size);
    emitter->SetRanges(0.0f, TwoPi, speedLo, speedHi, lifeLo, lifeHi);
    return emitter;
}

int32_t ClampedTimer(int32_t value) {
    return ClampInt(value, 0, 255);
}

enum class Align { Left, Centre, Right };

// HUD text: horizontal alignment only; the top of the box is where the first line starts.
void DrawFontText(int32_t slot, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour,
                  const char* text, Align align) {
    Font* font = TheApplication ? TheApplication->GetFont(slot) : nullptr;
    const uint32_t flags = align == Align::Right ? FontRightAligned : align == Align::Centre ? FontCentred : 0;
    if (font)
        font->DrawText(left, top, right, bottom, nullptr, colour, text, flags);
}

} // namespace

PlayField::PlayField(int32_t mission, float gameSpeed) : mission(mission), gameSpeed(gameSpeed) {
    OLObject::RestartIdentities();
    crt::srand(static_cast<uint32_t>(mission * 50));
    for (int32_t i = 0; i < BackdropCount; ++i)
        backdrops[i] = std::make_unique<Bitmap>(BackdropFiles[i]);
    for (int32_t i = 0; i < TileCount; ++i)
        tiles[i] = std::make_unique<Bitmap>(TileFiles[i]);
    missionOverBitmap = std::make_unique<Bitmap>("dat\\missionOver.png");
    missionCompleteBitmap = std::make_unique<Bitmap>("dat\\missionComplete.png");
    missionExcelledBitmap = std::make_unique<Bitmap>("dat\\missionExcelled.png");
    meterBitmap = std::make_unique<Bitmap>("dat\\meter.png");
    flareBitmap = std::make_unique<Bitmap>("dat\\flare6.png");
    for (int32_t i = 0; i < ExplosionFrameCount; ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), "dat\\exp120-%04d.bmp", i + 1);
        explosionFrames[i] = std::make_unique<Bitmap>(name);
    }
    sparkEmitter = MakeEmitter(200, "dat\\flare-white.bmp", 20.0f, 3.0f, 10.0f, 20.0f, 30.0f);
    burstEmitter = MakeEmitter(200, "dat\\flare-white.bmp", 20.0f, 7.0f, 7.0f, 25.0f, 30.0f);
    glowEmitter = MakeEmitter(400, "dat\\flare-white.bmp", 10.0f, 0.0f, 0.2f, 10.0f, 30.0f);
    exhaustEmitter = MakeEmitter(400, "dat\\flare-white.bmp", 15.0f, 0.0f, 0.0f, 10.0f, 20.0f);
    debrisEmitter = MakeEmitter(200, "dat\\asteroidBit.png", 10.0f, 2.0f, 8.0f, 30.0f, 60.0f);
    smokeEmitter = MakeEmitter(200, "dat\\smoke128.png", 64.0f, 2.0f, 8.0f, 30.0f, 60.0f);
    ring1 = std::make_unique<RingMesh>(24, "dat\\ring1.png");
    ring3 = std::make_unique<RingMesh>(24, "dat\\ring3.png");
    explosionSound = std::make_unique<Sound>("dat\\missExp2.wav", 3);
    winSound = std::make_unique<Sound>("dat\\fanfareWin.wav", 1);
    lostSound = std::make_unique<Sound>("dat\\fanfareLost.wav", 1);

    TheProgress.lastMission = mission;
    TheProgress.lastScore = 0;
    TheProgress.missionTicks = 0;
    backdropIndex = crt::rand() % 9 - 1;
    tileIndex = crt::rand() % 10 - 1;
    shakeOffsetX = 0.0f;
    templateEnemy = std::make_unique<Enemy>(0, 0);
}

PlayField::~PlayField() {
    // The lists go first: objects may still reach the field while they are deleted.
    mainList.reset();
    list1.reset();
    list3.reset();
    list4.reset();
    list5.reset();
    templateEnemy.reset();
    if (ThePlayField == this)
        ThePlayField = nullptr;
}

void PlayField::StartLevel() {
    for (int32_t& flag : TheProgress.BonusFlags)
        flag = 0;
    TheProgress.hitStreak = 0;
    TheProgress.lastKillType = 0;
    TheProgress.sameKillStreak = 0;
    TheProgress.killHeat = 0.0f;
    skipLevelFlag = 0;
    if (list1) {
        if (ThePlayer && mainList)
            mainList->Remove(ThePlayer);
        mainList.reset();
    } else {
        list1 = std::make_unique<OLObjectList>();
        list3 = std::make_unique<OLObjectList>();
        list4 = std::make_unique<OLObjectList>();
        list5 = std::make_unique<OLObjectList>();
    }
    mainList = std::make_unique<OLObjectList>();
    levelIndex += 1;
    TheProgress.lastLevelIndex = levelIndex;
    if (levelIndex > 0)
        transitionTimer = 0;
    levelSpawnDone = 0;
    spawnedThisLevel = 0;
    enemyAliveFlag = 0;
    if (!ThePlayer)
        ThePlayer = new PlayerShip(ShipTag, mission);
    if (ThePlayer)
        mainList->Add(ThePlayer);
}

void PlayField::SpawnEnemy() {
    if (!ThePlayer || !mainList)
        return;
    spawnTimer = 0.0f;
    const int32_t type = ClampInt(crt::rand() % 5 + 2 * levelIndex, 0, EnemyTypeCount - 1);
    auto* enemy = new Enemy(EnemyTag, type);
    enemy->speed += 0.1f * static_cast<float>(levelIndex);
    const float spread = ClampFloat(0.1f * static_cast<float>(levelIndex) + 0.5f, 0.0f, 2.2f);
    const float h = ThePlayer->heading;
    const float a = (h - spread) + static_cast<float>(crt::rand()) * 2.0f * spread / 32767.0f;
    enemy->x = ThePlayer->x - 400.0f * std::sin(a);
    enemy->y = ThePlayer->y + 400.0f * std::cos(a);
    enemy->heading = (h - 1.0f) + static_cast<float>(crt::rand()) * 2.0f / 32767.0f;
    if (!mainList->Add(enemy))
        delete enemy;
    spawnedThisLevel += 1;
    if (spawnedThisLevel > SpawnsPerLevel - 1)
        levelSpawnDone = 1;
}

int32_t PlayField::Tick() {
    if (startPending) {
        TheProgress.gamesPlayed += 1;
        StartLevel();
        startPending = 0;
    }
    if (finished || paused)
        return 0;
    if (freezeTimer > 0) {
        freezeTimer -= 1;
        if (freezeTimer > 6)
            return 0;
    }
    TickWorld();
    return 0;
}

void PlayField::TickWorld() {
    if (redFlashTimer > 0)
        redFlashTimer -= 1;
    if (transitionTimer >= 0) {
        if (transitionTimer == 20) {
            backdropIndex = crt::rand() % 9 - 1;
            tileIndex = crt::rand() % 10 - 1;
        }
        transitionTimer += 1;
        if (transitionTimer > 40)
            transitionTimer = -1;
    }
    tickCount += 1;
    TheProgress.killHeat = ClampFloat(TheProgress.killHeat - 0.04f, 0.0f, 10.0f);
    if (shakeTimer > 0) {
        shakePhase += 1.5f;
        shakeTimer -= 1;
        shakeOffsetX = std::cos(shakePhase) * static_cast<float>(shakeTimer) * (1.0f / 12.0f);
    } else {
        shakeOffsetX = 0.0f;
    }
    if (pickupTimer > 0)
        pickupTimer -= 1;

    enemyAliveFlag = 0;
    debrisEmitter->Update(1.0f);
    sparkEmitter->Update(1.0f);
    burstEmitter->Update(1.0f);
    glowEmitter->Update(1.0f);
    exhaustEmitter->Update(1.0f);
    smokeEmitter->Update(1.0f);

    list1->TickAll(gameSpeed);
    mainList->TickAll(gameSpeed);
    list3->TickAll(gameSpeed);
    list4->TickAll(gameSpeed);
    list5->TickAll(gameSpeed);

    if (gameOverTimer <= 0)
        TheProgress.missionTicks += 1;
    spawnTimer += gameSpeed;
    if (ThePlayer && spawnTimer > SpawnInterval && !levelSpawnDone)
        SpawnEnemy();
    // A level never starts after the ship is lost: that would bring a new ship
    // into the game-over sequence.
    if (levelSpawnDone && !enemyAliveFlag && ThePlayer && gameOverTimer == 0)
        StartLevel();

    if (gameOverTimer > 0) {
        gameOverTimer += 1;
        if (gameOverTimer > 180 || (!ThePlayer && gameOverTimer > 140))
            finished = 1;
    } else if (!ThePlayer) {
        gameOverTimer = 1;
        if (TheOptions.soundOn) {
            if (gameMusic)
                gameMusic->volume = 0.9f;
            lostSound->Play(false, 1.0f);
        }
    }
    if (tipTimer > 0)
        tipTimer -= 1;
}

void PlayField::KeyDown(int32_t key) {
    switch (key) {
    case VkSpace:
        fireHeld = 1;
        break;
    case VkLeft:
        leftHeld = 1;
        break;
    case VkUp:
        upHeld = 1;
        break;
    case VkRight:
        rightHeld = 1;
        break;
    case VkDown:
        downHeld = 1;
        break;
    default:
        break;
    }
}

void PlayField::KeyUp(int32_t key, int32_t character) {
    if (key == 0) {
        if (character == 'p')
            paused = !paused;
        return;
    }
    switch (key) {
    case VkSpace:
        fireHeld = 0;
        break;
    case VkLeft:
        leftHeld = 0;
        break;
    case VkUp:
        upHeld = 0;
        break;
    case VkRight:
        rightHeld = 0;
        break;
    case VkDown:
        downHeld = 0;
        break;
    case VkF4:
        skipLevelFlag = 1;
        levelSpawnDone = 1;
        break;
    default:
        break;
    }
}

void PlayField::MouseDown(int32_t button) {
    if (button == RightButton) {
        rightMouseHeld = 1;
    } else {
        fireHeld = 1;
        leftMouseHeld = 1;
    }
}

void PlayField::MouseUp(int32_t button) {
    if (button == RightButton) {
        rightMouseHeld = 0;
    } else {
        fireHeld = 0;
        leftMouseHeld = 0;
    }
}

void PlayField::DrawExplosionFrame(int32_t frame, float worldX, float worldY, float angle, float scale) {
    if (frame < 0 || frame >= ExplosionFrameCount)
        return;
    float sx = 0.0f;
    float sy = 0.0f;
    WorldToScreen(worldX, worldY, &sx, &sy);
    explosionFrames[frame]->DrawRotatedGlow(sx, sy, angle, scale, 255, 255, 255, 255);
}

Bitmap* PlayField::GameOverImage() {
    if (TheProgress.lastLevelIndex >= ExcelLevelIndex(TheProgress.lastMission))
        return missionExcelledBitmap.get();
    if (TheProgress.lastLevelIndex >= UnlockLevelIndex(TheProgress.lastMission))
        return missionCompleteBitmap.get();
    return missionOverBitmap.get();
}

void PlayField::DrawLayer(Bitmap* bitmap, float parallax, bool glow) {
    const int32_t offsetX = static_cast<int32_t>(zoom * camX * parallax) % 256;
    const int32_t offsetY = static_cast<int32_t>(zoom * camY * parallax) % 256;
    for (int32_t top = -256 - offsetY; top < screenHeight; top += 256) {
        for (int32_t left = -256 - offsetX; left < screenWidth; left += 256) {
            const float cx = static_cast<float>(left + 128);
            const float cy = static_cast<float>(top + 128);
            if (glow)
                bitmap->DrawRotatedGlow(cx, cy, 0.0f, 1.0f, 255, 255, 255, 255);
            else
                bitmap->DrawCentered(cx, cy);
        }
    }
}

void PlayField::DrawEmitters() {
    SetAlphaState();
    debrisEmitter->fadeByLife = 0;
    debrisEmitter->Draw();
    smokeEmitter->fadeByLife = 0;
    smokeEmitter->Draw();
    SetAdditiveState();
    for (ParticleEmitter* emitter :
         {exhaustEmitter.get(), sparkEmitter.get(), burstEmitter.get(), glowEmitter.get()}) {
        emitter->fadeByLife = 1;
        emitter->Draw();
    }
    ResetRenderStates();
}

void PlayField::DrawMeters() {
    constexpr float Length = 256.0f;
    constexpr float Top = 3.0f;
    constexpr float Bottom = 67.0f;
    constexpr int32_t Alpha = 140;
    // Texture coordinates follow the drawn part of the bar.
    auto bar = [&](float left, float from, float to, int32_t r, int32_t g, int32_t b) {
        if (!(to > from))
            return;
        const float points[8] = {left + from * Length, Top,    left + to * Length, Top,
                                 left + from * Length, Bottom, left + to * Length, Bottom};
        const float uvs[8] = {from, 0.0f, to, 0.0f, from, 1.0f, to, 1.0f};
        meterBitmap->DrawMapped(points, uvs, r, g, b, Alpha);
    };
    const float hull = ThePlayer->maxHitPoints > 0.0f
                           ? ClampFloat(ThePlayer->hitPoints / ThePlayer->maxHitPoints, 0.0f, 1.0f)
                           : 0.0f;
    const float boostStart = ClampFloat(1.01f - ThePlayer->boost, 0.0f, 1.0f);
    const float rightLeft = static_cast<float>(screenWidth) - 259.0f;
    bar(3.0f, 0.0f, 1.0f, 100, 100, 100);
    bar(3.0f, 0.0f, hull, 0, 255, 0);
    bar(rightLeft, 0.0f, 1.0f, 100, 100, 100);
    bar(rightLeft, boostStart, 1.0f, 0, 0, 255);
}

void PlayField::DrawTexts() {
    char text[128];
    std::snprintf(text, sizeof(text), "%07ld00", static_cast<long>(TheProgress.lastScore));
    DrawFontText(6, 300, 2, 500, 40, Green, text, Align::Centre);
    std::snprintf(text, sizeof(text), "Level %d", levelIndex + 1);
    DrawFontText(1, 300, 40, 500, 80, Green, text, Align::Centre);

    const int32_t cx = screenWidth / 2;
    const int32_t cy = screenHeight / 2;
    if (gameOverTimer > 0) {
        const float e = static_cast<float>(40 - gameOverTimer);
        const float t = ClampFloat(e / 15.0f, 0.0f, 200.0f);
        GameOverImage()->DrawRotated(400.0f, 300.0f, t, 1.0f - t / 15.0f, 255, 255, 255, 255);
        DrawFontText(1, cx - 200, cy + 70, cx - 20, cy + 200, Green, "Mission statistics:\nLevel\nScore",
                     Align::Right);
        std::snprintf(text, sizeof(text), "\n%d\n%d00", TheProgress.lastLevelIndex + 1,
                      TheProgress.lastScore);
        DrawFontText(1, cx + 40, cy + 70, cx + 200, cy + 200, Green, text, Align::Left);
    }
    if (tipTimer > 0)
        DrawFontText(2, cx - 300, 80, cx + 300, 200, PackColour(0, 255, 0, 155),
                     "Tap SPACE to launch the next weapon\nHold SPACE to escape using boost",
                     Align::Centre);
}

int32_t PlayField::Draw() {
    if (backdropIndex >= 0 && backdropIndex < BackdropCount)
        DrawLayer(backdrops[backdropIndex].get(), 0.5f, false);
    if (tileIndex >= 0 && tileIndex < TileCount)
        DrawLayer(tiles[tileIndex].get(), 1.0f, true);
    const float w = static_cast<float>(screenWidth);
    const float h = static_cast<float>(screenHeight);
    const float screen[8] = {0.0f, 0.0f, w, 0.0f, 0.0f, h, w, h};
    if (transitionTimer >= 0) {
        const int32_t d = transitionTimer > 20 ? ClampedTimer(13 * (40 - transitionTimer))
                                               : ClampedTimer(13 * transitionTimer);
        FillScreenQuad(screen, d / 3, d / 3, d / 2, d);
    }
    for (OLObjectList* list : {list1.get(), mainList.get(), list3.get(), list4.get(), list5.get()})
        if (list)
            list->DrawAll();
    DrawEmitters();
    if (ThePlayer && TheOptions.difficulty != HardDifficulty)
        DrawMeters();
    if (ThePlayer && gameOverTimer == 0)
        ThePlayer->DrawWeaponQueue();
    if (freezeTimer > 0) {
        const int32_t c = std::min(255, 10 * freezeTimer);
        FillScreenQuad(screen, c, c, c, c);
    }
    if (redFlashTimer > 0) {
        const int32_t c = std::min(255, 10 * redFlashTimer);
        FillScreenQuad(screen, c, 0, 0, c);
    }
    DrawTexts();
    return 0;
}
