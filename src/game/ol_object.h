// The base of everything that moves or is drawn on the play field, and the
// owning list that ticks, draws and deletes such objects.
//
// World units are pixels at zoom 1.0, x to the right, y down. A heading is in
// radians, 0 pointing up and growing clockwise, so heading h and speed s move
// an object by (dt * s * sin h, -dt * s * cos h) per tick. Headings are never
// wrapped. Tags: 0 the player ship, 2 enemies, 4 weapons, 6 effects and HUD.
#pragma once

#include <cstdint>

#include "core/data_object.h"
#include "core/object_list.h"
#include "core/random_generator.h"

constexpr int32_t ShipTag = 0;
constexpr int32_t EnemyTag = 2;
constexpr int32_t WeaponTag = 4;
constexpr int32_t EffectTag = 6;

class OLObject : public DataObject {
  public:
    float x = 0.0f;
    float y = 0.0f;
    float vx = 0.0f; // per unit dt; only shrapnel moves by these
    float vy = 0.0f;
    float speed = 0.0f; // distance per unit dt along heading
    float heading = 0.0f;
    RandomGenerator random; // seeded from identity: each object draws its own sequence
    int32_t dead = 0;       // 1 = finished; the owning list deletes it right after its Tick
    // How many objects were made since the count last restarted, this one
    // included, mixed so that neighbours differ in every bit. It depends only
    // on the run, never on where the object lives; it is never 0 and
    // distinct among the objects of one play field.
    uint32_t identity;

    explicit OLObject(int32_t tag);
    ~OLObject() override;

    // The next object made is counted as the first again. The play field
    // calls it before it makes anything, so every mission's objects draw the
    // same sequences whatever ran before.
    static void RestartIdentities();

    virtual void Draw();
    virtual void Tick(float dt);
    // Nonzero when the world point hits the object; the base is never hit.
    virtual int32_t HitTest(float px, float py);

    // 0..99999.
    int32_t RandomInt();
    // Uniform between a and b, in either order.
    float RandomRange(float a, float b);
};

// Owns its objects: dead ones are deleted right after their Tick, the rest
// with the list.
class OLObjectList {
  public:
    ObjectList list;

    OLObjectList();
    virtual ~OLObjectList();

    OLObjectList(const OLObjectList&) = delete;
    OLObjectList& operator=(const OLObjectList&) = delete;

    // Ticks every object in order, including those added during the walk, and
    // deletes each one that is dead after its Tick.
    virtual void TickAll(float dt);
    virtual void DrawAll();
    virtual OLObject* First();
    virtual OLObject* Next();
    // Leaves the cursor on the object's node; null when it is not held.
    virtual OLObject* Find(OLObject* object);
    // Appends at the tail and takes ownership; null (the caller keeps it) on failure.
    virtual OLObject* Add(OLObject* object);
    // Unlinks without deleting (ownership goes back to the caller) and leaves
    // the cursor on the previous object, which is returned (null when the
    // removed object was first or not held).
    virtual OLObject* Remove(OLObject* object);

  private:
    bool KeepCursorOn(OLObject* object);
};
