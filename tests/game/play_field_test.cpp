#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "engine/bitmap.h"
#include "field_scene.h"
#include "game/enemy.h"
#include "game/play_field.h"
#include "game/player_ship.h"
#include "platform/image/png_writer.h"
#include "platform/os/crt_rand.h"

namespace {

constexpr int32_t F4 = 0x73;

} // namespace

class PlayFieldTest : public FieldScene {
  protected:
    PlayField* Make(int32_t mission, float speed) {
        field.reset();
        field = std::make_unique<PlayField>(mission, speed);
        ThePlayField = field.get();
        return field.get();
    }

    // The first tick, then a ship that no enemy can destroy.
    void StartPlaying() {
        field->Tick();
        ASSERT_NE(ThePlayer, nullptr);
        ThePlayer->hitPoints = 1e9f;
        ThePlayer->maxHitPoints = 1e9f;
    }

    // Ticks until the field has spawned `count` more enemies in this level;
    // the tick numbers (1-based from the call) at which each came.
    std::vector<int32_t> TicksOfSpawns(int32_t count, int32_t limit) {
        std::vector<int32_t> ticks;
        int32_t seen = field->spawnedThisLevel;
        for (int32_t tick = 1; tick <= limit && static_cast<int32_t>(ticks.size()) < count; ++tick) {
            field->Tick();
            if (field->spawnedThisLevel != seen) {
                seen = field->spawnedThisLevel;
                ticks.push_back(tick);
            }
        }
        return ticks;
    }

    // The field drawn into a frame cleared to black.
    std::vector<uint32_t> DrawnField() {
        BeginFrame(0);
        field->Draw();
        return EndFrame();
    }

    static int32_t LitPixels(const std::vector<uint32_t>& pixels) {
        int32_t lit = 0;
        for (uint32_t pixel : pixels)
            lit += (pixel & 0xFFFFFFu) != 0u ? 1 : 0;
        return lit;
    }

    // Deletes every enemy in mainList, leaving the ship.
    void ClearEnemies() {
        std::vector<OLObject*> enemies;
        for (OLObject* object = field->mainList->First(); object; object = field->mainList->Next())
            if (object != ThePlayer)
                enemies.push_back(object);
        for (OLObject* enemy : enemies) {
            field->mainList->Remove(enemy);
            delete enemy;
        }
    }

    Enemy* LastEnemy() {
        Enemy* last = nullptr;
        for (OLObject* object = field->mainList->First(); object; object = field->mainList->Next())
            if (object != ThePlayer)
                last = static_cast<Enemy*>(object);
        return last;
    }

    void TearDown() override {
        field.reset();
        ThePlayField = nullptr;
        FieldScene::TearDown();
    }

    std::unique_ptr<PlayField> field;
};

TEST_F(PlayFieldTest, FirstTickCountsOneGameAndStartsLevelOne) {
    TheProgress.gamesPlayed = 4;
    TheProgress.lastScore = 9;
    TheProgress.BonusFlags[2] = 1;
    TheProgress.killHeat = 3.0f;
    Make(2, 1.0f);
    EXPECT_EQ(TheProgress.lastMission, 2);
    EXPECT_EQ(TheProgress.lastScore, 0);
    EXPECT_EQ(field->levelIndex, -1);
    EXPECT_EQ(ThePlayer, nullptr);
    field->Tick();
    field->Tick();
    EXPECT_EQ(TheProgress.gamesPlayed, 5);
    EXPECT_EQ(field->startPending, 0);
    EXPECT_EQ(field->levelIndex, 0);
    EXPECT_EQ(TheProgress.lastLevelIndex, 0);
    EXPECT_EQ(TheProgress.BonusFlags[2], 0);
    EXPECT_EQ(TheProgress.killHeat, 0.0f);
    EXPECT_EQ(field->transitionTimer, -1);
    ASSERT_NE(ThePlayer, nullptr);
    EXPECT_EQ(field->mainList->Find(ThePlayer), ThePlayer);
    EXPECT_EQ(field->tickCount, 2);

    // Each field counts its objects afresh, so what ran before does not
    // change its objects' random sequences.
    const uint32_t ship = ThePlayer->identity;
    { OLObject stray(EffectTag); }
    Make(2, 1.0f);
    field->Tick();
    ASSERT_NE(ThePlayer, nullptr);
    EXPECT_EQ(ThePlayer->identity, ship);
}

TEST_F(PlayFieldTest, EnemiesComeWhenTheSpawnTimerPasses150) {
    for (const auto& [speed, gap] : {std::pair{1.0f, 151}, std::pair{0.25f, 601}, std::pair{1.75f, 86}}) {
        Make(0, speed);
        StartPlaying();
        // The first tick already added one step.
        const std::vector<int32_t> ticks = TicksOfSpawns(2, 2000);
        ASSERT_EQ(ticks.size(), 2u) << speed;
        EXPECT_EQ(ticks[0], gap - 1) << speed;
        EXPECT_EQ(ticks[1] - ticks[0], gap) << speed;
    }
}

TEST_F(PlayFieldTest, NineSpawnsThenTheLevelEndsWhenNoEnemyIsAlive) {
    Make(0, 1.75f);
    StartPlaying();
    PlayerShip* ship = ThePlayer;
    const std::vector<int32_t> ticks = TicksOfSpawns(10, 86 * 12);
    EXPECT_EQ(ticks.size(), 9u);
    EXPECT_EQ(field->spawnedThisLevel, 9);
    EXPECT_EQ(field->levelSpawnDone, 1);
    EXPECT_EQ(field->levelIndex, 0);

    ClearEnemies();
    field->Tick();
    EXPECT_EQ(field->levelIndex, 1);
    EXPECT_EQ(TheProgress.lastLevelIndex, 1);
    EXPECT_EQ(field->spawnedThisLevel, 0);
    EXPECT_EQ(field->levelSpawnDone, 0);
    EXPECT_EQ(field->transitionTimer, 0);
    // The same ship carries over into the new main list.
    EXPECT_EQ(ThePlayer, ship);
    EXPECT_EQ(field->mainList->Find(ship), ship);
}

TEST_F(PlayFieldTest, SpawnedEnemiesComeFromBehindWithTheirTypeRange) {
    Make(0, 1.0f);
    StartPlaying();
    field->levelIndex = 3;
    ThePlayer->heading = 1.0f;
    for (int32_t spawn = 0; spawn < 20; ++spawn) {
        field->SpawnEnemy();
        const Enemy* enemy = LastEnemy();
        ASSERT_NE(enemy, nullptr);
        EXPECT_GE(enemy->type, 6);
        EXPECT_LE(enemy->type, 10);
        const float dx = enemy->x - ThePlayer->x;
        const float dy = enemy->y - ThePlayer->y;
        EXPECT_NEAR(std::hypot(dx, dy), 400.0f, 0.01f);
        // Within level index 3's spread of 0.8 rad around straight back,
        // the opposite of the way (sin h, -cos h) the ship flies.
        const float back = (-dx * std::sin(1.0f) + dy * std::cos(1.0f)) / 400.0f;
        EXPECT_GE(back, std::cos(0.8f) - 1e-4f) << spawn;
    }
    EXPECT_EQ(field->spawnTimer, 0.0f);
    const Enemy* last = LastEnemy();
    field->levelIndex = 60;
    field->SpawnEnemy();
    ASSERT_NE(LastEnemy(), last);
    EXPECT_EQ(LastEnemy()->type, 95);
}

TEST_F(PlayFieldTest, ReleasingF4EndsTheLevelOnceNoEnemyIsAlive) {
    Make(0, 1.0f);
    StartPlaying();
    field->KeyDown(F4);
    EXPECT_EQ(field->levelSpawnDone, 0);
    field->KeyUp(F4, 0);
    EXPECT_EQ(field->skipLevelFlag, 1);
    EXPECT_EQ(field->levelSpawnDone, 1);
    field->Tick();
    EXPECT_EQ(field->levelIndex, 1);
    EXPECT_EQ(field->skipLevelFlag, 0);
    EXPECT_EQ(field->spawnedThisLevel, 0);
}

TEST_F(PlayFieldTest, MouseButtonsAndThePauseCharacter) {
    Make(0, 1.0f);
    field->MouseDown(0);
    EXPECT_EQ(field->fireHeld, 1);
    EXPECT_EQ(field->leftMouseHeld, 1);
    field->MouseDown(1);
    EXPECT_EQ(field->rightMouseHeld, 1);
    field->MouseUp(0);
    field->MouseUp(1);
    EXPECT_EQ(field->fireHeld + field->leftMouseHeld + field->rightMouseHeld, 0);
    // Only the character event toggles the pause, and only with "p".
    field->KeyUp(0x50, 'p');
    EXPECT_EQ(field->paused, 0);
    field->KeyUp(0, 'p');
    EXPECT_EQ(field->paused, 1);
    field->Tick();
    EXPECT_EQ(field->tickCount, 0);
    field->KeyUp(0, 'q');
    field->KeyUp(0, 'p');
    field->Tick();
    EXPECT_EQ(field->tickCount, 1);
}

TEST_F(PlayFieldTest, FreezeStopsTheWorldAboveSixAndShakeDecays) {
    Make(0, 1.0f);
    StartPlaying();
    field->freezeTimer = 8;
    field->Tick();
    EXPECT_EQ(field->freezeTimer, 7);
    EXPECT_EQ(field->tickCount, 1);
    field->Tick();
    EXPECT_EQ(field->freezeTimer, 6);
    EXPECT_EQ(field->tickCount, 2);
    field->shakeTimer = 2;
    field->Tick();
    EXPECT_FLOAT_EQ(shakeOffsetX, std::cos(1.5f) / 12.0f);
    field->Tick();
    field->Tick();
    EXPECT_EQ(shakeOffsetX, 0.0f);
    EXPECT_EQ(field->shakeTimer, 0);
}

TEST_F(PlayFieldTest, MissionFourOpensOnTheRedGalaxyWithoutTiles) {
    Make(4, 1.0f);
    EXPECT_EQ(field->backdropIndex, 6);
    EXPECT_EQ(field->tileIndex, -1);
    // The choice follows the C run-time sequence seeded with mission x 50.
    for (int32_t mission : {0, 1, 7, 9}) {
        Make(mission, 1.0f);
        crt::srand(static_cast<uint32_t>(mission * 50));
        const int32_t backdrop = crt::rand() % 9 - 1;
        EXPECT_EQ(field->backdropIndex, backdrop) << mission;
        EXPECT_EQ(field->tileIndex, crt::rand() % 10 - 1) << mission;
    }
}

TEST_F(PlayFieldTest, GameOverImageFollowsTheLevelReached) {
    Make(0, 1.0f);
    Bitmap* const over = field->missionOverBitmap.get();
    Bitmap* const complete = field->missionCompleteBitmap.get();
    Bitmap* const excelled = field->missionExcelledBitmap.get();
    // Mission 3 completes from "Level 10" and excels from "Level 13", the levels the results count.
    TheProgress.lastMission = 3;
    for (const auto& [levelIndex, image] : {std::pair{8, over}, {9, complete}, {11, complete}, {12, excelled}}) {
        TheProgress.lastLevelIndex = levelIndex;
        EXPECT_EQ(field->GameOverImage(), image) << levelIndex;
    }
    TheProgress.lastMission = 0;
    TheProgress.lastLevelIndex = 5;
    EXPECT_EQ(field->GameOverImage(), over);
}

TEST_F(PlayFieldTest, LosingTheShipEndsTheMissionAndBringsNoNewShip) {
    TheOptions.soundOn = 0;
    Make(0, 1.0f);
    StartPlaying();
    field->KeyUp(F4, 0);
    PlayerShip* ship = ThePlayer;
    field->mainList->Remove(ship);
    delete ship;
    ASSERT_EQ(ThePlayer, nullptr);
    const int32_t ticksBefore = TheProgress.missionTicks;
    field->Tick();
    EXPECT_EQ(field->gameOverTimer, 1);
    EXPECT_EQ(field->levelIndex, 0);
    EXPECT_EQ(ThePlayer, nullptr);
    int32_t ticks = 1;
    while (!field->finished && ticks < 500) {
        field->Tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 141);
    EXPECT_EQ(ThePlayer, nullptr);
    EXPECT_EQ(TheProgress.missionTicks, ticksBefore + 1);
    const int32_t count = field->tickCount;
    field->Tick();
    EXPECT_EQ(field->tickCount, count);
}

TEST_F(PlayFieldTest, HardDifficultyDrawsNoMeters) {
    for (int32_t difficulty : {1, 2}) {
        TheOptions.difficulty = difficulty;
        Make(0, 1.0f);
        StartPlaying();
        field->backdropIndex = -1;
        field->tileIndex = -1;
        const std::vector<uint32_t> pixels = DrawnField();
        const bool meters = At(pixels, 130, 35) != 0u && At(pixels, Width - 60, 35) != 0u;
        EXPECT_EQ(meters, difficulty != 2) << difficulty;
        // The score is drawn on every difficulty.
        bool score = false;
        for (int y = 2; y < 40; ++y)
            for (int x = 300; x < 500; ++x)
                score = score || At(pixels, x, y) != 0u;
        EXPECT_TRUE(score) << difficulty;
    }
}

TEST_F(PlayFieldTest, VeilPeaksHalfwayAndFlashesCoverTheScreen) {
    Make(0, 1.0f);
    StartPlaying();
    field->backdropIndex = -1;
    field->tileIndex = -1;
    auto sample = [&]() { return At(DrawnField(), 50, 300); };
    field->transitionTimer = 0;
    EXPECT_EQ(sample(), 0u);
    field->transitionTimer = 20;
    EXPECT_EQ(sample(), 0x55557Fu);
    field->transitionTimer = 40;
    EXPECT_EQ(sample(), 0u);
    field->transitionTimer = -1;
    field->freezeTimer = 30;
    EXPECT_EQ(sample(), 0xFFFFFFu);
    field->freezeTimer = 0;
    field->redFlashTimer = 40;
    EXPECT_EQ(sample(), 0xFF0000u);
}

TEST_F(PlayFieldTest, MeterBarsStayInsideTheirFrames) {
    Make(0, 1.0f);
    StartPlaying();
    field->backdropIndex = -1;
    field->tileIndex = -1;
    ThePlayer->maxHitPoints = 10.0f;
    ThePlayer->hitPoints = 30.0f;
    ThePlayer->boost = 2.0f;
    std::vector<uint32_t> pixels = DrawnField();
    EXPECT_EQ(At(pixels, 280, 35), 0u);
    EXPECT_EQ(At(pixels, Width - 280, 35), 0u);
    ThePlayer->maxHitPoints = 0.0f;
    pixels = DrawnField();
    const uint32_t grey = At(pixels, 130, 35);
    EXPECT_EQ((grey >> 8) & 0xFF, grey & 0xFF);
}

TEST_F(PlayFieldTest, SpawningNeedsALevelAndAShip) {
    Make(0, 1.0f);
    field->SpawnEnemy();
    EXPECT_EQ(field->spawnedThisLevel, 0);
}

TEST_F(PlayFieldTest, ExplosionFramesOutsideTheSixteenDrawNothing) {
    if (!haveArt)
        GTEST_SKIP() << "needs the built dat folder";
    Make(0, 1.0f);
    auto centre = [&](int32_t frame) {
        BeginFrame(0);
        field->DrawExplosionFrame(frame, 0.0f, 0.0f, 0.0f, 1.0f);
        return LitPixels(EndFrame());
    };
    EXPECT_GT(centre(8), 0);
    EXPECT_EQ(centre(16), 0);
    EXPECT_EQ(centre(-1), 0);
}

TEST_F(PlayFieldTest, RunningFieldShowsBackdropTilesVeilAndHud) {
    if (!haveArt)
        GTEST_SKIP() << "needs the built dat folder";
    Make(4, 1.0f);
    StartPlaying();
    ASSERT_GE(field->backdropIndex, 0);
    TheProgress.lastScore = 1234;
    field->tileIndex = 3;
    field->transitionTimer = 12;
    field->tipTimer = 0;
    const std::vector<uint32_t> pixels = DrawnField();
    platform::WritePng(std::string(BACKFIRE_BUILD_DIR) + "/play_field_running.png", pixels.data(), Width,
                       Height);
    EXPECT_GT(LitPixels(pixels), static_cast<int32_t>(Width * Height / 2));
    for (int32_t* layer : {&field->backdropIndex, &field->tileIndex, &field->transitionTimer}) {
        const int32_t shown = std::exchange(*layer, -1);
        EXPECT_NE(DrawnField(), pixels) << "a layer left the picture as it was";
        *layer = shown;
    }

    // HUD texts hang from the top of their boxes: the rows a text changes
    // start at the box's top and leave far more of the box free below.
    const auto expectHangsFrom = [&](int32_t top, int32_t bottom, const char* what) {
        const std::vector<uint32_t> changed = DrawnField();
        int32_t first = -1;
        int32_t last = -1;
        for (int32_t y = 0; y < static_cast<int32_t>(Height); ++y)
            for (int32_t x = 0; x < static_cast<int32_t>(Width); ++x)
                if (At(changed, x, y) != At(pixels, x, y)) {
                    first = first < 0 ? y : first;
                    last = y;
                }
        EXPECT_GE(first, top) << what;
        EXPECT_LT(2 * (first - top), bottom - last) << what << " rows " << first << "-" << last;
    };
    TheProgress.lastScore = 5678;
    expectHangsFrom(2, 40, "score");
    TheProgress.lastScore = 1234;
    field->levelIndex += 1;
    expectHangsFrom(40, 80, "level");
    field->levelIndex -= 1;
    field->tipTimer = 100;
    expectHangsFrom(80, 200, "tip");
}

TEST_F(PlayFieldTest, PauseHoldsTheWorldWhileADyingEnemysRaysKeepTurning) {
    if (!haveArt)
        GTEST_SKIP() << "needs the built dat folder";
    TheOptions.soundOn = 0;
    Make(0, 1.0f);
    StartPlaying();
    ClearEnemies();
    field->SpawnEnemy();
    Enemy* dying = LastEnemy();
    ASSERT_NE(dying, nullptr);
    dying->x = ThePlayer->x + 150.0f;
    dying->y = ThePlayer->y;
    field->SpawnEnemy();
    ThePlayer->Fire(HammerheadMissile);
    ThePlayer->Fire(HammerheadMissile);
    field->Tick();
    dying->Die();
    field->Tick();
    // A pass of the game loop: a tick, then the frame drawn.
    const auto pass = [&] {
        field->Tick();
        DrawnField();
    };
    pass();
    // Where everything is, with the shots in flight.
    const auto world = [&] {
        std::vector<float> places;
        for (OLObjectList* list : {field->list1.get(), field->mainList.get(), field->list3.get()})
            for (OLObject* object = list->First(); object; object = list->Next())
                places.insert(places.end(), {object->x, object->y, object->heading});
        return places;
    };
    ASSERT_GE(world().size(), 4u * 3u) << "the ship, two enemies and shots";

    field->KeyUp(0, 'p');
    const std::vector<float> before = world();
    const int32_t deathTimer = dying->deathTimer;
    const float angle = dying->rays->rayAngle[0];
    // Shots and missiles flicker at every draw, so the stillness is checked
    // on the objects; the rays turn by their spin once per drawn frame.
    pass();
    pass();
    EXPECT_EQ(world(), before);
    EXPECT_EQ(dying->deathTimer, deathTimer);
    EXPECT_FLOAT_EQ(dying->rays->rayAngle[0], angle + 2.0f * dying->rays->raySpin[0]);
}
