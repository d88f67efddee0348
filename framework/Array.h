#pragma once
// CArray: a growable array of pointers, reallocated to the exact count at
// every insertion and removal. For the user-interface side's short lists;
// the audio path never changes one.

#include <cstdint>

#include "framework/Packing.h"

CORVANE_PACK_BEGIN

class CArray {
public:
    CArray() : items(nullptr), count(0) {}
    ~CArray();
    CArray(const CArray&) = delete;
    CArray& operator=(const CArray&) = delete;

    void AddItem(void* item);
    /// Inserts before index; an index past the end appends.
    void InsertItem(int index, void* item);
    /// Throws "CArray::RemoveItem - Index Out Of Bounds (%i)".
    void RemoveItem(int index);
    /// Removes the first occurrence; false when absent.
    bool Remove(void* item);
    int IndexOf(const void* item) const;
    void* GetItem(int index) const { return index >= 0 && index < count ? items[index] : nullptr; }
    int GetCount() const { return count; }
    void Clear();

    void** items;
    std::int32_t count;

private:
    void Reallocate(int newCount);
};

CORVANE_PACK_END
