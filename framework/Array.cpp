#include "framework/Array.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/Error.h"

CArray::~CArray()
{
    std::free(items);
}

void CArray::Reallocate(int newCount)
{
    if (newCount == 0) {
        std::free(items);
        items = nullptr;
        return;
    }
    void* grown = std::realloc(items, sizeof(void*) * static_cast<std::size_t>(newCount));
    if (grown == nullptr)
        throw std::bad_alloc();
    items = static_cast<void**>(grown);
}

void CArray::AddItem(void* item)
{
    InsertItem(count, item);
}

void CArray::InsertItem(int index, void* item)
{
    if (index < 0)
        index = 0;
    if (index > count)
        index = count;
    Reallocate(count + 1);
    std::memmove(items + index + 1, items + index, sizeof(void*) * static_cast<std::size_t>(count - index));
    items[index] = item;
    ++count;
}

void CArray::RemoveItem(int index)
{
    if (index < 0 || index >= count)
        throw CError("CArray::RemoveItem - Index Out Of Bounds (%i)", index);
    std::memmove(items + index, items + index + 1, sizeof(void*) * static_cast<std::size_t>(count - index - 1));
    --count;
    Reallocate(count);
}

bool CArray::Remove(void* item)
{
    const int index = IndexOf(item);
    if (index < 0)
        return false;
    RemoveItem(index);
    return true;
}

int CArray::IndexOf(const void* item) const
{
    for (int i = 0; i < count; ++i) {
        if (items[i] == item)
            return i;
    }
    return -1;
}

void CArray::Clear()
{
    Reallocate(0);
    count = 0;
}
