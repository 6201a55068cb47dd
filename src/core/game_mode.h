#pragma once

#include <cstdint>

#include "core/data_object.h"

// Base of every game mode. A mode asks the main loop for a change only by
// setting `status` together with the global NextMode inside its Tick:
// 1 pushes NextMode on top of this mode; 2 pops this mode and pushes NextMode
// when it is not null; any other value keeps the mode running.
class GameMode : public DataObject {
  public:
    int32_t status;

    GameMode(int32_t tag, const char* name);
    ~GameMode() override;

    // Never called by the loop.
    virtual int32_t ReservedModeHook1();
    // Called each time the mode becomes the top of the stack.
    virtual int32_t Enter();
    // Called each time the mode stops being the top of the stack.
    virtual int32_t Exit();
    // Never called by the loop.
    virtual void ReservedModeHook2();
    // One tick of logic and one drawn frame; the result is ignored.
    virtual int32_t Tick();
};
