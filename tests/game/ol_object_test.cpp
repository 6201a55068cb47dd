#include <gtest/gtest.h>

#include <vector>

#include "game/ol_object.h"

namespace {

// Records its ticks, draws and deletion; dies at a chosen tick.
class Probe : public OLObject {
  public:
    Probe(std::vector<int>* log, int id, int dieOnTick = -1)
        : OLObject(EffectTag), log(log), id(id), dieOnTick(dieOnTick) {}
    ~Probe() override { log->push_back(-id); }

    void Tick(float) override {
        log->push_back(id);
        if (++ticks == dieOnTick)
            dead = 1;
        if (spawnInto != nullptr) {
            spawnInto->Add(new Probe(log, id * 10));
            spawnInto = nullptr;
        }
        if (walkOwnList != nullptr) {
            for (OLObject* o = walkOwnList->First(); o != nullptr; o = walkOwnList->Next()) {
            }
        }
    }
    void Draw() override { log->push_back(100 + id); }

    std::vector<int>* log;
    int id;
    int dieOnTick;
    int ticks = 0;
    OLObjectList* spawnInto = nullptr;
    OLObjectList* walkOwnList = nullptr;
};

} // namespace

TEST(OLObject, StartsAtRestWithItsOwnRandomSequence) {
    OLObject a(EnemyTag);
    OLObject b(EnemyTag);
    EXPECT_STREQ(a.GetName(), "OLObject");
    EXPECT_EQ(a.GetTag(), EnemyTag);
    EXPECT_EQ(a.dead, 0);
    EXPECT_EQ(a.heading, 0.0f);
    EXPECT_NE(a.random.seed, b.random.seed);
    EXPECT_NE(a.random.seed, 0);
    EXPECT_EQ(a.HitTest(0.0f, 0.0f), 0);
}

TEST(OLObject, RandomHelpersStayInRange) {
    OLObject a(ShipTag);
    OLObject b(ShipTag);
    b.random.seed = a.random.seed;
    for (int i = 0; i < 1000; ++i) {
        const float forward = a.RandomRange(-20.0f, 20.0f);
        const float backward = b.RandomRange(20.0f, -20.0f);
        // The same draw lands on the same point whichever way round the bounds are given.
        EXPECT_EQ(forward, backward);
        EXPECT_GE(forward, -20.0f);
        EXPECT_LE(forward, 20.0f);
    }
    for (int i = 0; i < 1000; ++i) {
        const int32_t value = a.RandomInt();
        EXPECT_GE(value, 0);
        EXPECT_LE(value, 99999);
    }
}

TEST(OLObjectList, TickAllDeletesDeadObjectsInTheSameCall) {
    std::vector<int> log;
    OLObjectList list;
    list.Add(new Probe(&log, 1));
    auto* dying = new Probe(&log, 2, 1);
    list.Add(dying);
    list.Add(new Probe(&log, 3));
    list.TickAll(1.0f);
    EXPECT_EQ(log, (std::vector<int>{1, 2, -2, 3}));
    log.clear();
    list.DrawAll();
    EXPECT_EQ(log, (std::vector<int>{101, 103}));
}

TEST(OLObjectList, ObjectMarkedDeadBySomeoneElseGoesAfterItsNextTick) {
    std::vector<int> log;
    OLObjectList list;
    auto* first = new Probe(&log, 1);
    list.Add(first);
    list.Add(new Probe(&log, 2));
    first->dead = 1;
    list.TickAll(1.0f);
    EXPECT_EQ(log, (std::vector<int>{1, -1, 2}));
    EXPECT_EQ(list.list.Count(), 1);
}

TEST(OLObjectList, ObjectsAddedDuringTheWalkAreTickedInIt) {
    std::vector<int> log;
    OLObjectList list;
    auto* parent = new Probe(&log, 1);
    parent->spawnInto = &list;
    list.Add(parent);
    list.Add(new Probe(&log, 2));
    list.TickAll(1.0f);
    EXPECT_EQ(log, (std::vector<int>{1, 2, 10}));
}

TEST(OLObjectList, TickThatWalksItsOwnListSkipsNothing) {
    std::vector<int> log;
    OLObjectList list;
    list.Add(new Probe(&log, 1));
    auto* walker = new Probe(&log, 2, 1);
    walker->walkOwnList = &list;
    list.Add(walker);
    list.Add(new Probe(&log, 3));
    list.TickAll(1.0f);
    EXPECT_EQ(log, (std::vector<int>{1, 2, -2, 3}));
}

TEST(OLObjectList, DestructionDeletesEveryRemainingObject) {
    std::vector<int> log;
    {
        OLObjectList list;
        list.Add(new Probe(&log, 1));
        auto* kept = new Probe(&log, 2);
        list.Add(kept);
        list.Remove(kept);
        delete kept;
        log.clear();
    }
    EXPECT_EQ(log, (std::vector<int>{-1}));
}
