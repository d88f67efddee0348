// Ordering, moving and copying of timed control events.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "framework/ControlBuffer.h"
#include "tests/framework/Unpacked.h"

namespace {

ControlEvent Event(int time, int index, int type = kEventParameter)
{
    return MakeControlEvent(type, time, index, 0.5);
}

void Insert(CControlBuffer& buffer, const ControlEvent& event)
{
    buffer.Insert(&event);
}

/// (time, index) of every event in list order.
std::vector<std::pair<int, int>> Listed(const CControlBuffer& buffer)
{
    std::vector<std::pair<int, int>> result;
    for (int i = 0; const ControlEvent* event = buffer.At(i); ++i)
        result.emplace_back(event->time, event->index);
    return result;
}

/// (time, index) of every event in the order Pop hands them out.
std::vector<std::pair<int, int>> Popped(CControlBuffer& buffer)
{
    std::vector<std::pair<int, int>> result;
    ControlEvent event;
    while (buffer.Pop(&event))
        result.emplace_back(event.time, event.index);
    return result;
}

using Order = std::vector<std::pair<int, int>>;

TEST(ControlBuffer, EqualTimesKeepInsertionOrder)
{
    CControlBuffer buffer;
    Insert(buffer, Event(5, 1));
    Insert(buffer, Event(3, 2));
    Insert(buffer, Event(5, 3));
    EXPECT_EQ(buffer.Count(), 3);
    EXPECT_EQ(Listed(buffer), (Order{{3, 2}, {5, 1}, {5, 3}}));
    EXPECT_EQ(Popped(buffer), (Order{{3, 2}, {5, 1}, {5, 3}}));
    EXPECT_EQ(buffer.Count(), 0);
}

TEST(ControlBuffer, NoteOffPopsFirstAtEqualTime)
{
    CControlBuffer buffer;
    Insert(buffer, Event(7, 60, kEventNoteOn));
    Insert(buffer, Event(7, 61, kEventNoteOff));
    // The list keeps insertion order; only Pop puts the note-off first, so
    // a retriggered note is released before it sounds again.
    EXPECT_EQ(Listed(buffer), (Order{{7, 60}, {7, 61}}));
    ControlEvent event;
    ASSERT_TRUE(buffer.Pop(&event));
    EXPECT_EQ(event.type, kEventNoteOff);
    ASSERT_TRUE(buffer.Pop(&event));
    EXPECT_EQ(event.type, kEventNoteOn);
    EXPECT_FALSE(buffer.Pop(&event));
}

TEST(ControlBuffer, NoteOffsLeadTheirTimeAndTheRestKeepInsertionOrder)
{
    CControlBuffer buffer;
    Insert(buffer, Event(4, 1, kEventParameter));
    Insert(buffer, Event(4, 2, kEventNoteOn));
    Insert(buffer, Event(4, 3, kEventNoteOff));
    Insert(buffer, Event(4, 4, kEventTriggerOn));
    Insert(buffer, Event(4, 5, kEventNoteOff));
    Insert(buffer, Event(2, 6, kEventNoteOn));
    Insert(buffer, Event(9, 7, kEventNoteOff));
    EXPECT_EQ(Popped(buffer), (Order{{2, 6}, {4, 3}, {4, 5}, {4, 1}, {4, 2}, {4, 4}, {9, 7}}));
}

TEST(ControlBuffer, PopHandsOutEveryField)
{
    CControlBuffer buffer;
    const ControlEvent in = MakeControlEvent(kEventNoteOn, 12, 69, 0.75, 440.0, 123456789012345LL);
    buffer.Insert(&in);
    ControlEvent out{};
    ASSERT_TRUE(buffer.Pop(&out));
    EXPECT_EQ(out.size, 40);
    EXPECT_EQ(out.time, 12);
    EXPECT_EQ(out.type, kEventNoteOn);
    EXPECT_EQ(Unpacked(out.stamp), 123456789012345LL);
    EXPECT_EQ(out.index, 69);
    EXPECT_EQ(Unpacked(out.value), 0.75);
    EXPECT_EQ(Unpacked(out.frequency), 440.0);
}

TEST(ControlBuffer, AppendHeadAndMiddleInsertsKeepTheEndRight)
{
    CControlBuffer buffer;
    for (int i = 0; i < 5; ++i)
        Insert(buffer, Event(i * 10, i));          // in order: appended at the end
    Insert(buffer, Event(25, 10));                  // middle
    Insert(buffer, Event(-1, 11));                  // before the head
    Insert(buffer, Event(0, 12));                   // equal to an early time: after it
    Insert(buffer, Event(40, 13));                  // equal to the last time: the new end
    Insert(buffer, Event(41, 14));                  // after the new end
    EXPECT_EQ(Listed(buffer),
              (Order{{-1, 11}, {0, 0}, {0, 12}, {10, 1}, {20, 2}, {25, 10}, {30, 3}, {40, 4}, {40, 13}, {41, 14}}));
}

TEST(ControlBuffer, PoppingTheLastNodeMovesTheEnd)
{
    CControlBuffer buffer;
    Insert(buffer, Event(5, 1, kEventNoteOn));
    Insert(buffer, Event(5, 2, kEventNoteOff));   // the last node, popped first
    ControlEvent event;
    ASSERT_TRUE(buffer.Pop(&event));
    ASSERT_EQ(event.index, 2);
    Insert(buffer, Event(9, 3));
    Insert(buffer, Event(5, 4));
    EXPECT_EQ(Listed(buffer), (Order{{5, 1}, {5, 4}, {9, 3}}));

    Popped(buffer);
    Insert(buffer, Event(8, 5));
    Insert(buffer, Event(1, 6));
    EXPECT_EQ(Listed(buffer), (Order{{1, 6}, {8, 5}}));
}

TEST(ControlBuffer, TransferDueMovesEventsOfTheBlockAndShiftsTheRest)
{
    CControlBuffer deferred;
    CControlBuffer port;
    Insert(deferred, Event(10, 1));
    Insert(deferred, Event(300, 2));
    deferred.TransferDue(&port, 256);
    EXPECT_EQ(Listed(port), (Order{{10, 1}}));
    EXPECT_EQ(Listed(deferred), (Order{{44, 2}}));
    EXPECT_EQ(port.Count(), 1);
    EXPECT_EQ(deferred.Count(), 1);

    // The shifted event is ordered against later inserts by its new time.
    Insert(deferred, Event(50, 3));
    Insert(deferred, Event(20, 4));
    EXPECT_EQ(Listed(deferred), (Order{{20, 4}, {44, 2}, {50, 3}}));
}

TEST(ControlBuffer, TransferDueMergesIntoWhatTheDestinationHolds)
{
    CControlBuffer deferred;
    CControlBuffer port;
    Insert(port, Event(5, 1));
    Insert(port, Event(20, 2));
    Insert(deferred, Event(10, 3));
    Insert(deferred, Event(20, 4));
    Insert(deferred, Event(255, 5));
    Insert(deferred, Event(256, 6));
    deferred.TransferDue(&port, 256);
    EXPECT_EQ(Listed(port), (Order{{5, 1}, {10, 3}, {20, 2}, {20, 4}, {255, 5}}));
    EXPECT_EQ(Listed(deferred), (Order{{0, 6}}));

    // Emptying the source completely leaves it usable.
    deferred.TransferDue(&port, 256);
    EXPECT_EQ(deferred.Count(), 0);
    EXPECT_EQ(port.Count(), 6);
    Insert(deferred, Event(3, 7));
    EXPECT_EQ(Listed(deferred), (Order{{3, 7}}));
}

TEST(ControlBuffer, CopyIntoMergesSourcesByTimeAndLeavesThemUnchanged)
{
    CControlBuffer first;
    CControlBuffer second;
    CControlBuffer mixed;
    Insert(first, Event(2, 1));
    Insert(first, Event(8, 2));
    Insert(second, Event(5, 3));
    Insert(second, Event(8, 4));
    Insert(second, Event(1, 5));
    first.CopyInto(&mixed);
    second.CopyInto(&mixed);
    EXPECT_EQ(Listed(mixed), (Order{{1, 5}, {2, 1}, {5, 3}, {8, 2}, {8, 4}}));
    EXPECT_EQ(Listed(first), (Order{{2, 1}, {8, 2}}));
    EXPECT_EQ(Listed(second), (Order{{1, 5}, {5, 3}, {8, 4}}));
    EXPECT_EQ(mixed.Count(), 5);
}

TEST(ControlBuffer, AtCountAndClear)
{
    CControlBuffer buffer;
    EXPECT_EQ(buffer.At(0), nullptr);
    Insert(buffer, Event(1, 1));
    Insert(buffer, Event(2, 2));
    EXPECT_EQ(buffer.At(-1), nullptr);
    ASSERT_NE(buffer.At(1), nullptr);
    EXPECT_EQ(buffer.At(1)->index, 2);
    EXPECT_EQ(buffer.At(2), nullptr);
    buffer.Clear();
    EXPECT_EQ(buffer.Count(), 0);
    EXPECT_EQ(buffer.At(0), nullptr);
    ControlEvent event;
    EXPECT_FALSE(buffer.Pop(&event));
    Insert(buffer, Event(4, 3));
    EXPECT_EQ(Listed(buffer), (Order{{4, 3}}));
}

TEST(ControlBuffer, GrowingPastTheInitialNodesLosesNothing)
{
    constexpr int kEvents = CControlBuffer::kInitialNodes * 5 + 3;
    CControlBuffer buffer;
    for (int i = 0; i < kEvents; ++i)
        Insert(buffer, Event((i * 37) % 101, i));
    ASSERT_EQ(buffer.Count(), kEvents);
    const Order popped = Popped(buffer);
    ASSERT_EQ(popped.size(), static_cast<std::size_t>(kEvents));
    std::vector<bool> seen(kEvents, false);
    for (std::size_t i = 0; i < popped.size(); ++i) {
        seen[static_cast<std::size_t>(popped[i].second)] = true;
        if (i > 0) {
            ASSERT_LE(popped[i - 1].first, popped[i].first) << "at " << i;
            if (popped[i - 1].first == popped[i].first) {
                ASSERT_LT(popped[i - 1].second, popped[i].second) << "at " << i;
            }
        }
    }
    for (int i = 0; i < kEvents; ++i)
        EXPECT_TRUE(seen[static_cast<std::size_t>(i)]) << "event " << i << " lost";
}

// Random traffic against a plain model of the rules: pop the earliest time;
// at that time the first note-off inserted, else the first inserted.
TEST(ControlBuffer, RandomTrafficMatchesTheOrderingRules)
{
    struct Model {
        std::vector<ControlEvent> events;   // insertion order
        bool Pop(ControlEvent* out)
        {
            if (events.empty())
                return false;
            std::size_t best = 0;
            for (std::size_t i = 1; i < events.size(); ++i) {
                const ControlEvent& e = events[i];
                const ControlEvent& b = events[best];
                if (e.time < b.time || (e.time == b.time && e.type == kEventNoteOff && b.type != kEventNoteOff))
                    best = i;
            }
            *out = events[best];
            events.erase(events.begin() + static_cast<std::ptrdiff_t>(best));
            return true;
        }
    };

    std::mt19937 random(20240611);
    CControlBuffer deferred;
    CControlBuffer port;
    Model deferredModel;
    Model portModel;
    int nextIndex = 0;
    for (int block = 0; block < 200; ++block) {
        const int inserts = static_cast<int>(random() % 12);
        for (int i = 0; i < inserts; ++i) {
            const int type = 1 + static_cast<int>(random() % 5);
            const ControlEvent event = Event(static_cast<int>(random() % 24), nextIndex++, type);
            deferred.Insert(&event);
            deferredModel.events.push_back(event);
        }
        deferred.TransferDue(&port, 8);
        // The model moves the due events in its (insertion) order; both
        // sides keep equal times in the order they arrive in the port.
        std::vector<ControlEvent> kept;
        std::vector<ControlEvent> due;
        for (const ControlEvent& e : deferredModel.events)
            (e.time < 8 ? due : kept).push_back(e);
        std::stable_sort(due.begin(), due.end(),
                         [](const ControlEvent& a, const ControlEvent& b) { return a.time < b.time; });
        for (ControlEvent& e : kept)
            e.time -= 8;
        deferredModel.events = kept;
        for (const ControlEvent& e : due)
            portModel.events.push_back(e);

        ASSERT_EQ(deferred.Count(), static_cast<int>(deferredModel.events.size()));
        const int pops = static_cast<int>(random() % 10);
        for (int i = 0; i < pops; ++i) {
            ControlEvent got{};
            ControlEvent want{};
            const bool gotOne = port.Pop(&got);
            ASSERT_EQ(gotOne, portModel.Pop(&want)) << "block " << block;
            if (!gotOne)
                break;
            ASSERT_EQ(got.index, want.index) << "block " << block;
            ASSERT_EQ(got.time, want.time) << "block " << block;
        }
    }
}

} // namespace
