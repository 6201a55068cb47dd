// A play field for the combat tests: default options, a clear bonus block,
// the camera at the origin, an 800 x 600 field screen and the object lists in
// place, with no application or device. Without an application the camera's
// world point maps to screen point (0, 0), and art and sounds load as
// nothing, so hit boxes shrink to the objects' centre points.
#pragma once

#include <memory>

#include "game/motion.h"
#include "game/ol_object.h"
#include "game/play_field.h"
#include "platform/os/crt_rand.h"
#include "shell/game_state.h"

class CombatField {
  public:
    PlayField field{0, 1.0f};

    CombatField() {
        SetDefaultOptions();
        TheOptions.soundOn = 0;
        ClearProgress();
        crt::srand(7);
        ThePlayField = &field;
        field.screenWidth = 800;
        field.screenHeight = 600;
        for (std::unique_ptr<OLObjectList>* list :
             {&field.list1, &field.mainList, &field.list3, &field.list4, &field.list5}) {
            if (!*list)
                *list = std::make_unique<OLObjectList>();
        }
        camX = 0.0f;
        camY = 0.0f;
        zoom = 1.0f;
        shakeOffsetX = 0.0f;
        enemyAliveFlag = 0;
    }
    ~CombatField() { ThePlayField = nullptr; }

    CombatField(const CombatField&) = delete;
    CombatField& operator=(const CombatField&) = delete;

    // Objects of class T in the list.
    template <typename T> static int Count(const std::unique_ptr<OLObjectList>& list) {
        int count = 0;
        for (OLObject* object = list->First(); object != nullptr; object = list->Next())
            count += dynamic_cast<T*>(object) != nullptr ? 1 : 0;
        return count;
    }
    template <typename T> static T* FirstOf(const std::unique_ptr<OLObjectList>& list) {
        for (OLObject* object = list->First(); object != nullptr; object = list->Next()) {
            if (auto* found = dynamic_cast<T*>(object))
                return found;
        }
        return nullptr;
    }
};
