#include "framework/ControlBuffer.h"

#include <new>

struct CControlBuffer::Slab {
    Slab* next;
    int nodeCount;
    Node* Nodes() { return reinterpret_cast<Node*>(this + 1); }
};

CControlBuffer::CControlBuffer()
    : head(nullptr), tail(nullptr), count(0), freeNodes(nullptr), slabs(nullptr), capacity(0)
{
    Grow(kInitialNodes);
}

CControlBuffer::~CControlBuffer()
{
    while (slabs != nullptr) {
        Slab* next = slabs->next;
        ::operator delete(slabs);
        slabs = next;
    }
}

void CControlBuffer::Grow(int nodes)
{
    if (nodes <= 0)
        return;
    void* memory = ::operator new(sizeof(Slab) + sizeof(Node) * static_cast<std::size_t>(nodes));
    auto* slab = static_cast<Slab*>(memory);
    slab->next = slabs;
    slab->nodeCount = nodes;
    slabs = slab;
    Node* nodeArray = slab->Nodes();
    for (int i = 0; i < nodes; ++i) {
        nodeArray[i].next = freeNodes;
        freeNodes = &nodeArray[i];
    }
    capacity += nodes;
}

void CControlBuffer::Reserve(int nodes)
{
    if (nodes > capacity)
        Grow(nodes - capacity);
}

CControlBuffer::Node* CControlBuffer::TakeNode()
{
    // Running out means more events are pending on this port than ever
    // before; losing one would leave a note hanging, so grow (by doubling,
    // which makes this rarer each time).
    if (freeNodes == nullptr)
        Grow(capacity > 0 ? capacity : kInitialNodes);
    Node* node = freeNodes;
    freeNodes = node->next;
    return node;
}

void CControlBuffer::FreeNode(Node* node)
{
    node->next = freeNodes;
    freeNodes = node;
}

void CControlBuffer::Insert(const ControlEvent* event)
{
    Node* node = TakeNode();
    node->event = *event;
    node->next = nullptr;
    ++count;

    // Events mostly arrive in time order: append without walking.
    if (tail == nullptr) {
        head = tail = node;
        return;
    }
    if (tail->event.time <= event->time) {
        tail->next = node;
        tail = node;
        return;
    }
    if (event->time < head->event.time) {
        node->next = head;
        head = node;
        return;
    }
    Node* before = head;
    while (before->next != nullptr && before->next->event.time <= event->time)
        before = before->next;
    node->next = before->next;
    before->next = node;
}

bool CControlBuffer::Pop(ControlEvent* out)
{
    if (head == nullptr)
        return false;
    Node* bestBefore = nullptr;
    Node* best = head;
    Node* before = head;
    for (Node* node = head->next; node != nullptr; before = node, node = node->next) {
        const bool earlier = node->event.time < best->event.time;
        const bool noteOffFirst = node->event.time == best->event.time && node->event.type == kEventNoteOff &&
                                  best->event.type != kEventNoteOff;
        if (earlier || noteOffFirst) {
            best = node;
            bestBefore = before;
        }
    }
    *out = best->event;
    if (bestBefore == nullptr)
        head = best->next;
    else
        bestBefore->next = best->next;
    if (tail == best)
        tail = bestBefore;
    FreeNode(best);
    --count;
    return true;
}

void CControlBuffer::Clear()
{
    while (head != nullptr) {
        Node* next = head->next;
        FreeNode(head);
        head = next;
    }
    tail = nullptr;
    count = 0;
}

void CControlBuffer::CopyInto(CControlBuffer* destination)
{
    if (destination == this)
        return;
    for (Node* node = head; node != nullptr; node = node->next)
        destination->Insert(&node->event);
}

void CControlBuffer::TransferDue(CControlBuffer* destination, int length)
{
    if (destination == this)
        return;
    Node* before = nullptr;
    Node* node = head;
    while (node != nullptr) {
        Node* next = node->next;
        if (node->event.time < length) {
            destination->Insert(&node->event);
            if (before == nullptr)
                head = next;
            else
                before->next = next;
            if (tail == node)
                tail = before;
            FreeNode(node);
            --count;
        } else {
            node->event.time -= length;
            before = node;
        }
        node = next;
    }
}

int CControlBuffer::Count()
{
    return count;
}

const ControlEvent* CControlBuffer::At(int position) const
{
    if (position < 0)
        return nullptr;
    Node* node = head;
    for (int i = 0; node != nullptr && i < position; ++i)
        node = node->next;
    return node != nullptr ? &node->event : nullptr;
}
