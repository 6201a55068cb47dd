#include "core/object_list.h"

#include <new>

#include "core/data_object.h"

ObjectList::ObjectList() : sentinel(new (std::nothrow) ObjectListNode), cursor(sentinel), valid(0) {
    if (sentinel != nullptr) {
        sentinel->prev = sentinel;
        sentinel->next = sentinel;
        sentinel->item = nullptr;
        valid = 1;
    }
}

ObjectList::~ObjectList() {
    if (valid == 0) {
        return;
    }
    ObjectListNode* node = sentinel->next;
    while (node->item != nullptr) {
        ObjectListNode* next = node->next;
        delete node->item;
        delete node;
        node = next;
    }
    delete sentinel;
}

DataObject* ObjectList::First() {
    if (valid == 0) {
        return nullptr;
    }
    cursor = sentinel->next;
    return cursor->item;
}

DataObject* ObjectList::Last() {
    if (valid == 0) {
        return nullptr;
    }
    cursor = sentinel->prev;
    return cursor->item;
}

DataObject* ObjectList::Next() {
    if (valid == 0) {
        return nullptr;
    }
    cursor = cursor->next;
    return cursor->item;
}

DataObject* ObjectList::Prev() {
    if (valid == 0) {
        return nullptr;
    }
    cursor = cursor->prev;
    return cursor->item;
}

DataObject* ObjectList::Add(DataObject* item) {
    if (valid == 0 || item == nullptr) {
        return nullptr;
    }
    ObjectListNode* node = new (std::nothrow) ObjectListNode;
    if (node == nullptr) {
        return nullptr;
    }
    node->item = item;
    node->prev = sentinel->prev;
    node->next = sentinel;
    sentinel->prev->next = node;
    sentinel->prev = node;
    return item;
}

DataObject* ObjectList::Find(DataObject* item) {
    if (valid == 0 || item == nullptr) {
        return nullptr;
    }
    for (cursor = sentinel->next; cursor->item != nullptr; cursor = cursor->next) {
        if (cursor->item == item) {
            return item;
        }
    }
    return nullptr;
}

DataObject* ObjectList::FindByTag(int32_t tag) {
    if (valid == 0) {
        return nullptr;
    }
    for (cursor = sentinel->next; cursor->item != nullptr; cursor = cursor->next) {
        if (cursor->item->tag == tag) {
            return cursor->item;
        }
    }
    return nullptr;
}

DataObject* ObjectList::Remove(DataObject* item) {
    if (valid == 0) {
        return nullptr;
    }
    if (item != nullptr) {
        Find(item);
    }
    if (cursor == sentinel) {
        return nullptr;
    }
    ObjectListNode* node = cursor;
    node->prev->next = node->next;
    node->next->prev = node->prev;
    cursor = node->prev;
    delete node;
    return cursor->item;
}

int32_t ObjectList::Count() {
    if (valid == 0) {
        return 0;
    }
    int32_t count = 0;
    for (ObjectListNode* node = sentinel->next; node->item != nullptr; node = node->next) {
        ++count;
    }
    return count;
}

int32_t ObjectList::IsEmpty() {
    if (valid == 0) {
        return 1;
    }
    return sentinel->next == sentinel ? 1 : 0;
}

ObjectStack::ObjectStack() = default;

ObjectStack::~ObjectStack() = default;

DataObject* ObjectStack::Push(DataObject* item) {
    return Add(item);
}

DataObject* ObjectStack::Pop() {
    DataObject* top = Last();
    if (top != nullptr) {
        Remove(nullptr);
    }
    return top;
}
