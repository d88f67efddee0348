// The pointer array of the user-interface side's lists.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Array.h"
#include "framework/Error.h"
#include "tests/framework/Unpacked.h"

namespace {

int values[8];

void* Item(int i)
{
    return &values[i];
}

std::vector<void*> Items(const CArray& array)
{
    std::vector<void*> items;
    for (int i = 0; i < array.GetCount(); ++i)
        items.push_back(array.GetItem(i));
    return items;
}

TEST(Array, AddAndInsertPlaceItems)
{
    CArray array;
    array.AddItem(Item(1));
    array.AddItem(Item(3));
    array.InsertItem(1, Item(2));
    array.InsertItem(0, Item(0));
    array.InsertItem(99, Item(4));   // past the end: appended
    EXPECT_EQ(Items(array), (std::vector<void*>{Item(0), Item(1), Item(2), Item(3), Item(4)}));
    EXPECT_EQ(array.count, 5);
    EXPECT_EQ(array.items[2], Item(2));
    EXPECT_EQ(array.GetItem(5), nullptr);
    EXPECT_EQ(array.GetItem(-1), nullptr);
    EXPECT_EQ(array.IndexOf(Item(3)), 3);
    EXPECT_EQ(array.IndexOf(Item(7)), -1);
}

TEST(Array, RemoveOutOfBoundsThrowsWithTheIndexAndKeepsTheItems)
{
    CArray array;
    array.AddItem(Item(0));
    array.AddItem(Item(1));
    for (int index : {2, -1, 1000}) {
        try {
            array.RemoveItem(index);
            ADD_FAILURE() << "no exception for " << index;
        } catch (const CError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "CArray::RemoveItem - Index Out Of Bounds (" + std::to_string(index) + ")");
        }
    }
    EXPECT_EQ(Items(array), (std::vector<void*>{Item(0), Item(1)}));

    CArray empty;
    EXPECT_THROW(empty.RemoveItem(0), CError);
}

TEST(Array, RemoveTakesTheFirstOccurrence)
{
    CArray array;
    for (int i : {0, 1, 2, 1, 3})
        array.AddItem(Item(i));
    EXPECT_TRUE(array.Remove(Item(1)));
    EXPECT_EQ(Items(array), (std::vector<void*>{Item(0), Item(2), Item(1), Item(3)}));
    EXPECT_FALSE(array.Remove(Item(7)));
    array.RemoveItem(3);
    array.RemoveItem(0);
    EXPECT_EQ(Items(array), (std::vector<void*>{Item(2), Item(1)}));
    array.RemoveItem(0);
    array.RemoveItem(0);
    EXPECT_EQ(array.GetCount(), 0);
    EXPECT_EQ(Unpacked(array.items), nullptr);
    array.AddItem(Item(5));   // usable again after becoming empty
    EXPECT_EQ(Items(array), (std::vector<void*>{Item(5)}));
}

} // namespace
