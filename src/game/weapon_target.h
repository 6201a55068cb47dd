// How weapons reach what they hit: the player ship and the enemies in the
// play field's mainList, told apart by tag and checked by type, so an object
// of any other class with a target tag is simply not a target.
#pragma once

#include <cstdint>

#include "game/ol_object.h"

// Nonzero when the object is a live target of the given tag (0 ship, 2 enemy)
// whose box overlaps the rectangle.
int32_t TargetOverlapsRect(OLObject* target, int32_t left, int32_t top, int32_t right, int32_t bottom);
// Calls the ship's or the enemy's TakeDamage; other objects are not hurt.
void DamageTarget(OLObject* target, float amount);
// The ship's or the enemy's hit points; 0 for anything else.
float TargetHitPoints(OLObject* target);
