// The world of one mission: backdrop, object lists, shared emitters and
// effect art, levels with their enemy spawning, score and level display,
// flashes and shake, and the game-over sequence. Game objects reach it
// through ThePlayField and the ship through ThePlayer.
#pragma once

#include <cstdint>
#include <memory>

#include "game/game_view.h"
#include "game/ol_object.h"
#include "game/particle_emitter.h"
#include "game/ring_mesh.h"

class Bitmap;
class Enemy;
class PlayerShip;
class Sound;

constexpr int32_t ExplosionFrameCount = 16;
constexpr int32_t BackdropCount = 8;
constexpr int32_t TileCount = 9;
constexpr int32_t SpawnsPerLevel = 9;
constexpr float SpawnInterval = 150.0f; // spawnTimer must exceed it

class PlayField : public GameView {
  public:
    int32_t rightHeld = 0;
    int32_t leftHeld = 0;
    int32_t upHeld = 0;
    int32_t downHeld = 0;
    int32_t fireHeld = 0; // SPACE or the left mouse button
    int32_t leftMouseHeld = 0;
    int32_t rightMouseHeld = 0;

    std::unique_ptr<Bitmap> explosionFrames[ExplosionFrameCount];
    std::unique_ptr<Bitmap> meterBitmap;
    std::unique_ptr<Bitmap> missionOverBitmap;
    std::unique_ptr<Bitmap> missionCompleteBitmap;
    std::unique_ptr<Bitmap> missionExcelledBitmap;
    std::unique_ptr<Bitmap> flareBitmap;
    std::unique_ptr<Bitmap> backdrops[BackdropCount];
    std::unique_ptr<Bitmap> tiles[TileCount];
    int32_t backdropIndex = -1;   // -1 none
    int32_t tileIndex = -1;       // -1 none
    int32_t transitionTimer = -1; // -1 idle, else 0..40

    std::unique_ptr<ParticleEmitter> sparkEmitter;
    std::unique_ptr<ParticleEmitter> burstEmitter;
    std::unique_ptr<ParticleEmitter> debrisEmitter;
    std::unique_ptr<ParticleEmitter> glowEmitter;
    std::unique_ptr<ParticleEmitter> smokeEmitter;
    std::unique_ptr<ParticleEmitter> exhaustEmitter;
    std::unique_ptr<RingMesh> ring1;
    std::unique_ptr<RingMesh> ring3;

    std::unique_ptr<Enemy> templateEnemy; // never ticked or drawn; keeps enemy art loaded

    std::unique_ptr<Sound> explosionSound;
    std::unique_ptr<Sound> winSound;
    std::unique_ptr<Sound> lostSound;

    // Ticked and drawn in this order. mainList holds the ship and the enemies
    // and is replaced at every level start; the others live from the first
    // level start to the field's end.
    std::unique_ptr<OLObjectList> list1;
    std::unique_ptr<OLObjectList> mainList;
    std::unique_ptr<OLObjectList> list3;
    std::unique_ptr<OLObjectList> list4;
    std::unique_ptr<OLObjectList> list5;

    int32_t tickCount = 0;
    int32_t spawnedThisLevel = 0;
    int32_t levelSpawnDone = 0;
    int32_t skipLevelFlag = 0;
    float spawnTimer = 0.0f;
    int32_t mission;
    int32_t levelIndex = -1;
    int32_t startPending = 1;
    int32_t gameOverTimer = 0;
    int32_t paused = 0;
    int32_t freezeTimer = 0; // white flash; the world stands still while above 6
    int32_t tipTimer = 0;
    int32_t redFlashTimer = 0;
    float shakePhase = 0.0f;
    int32_t shakeTimer = 0;
    int32_t pickupTimer = 0;
    float gameSpeed;

    // Restarts the objects' identities, seeds the C run-time generator with
    // mission x 50 and picks the first backdrop and tile layer from it. Needs
    // TheApplication's device.
    PlayField(int32_t mission, float gameSpeed);
    ~PlayField() override;

    int32_t Tick() override;
    int32_t Draw() override;
    void KeyDown(int32_t key) override;
    void KeyUp(int32_t key, int32_t character) override;
    void MouseDown(int32_t button) override;
    void MouseUp(int32_t button) override;

    // Frames outside 0..15 draw nothing.
    void DrawExplosionFrame(int32_t frame, float worldX, float worldY, float angle, float scale);

    // Clears the bonus block, replaces mainList, advances the level and makes
    // the ship when there is none.
    void StartLevel();
    // Places one enemy behind the ship; nothing before the first level or without a ship.
    void SpawnEnemy();
    // The image shown over the game-over statistics, from lastLevelIndex.
    Bitmap* GameOverImage();

  private:
    void TickWorld();
    void DrawLayer(Bitmap* bitmap, float parallax, bool glow);
    void DrawEmitters();
    void DrawMeters();
    void DrawTexts();
};

extern PlayField* ThePlayField;
extern PlayerShip* ThePlayer;
extern int32_t enemyAliveFlag;
extern float shakeOffsetX;
