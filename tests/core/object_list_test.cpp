#include <string>

#include <gtest/gtest.h>

#include "core/data_object.h"
#include "core/object_list.h"

namespace {

// Counts destructions so ownership can be checked.
class Probe : public DataObject {
  public:
    int* deaths;
    Probe(int32_t tag, int* deaths) : DataObject(tag, "PROBE"), deaths(deaths) {}
    ~Probe() override { ++*deaths; }
};

// An override of IsEqual that IsNotEqual must honour.
class AlwaysEqual : public DataObject {
  public:
    AlwaysEqual() : DataObject(0, nullptr) {}
    int32_t IsEqual(DataObject*) override { return 1; }
};

} // namespace

TEST(DataObject, NamesAreCutTo255Characters) {
    const std::string exact(255, 'a');
    DataObject whole(1, exact.c_str());
    EXPECT_EQ(std::string(whole.GetName()), exact);

    const std::string longer(300, 'b');
    DataObject cut(1, longer.c_str());
    EXPECT_EQ(std::string(cut.GetName()), std::string(255, 'b'));
    EXPECT_EQ(cut.name[255], '\0');

    DataObject unnamed(1, nullptr);
    EXPECT_STREQ(unnamed.GetName(), "");
}

TEST(DataObject, EqualityNeedsTagAndNonEmptyName) {
    DataObject a(3, "SOUND");
    DataObject b(3, "SOUND");
    DataObject otherTag(4, "SOUND");
    DataObject otherCase(3, "sound");
    DataObject emptyA(3, "");
    DataObject emptyB(3, nullptr);
    EXPECT_EQ(a.IsEqual(&b), 1);
    EXPECT_EQ(a.IsNotEqual(&b), 0);
    EXPECT_EQ(a.IsEqual(&otherTag), 0);
    EXPECT_EQ(a.IsEqual(&otherCase), 0);
    EXPECT_EQ(emptyA.IsEqual(&emptyB), 0);
    EXPECT_EQ(emptyA.IsNotEqual(&emptyB), 1);

    AlwaysEqual overridden;
    EXPECT_EQ(overridden.IsNotEqual(&a), 0);
}

TEST(ObjectList, EmptyListTraversalStaysOnSentinel) {
    ObjectList list;
    EXPECT_EQ(list.valid, 1);
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.cursor, list.sentinel);
    EXPECT_EQ(list.Last(), nullptr);
    EXPECT_EQ(list.cursor, list.sentinel);
    EXPECT_EQ(list.Next(), nullptr);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.IsEmpty(), 1);
    EXPECT_EQ(list.Remove(nullptr), nullptr);
}

TEST(ObjectList, NextWrapsAroundThroughTheSentinel) {
    int deaths = 0;
    ObjectList list;
    Probe* a = new Probe(1, &deaths);
    Probe* b = new Probe(2, &deaths);
    list.Add(a);
    list.Add(b);
    EXPECT_EQ(list.First(), a);
    EXPECT_EQ(list.Next(), b);
    EXPECT_EQ(list.Next(), nullptr);
    EXPECT_EQ(list.Next(), a);
    EXPECT_EQ(list.Last(), b);
    EXPECT_EQ(list.Prev(), a);
    EXPECT_EQ(list.Prev(), nullptr);
    EXPECT_EQ(list.Prev(), b);
}

TEST(ObjectList, AddRefusesNullAndLeavesCursor) {
    int deaths = 0;
    ObjectList list;
    Probe* a = new Probe(1, &deaths);
    list.Add(a);
    list.First();
    EXPECT_EQ(list.Add(nullptr), nullptr);
    Probe* b = new Probe(2, &deaths);
    EXPECT_EQ(list.Add(b), b);
    EXPECT_EQ(list.cursor->item, a);
    EXPECT_EQ(list.Count(), 2);
}

TEST(ObjectList, FindAndFindByTagPlaceTheCursor) {
    int deaths = 0;
    ObjectList list;
    Probe* a = new Probe(5, &deaths);
    Probe* b = new Probe(6, &deaths);
    Probe* c = new Probe(6, &deaths);
    list.Add(a);
    list.Add(b);
    list.Add(c);
    EXPECT_EQ(list.FindByTag(6), b);
    EXPECT_EQ(list.cursor->item, b);
    EXPECT_EQ(list.FindByTag(9), nullptr);
    EXPECT_EQ(list.cursor, list.sentinel);

    EXPECT_EQ(list.Find(c), c);
    EXPECT_EQ(list.cursor->item, c);
    EXPECT_EQ(list.Find(nullptr), nullptr);
    EXPECT_EQ(list.cursor->item, c);
    Probe outside(5, &deaths);
    EXPECT_EQ(list.Find(&outside), nullptr);
    EXPECT_EQ(list.cursor, list.sentinel);
}

TEST(ObjectList, RemoveHandsBackOwnershipAndReturnsPrevious) {
    int deaths = 0;
    ObjectList list;
    Probe* a = new Probe(1, &deaths);
    Probe* b = new Probe(2, &deaths);
    Probe* c = new Probe(3, &deaths);
    list.Add(a);
    list.Add(b);
    list.Add(c);

    EXPECT_EQ(list.Remove(c), b);
    EXPECT_EQ(list.cursor->item, b);
    EXPECT_EQ(list.Remove(a), nullptr);
    EXPECT_EQ(list.cursor, list.sentinel);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(deaths, 0);

    // Not in the list: nothing changes and the cursor rests on the sentinel.
    EXPECT_EQ(list.Remove(a), nullptr);
    EXPECT_EQ(list.cursor, list.sentinel);
    EXPECT_EQ(list.Count(), 1);
    // Remove(null) with the cursor on the sentinel removes nothing.
    EXPECT_EQ(list.Remove(nullptr), nullptr);
    EXPECT_EQ(list.Count(), 1);
    delete a;
    delete c;
    EXPECT_EQ(deaths, 2);
}

TEST(ObjectList, RemoveDuringForwardWalkSkipsNothing) {
    int deaths = 0;
    ObjectList list;
    for (int32_t tag = 0; tag < 6; ++tag) {
        list.Add(new Probe(tag, &deaths));
    }
    std::string visited;
    for (DataObject* p = list.First(); p != nullptr; p = list.Next()) {
        visited += std::to_string(p->tag);
        if (p->tag % 2 == 0) {
            list.Remove(p);
            delete p;
        }
    }
    EXPECT_EQ(visited, "012345");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(deaths, 3);
}

TEST(ObjectList, AddDuringForwardWalkIsVisitedInTheSameWalk) {
    int deaths = 0;
    ObjectList list;
    list.Add(new Probe(0, &deaths));
    std::string visited;
    for (DataObject* p = list.First(); p != nullptr; p = list.Next()) {
        visited += std::to_string(p->tag);
        if (p->tag < 3) {
            list.Add(new Probe(p->tag + 1, &deaths));
        }
    }
    EXPECT_EQ(visited, "0123");
}

TEST(ObjectList, DestructorDeletesRemainingItems) {
    int deaths = 0;
    {
        ObjectList list;
        list.Add(new Probe(1, &deaths));
        list.Add(new Probe(2, &deaths));
    }
    EXPECT_EQ(deaths, 2);
    {
        ObjectStack stack;
        stack.Push(new Probe(1, &deaths));
    }
    EXPECT_EQ(deaths, 3);
}

TEST(ObjectStack, PopReturnsTopAndLeavesCursorOnNewTop) {
    int deaths = 0;
    ObjectStack stack;
    EXPECT_EQ(stack.Pop(), nullptr);

    Probe* bottom = new Probe(1, &deaths);
    Probe* top = new Probe(2, &deaths);
    stack.Push(bottom);
    stack.Push(top);
    EXPECT_EQ(stack.Last(), top);
    EXPECT_EQ(stack.Pop(), top);
    EXPECT_EQ(stack.cursor->item, bottom);
    EXPECT_EQ(stack.Pop(), bottom);
    EXPECT_EQ(stack.cursor, stack.sentinel);
    EXPECT_EQ(stack.IsEmpty(), 1);
    EXPECT_EQ(stack.Pop(), nullptr);
    delete top;
    delete bottom;
    EXPECT_EQ(deaths, 2);
}
