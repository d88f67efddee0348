#pragma once
// CControlBuffer: the timed events of one control port, kept in order of
// time; events of equal time keep their insertion order.
//
// Events are inserted on the audio thread and moved on worker threads, so the
// list nodes come from storage of the buffer's own, allocated up front and
// recycled: inserting, popping and transferring allocate nothing once the
// buffer has held its largest number of events. Reserve sizes it ahead from
// a thread that may allocate. A buffer is used by one thread at a time.

#include <cstdint>

#include "framework/ControlEvent.h"
#include "framework/Packing.h"

CORVANE_PACK_BEGIN

class CControlBuffer {
public:
    static constexpr int kInitialNodes = 64;

    CControlBuffer();
    virtual ~CControlBuffer();
    CControlBuffer(const CControlBuffer&) = delete;
    CControlBuffer& operator=(const CControlBuffer&) = delete;

    /// Takes the earliest event; at equal times a note-off comes before the
    /// others, which keep their insertion order. False when empty.
    virtual bool Pop(ControlEvent* out);
    /// Places a copy after every event whose time is less than or equal.
    virtual void Insert(const ControlEvent* event);
    virtual void Clear();
    /// Inserts a copy of every event into destination, in list order.
    virtual void CopyInto(CControlBuffer* destination);
    /// Moves the events with time < length into destination; the others
    /// stay with length subtracted from their time.
    virtual void TransferDue(CControlBuffer* destination, int length);
    virtual int Count();

    /// Makes room for nodes events without allocating later. Not for the
    /// audio thread.
    void Reserve(int nodes);
    /// Read access in list order, for views and tests; null past the end.
    const ControlEvent* At(int position) const;

private:
    struct Node {
        Node* next;
        ControlEvent event;
    };
    struct Slab;

    Node* TakeNode();
    void FreeNode(Node* node);
    void Grow(int nodes);

    Node* head;
    Node* tail;
    std::int32_t count;
    Node* freeNodes;
    Slab* slabs;
    std::int32_t capacity;
};

CORVANE_PACK_END
