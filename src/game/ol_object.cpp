#include "game/ol_object.h"

#include <cmath>
#include <cstdint>

namespace {

uint32_t objectsMade = 0;

// The murmur3 finaliser: a bijection on 32 bits in which every input bit
// reaches every output bit, and 0 maps to 0.
uint32_t Mix(uint32_t h) {
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

} // namespace

OLObject::OLObject(int32_t tag) : DataObject(tag, "OLObject"), identity(Mix(++objectsMade)) {
    random.SetSeed(1);
    // Seeds that are multiples of the generator's modulus would give zeros for
    // ever; such an identity keeps seed 1.
    const auto identitySeed = static_cast<int32_t>(identity);
    if (identitySeed % 2147483647 != 0)
        random.SetSeed(identitySeed);
}

void OLObject::RestartIdentities() {
    objectsMade = 0;
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
