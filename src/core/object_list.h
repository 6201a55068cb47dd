#pragma once

#include <cstdint>

class DataObject;

struct ObjectListNode {
    ObjectListNode* prev;
    ObjectListNode* next;
    DataObject* item;
};

// Owning circular list of DataObjects with a cursor. The sentinel node's item is
// null, so every traversal stops on a null item. Destroying the list deletes
// every item still held; Remove hands ownership back to the caller.
//
// Walking with `for (p = First(); p; p = Next())` stays correct when the body
// calls Remove(p) (the cursor steps back to the previous node) and when it
// calls Add (new items are appended and visited later in the same walk).
class ObjectList {
  public:
    ObjectListNode* sentinel;
    ObjectListNode* cursor;
    int32_t valid;

    ObjectList();
    virtual ~ObjectList();

    ObjectList(const ObjectList&) = delete;
    ObjectList& operator=(const ObjectList&) = delete;

    DataObject* First();
    DataObject* Last();
    // Circular: past the last item returns null with the cursor on the
    // sentinel; the next call starts again at the first item.
    DataObject* Next();
    DataObject* Prev();
    // Appends at the tail without moving the cursor. Returns null (and the
    // caller keeps ownership) for a null item, an invalid list or no memory.
    DataObject* Add(DataObject* item);
    // By pointer identity. Found: cursor on its node. Not found: cursor on the
    // sentinel. A null item returns null and leaves the cursor alone.
    DataObject* Find(DataObject* item);
    DataObject* FindByTag(int32_t tag);
    // Unlinks `item` (or, for null, the item under the cursor) without deleting
    // it; the cursor moves to the previous node, whose item is returned (null
    // when the removed item was first). Returns null and changes nothing when
    // there is nothing to remove.
    DataObject* Remove(DataObject* item);
    int32_t Count();
    int32_t IsEmpty();
};

// The top of the stack is the list's last item.
class ObjectStack : public ObjectList {
  public:
    ObjectStack();
    ~ObjectStack() override;

    DataObject* Push(DataObject* item);
    // Removes and returns the top item (the caller owns it), or null when empty.
    DataObject* Pop();
};
