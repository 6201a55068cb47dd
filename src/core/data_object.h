#pragma once

#include <cstdint>

// Root of every engine object that lives in a list: a kind code and a name of
// at most 255 characters. Deleted by owners through the virtual destructor.
class DataObject {
  public:
    int32_t tag;
    char name[256];

    // A null name leaves the name empty; a longer name keeps its first 255 characters.
    DataObject(int32_t tag, const char* name);
    virtual ~DataObject();

    // 1 when the tags match and both names are non-empty and equal byte for byte.
    virtual int32_t IsEqual(DataObject* other);
    // 1 exactly when IsEqual (called virtually) returns 0.
    virtual int32_t IsNotEqual(DataObject* other);
    virtual int32_t ReservedHook1(int32_t value);
    virtual int32_t ReservedHook2(int32_t value);

    int32_t GetTag() const;
    const char* GetName() const;
};
