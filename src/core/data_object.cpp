#include "core/data_object.h"

#include <cstring>

DataObject::DataObject(int32_t tag, const char* name) : tag(tag) {
    std::memset(this->name, 0, sizeof(this->name));
    if (name != nullptr) {
        std::strncpy(this->name, name, sizeof(this->name) - 1);
    }
}

DataObject::~DataObject() = default;

int32_t DataObject::IsEqual(DataObject* other) {
    if (other == nullptr || tag != other->tag) {
        return 0;
    }
    if (name[0] == '\0' || other->name[0] == '\0') {
        return 0;
    }
    return std::strcmp(name, other->name) == 0 ? 1 : 0;
}

int32_t DataObject::IsNotEqual(DataObject* other) {
    return IsEqual(other) == 0 ? 1 : 0;
}

int32_t DataObject::ReservedHook1(int32_t) {
    return 0;
}

int32_t DataObject::ReservedHook2(int32_t) {
    return 0;
}

int32_t DataObject::GetTag() const {
    return tag;
}

const char* DataObject::GetName() const {
    return name;
}
