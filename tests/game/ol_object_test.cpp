#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/ol_object.h"

namespace {

// Logs its id when ticked and -id when deleted; can die, spawn into or walk a list.
class Probe : public OLObject {
  public:
    Probe(std::vector<int>* log, int id) : OLObject(EffectTag), log(log), id(id) {}
    ~Probe() override { log->push_back(-id); }

    void Tick(float) override {
        log->push_back(id);
        dead = dieOnTick ? 1 : dead;
        if (spawnInto != nullptr)
            spawnInto->Add(new Probe(log, id * 10));
        spawnInto = nullptr;
        for (OLObject* o = walk ? walk->First() : nullptr; o != nullptr; o = walk->Next()) {
        }
    }
    void Draw() override { log->push_back(100 + id); }

    std::vector<int>* log;
    int id;
    bool dieOnTick = false;
    OLObjectList* spawnInto = nullptr;
    OLObjectList* walk = nullptr;
};

} // namespace

TEST(OLObject, RandomRangeCoversTheSameIntervalEitherWay) {
    OLObject a(ShipTag);
    OLObject b(ShipTag);
    EXPECT_NE(a.random.seed, b.random.seed);
    b.random.seed = a.random.seed;
    for (int i = 0; i < 1000; ++i) {
        const float forward = a.RandomRange(-20.0f, 20.0f);
        EXPECT_EQ(forward, b.RandomRange(20.0f, -20.0f));
        EXPECT_GE(forward, -20.0f);
        EXPECT_LE(forward, 20.0f);
        const int32_t value = a.RandomInt();
        EXPECT_EQ(value, b.RandomInt());
        EXPECT_GE(value, 0);
        EXPECT_LE(value, 99999);
    }
}

TEST(OLObject, NeighboursDrawUnrelatedSequencesThatARestartRepeats) {
    // Each object lives where the one before it lived.
    auto firstDraws = [] {
        OLObject::RestartIdentities();
        std::vector<float> draws;
        for (int i = 0; i < 64; ++i) {
            OLObject object(EffectTag);
            EXPECT_NE(object.identity, 0u);
            draws.push_back(object.RandomRange(0.0f, 1.0f));
        }
        return draws;
    };
    const std::vector<float> draws = firstDraws();
    { OLObject between(EffectTag); }
    EXPECT_EQ(firstDraws(), draws);
    // Seeds one apart would start their sequences 8e-6 apart.
    int close = 0;
    for (size_t i = 1; i < draws.size(); ++i)
        close += std::fabs(draws[i] - draws[i - 1]) < 0.01f ? 1 : 0;
    EXPECT_LE(close, 3);
}

TEST(OLObjectList, TickAllDeletesTheDeadRightAfterTheirTick) {
    std::vector<int> log;
    OLObjectList list;
    auto* markedBefore = new Probe(&log, 1);
    markedBefore->dead = 1; // set by someone else: goes after its next Tick
    list.Add(markedBefore);
    auto* dying = new Probe(&log, 2);
    dying->dieOnTick = true;
    list.Add(dying);
    list.Add(new Probe(&log, 3));
    list.TickAll(1.0f);
    EXPECT_EQ(log, (std::vector<int>{1, -1, 2, -2, 3}));
    log.clear();
    list.DrawAll();
    EXPECT_EQ(log, (std::vector<int>{103}));
}

TEST(OLObjectList, WalkTicksNewcomersAndSurvivesTicksThatWalkTheList) {
    std::vector<int> log;
    OLObjectList list;
    auto* parent = new Probe(&log, 1);
    parent->spawnInto = &list;
    list.Add(parent);
    auto* walker = new Probe(&log, 2);
    walker->walk = &list;
    walker->dieOnTick = true;
    list.Add(walker);
    list.Add(new Probe(&log, 3));
    list.TickAll(1.0f);
    EXPECT_EQ(log, (std::vector<int>{1, 2, -2, 3, 10}));
}
