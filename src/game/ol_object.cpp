#include "game/ol_object.h"

#include <cmath>
#include <cstdint>

OLObject::OLObject(int32_t tag) : DataObject(tag, "OLObject") {
    random.SetSeed(1);
    // Seeds that are multiples of the generator's modulus would give zeros for
    // ever; such an address keeps seed 1.
    const auto addressSeed = static_cast<int32_t>(reinterpret_cast<uintptr_t>(this));
    if (addressSeed % 2147483647 != 0)
        random.SetSeed(addressSeed);
}

OLObject::~OLObject() = default;

void OLObject::Draw() {}

void OLObject::Tick(float) {}

int32_t OLObject::HitTest(float, float) {
    return 0;
}

int32_t OLObject::RandomInt() {
    return static_cast<int32_t>(random.NextUniform() * 100000.0);
}

float OLObject::RandomRange(float a, float b) {
    const auto u = static_cast<float>(random.NextUniform());
    return std::fmin(a, b) + u * std::fabs(b - a);
}

OLObjectList::OLObjectList() = default;

OLObjectList::~OLObjectList() = default;

// A Tick or Draw that walks this same list moves its cursor; the walk goes on
// from the object it was on, so nothing is skipped or visited twice. False
// when the object is no longer in the list.
bool OLObjectList::KeepCursorOn(OLObject* object) {
    return list.cursor->item == object || list.Find(object) != nullptr;
}

void OLObjectList::TickAll(float dt) {
    for (OLObject* object = First(); object != nullptr; object = Next()) {
        object->Tick(dt);
        // An object that took itself out of the list belongs to someone else
        // now, and the cursor has lost its place: the walk ends there.
        if (!KeepCursorOn(object))
            return;
        if (object->dead != 0) {
            list.Remove(nullptr);
            delete object;
        }
    }
}

void OLObjectList::DrawAll() {
    for (OLObject* object = First(); object != nullptr; object = Next()) {
        object->Draw();
        if (!KeepCursorOn(object))
            return;
    }
}

OLObject* OLObjectList::First() {
    return static_cast<OLObject*>(list.First());
}

OLObject* OLObjectList::Next() {
    return static_cast<OLObject*>(list.Next());
}

OLObject* OLObjectList::Find(OLObject* object) {
    return static_cast<OLObject*>(list.Find(object));
}

OLObject* OLObjectList::Add(OLObject* object) {
    return static_cast<OLObject*>(list.Add(object));
}

OLObject* OLObjectList::Remove(OLObject* object) {
    return static_cast<OLObject*>(list.Remove(object));
}
