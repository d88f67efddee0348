// Replaces the global allocation functions for the test programs that prove
// a real-time path allocates nothing, or that a reader asks for no more
// than its input could fill: while `counting` is set, every operator new,
// malloc, calloc and realloc from any thread adds one to `allocations` and
// raises `largestRequest` to its size if it is larger.
//
// malloc, calloc and realloc are defined here and forward to the next
// definition in the lookup order (the C library's, or the address
// sanitizer's), so memory still comes from and returns to the same
// allocator. Looking that definition up may itself allocate; those few
// early requests are served from a static arena that free ignores.

#include "tests/support/AllocationCounter.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <new>

namespace allocation_counting {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
std::atomic<std::size_t> largestRequest{0};

} // namespace allocation_counting

namespace {

using allocation_counting::allocations;
using allocation_counting::counting;
using allocation_counting::largestRequest;

// Everything malloc reaches may run while the address sanitizer is still
// setting itself up (it asks for memory from its own start-up), before its
// shadow memory exists: none of it is instrumented, and the shared counters
// are reached through the compiler's atomic built-ins.
#define CORVANE_UNINSTRUMENTED __attribute__((no_sanitize("address", "undefined"), noinline))

CORVANE_UNINSTRUMENTED void Count(std::size_t size) noexcept
{
    if (!__atomic_load_n(reinterpret_cast<const bool*>(&counting), __ATOMIC_RELAXED))
        return;
    __atomic_fetch_add(reinterpret_cast<long*>(&allocations), 1, __ATOMIC_RELAXED);
    auto* largest = reinterpret_cast<std::size_t*>(&largestRequest);
    std::size_t seen = __atomic_load_n(largest, __ATOMIC_RELAXED);
    while (size > seen &&
           !__atomic_compare_exchange_n(largest, &seen, size, true, __ATOMIC_RELAXED, __ATOMIC_RELAXED)) {
    }
}

using MallocFunction = void* (*)(std::size_t);
using CallocFunction = void* (*)(std::size_t, std::size_t);
using ReallocFunction = void* (*)(void*, std::size_t);
using FreeFunction = void (*)(void*);

// The arena for requests made while the real functions are looked up.
alignas(std::max_align_t) unsigned char bootstrapArena[16384];
std::size_t bootstrapUsed = 0;
thread_local bool resolving = false;
void* nextMalloc = nullptr;
void* nextCalloc = nullptr;
void* nextRealloc = nullptr;
void* nextFree = nullptr;

CORVANE_UNINSTRUMENTED bool InArena(const void* memory)
{
    const auto* byte = static_cast<const unsigned char*>(memory);
    return byte >= bootstrapArena && byte < bootstrapArena + sizeof bootstrapArena;
}

CORVANE_UNINSTRUMENTED void* ArenaAllocate(std::size_t size)
{
    const std::size_t rounded = (size + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                                alignof(std::max_align_t);
    const std::size_t offset = __atomic_fetch_add(&bootstrapUsed, rounded, __ATOMIC_RELAXED);
    if (offset + rounded > sizeof bootstrapArena)
        __builtin_trap();
    return bootstrapArena + offset;
}

/// The next definition of name after this program's, looked up once (two
/// threads racing here find the same one).
CORVANE_UNINSTRUMENTED void* Next(void** slot, const char* name)
{
    void* symbol = __atomic_load_n(slot, __ATOMIC_ACQUIRE);
    if (symbol != nullptr)
        return symbol;
    resolving = true;
    symbol = dlsym(RTLD_NEXT, name);
    resolving = false;
    if (symbol == nullptr)
        __builtin_trap();
    __atomic_store_n(slot, symbol, __ATOMIC_RELEASE);
    return symbol;
}

CORVANE_UNINSTRUMENTED void* Allocate(std::size_t size) noexcept
{
    Count(size);
    if (resolving)
        return ArenaAllocate(size != 0 ? size : 1);
    return reinterpret_cast<MallocFunction>(Next(&nextMalloc, "malloc"))(size != 0 ? size : 1);
}

void* AllocateOrThrow(std::size_t size)
{
    void* memory = Allocate(size);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) noexcept
{
    Count(size);
    const auto align = static_cast<std::size_t>(alignment);
    const std::size_t rounded = (size + align - 1) / align * align;
    return std::aligned_alloc(align, rounded != 0 ? rounded : align);
}

void* AllocateAlignedOrThrow(std::size_t size, std::align_val_t alignment)
{
    void* memory = AllocateAligned(size, alignment);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

} // namespace

extern "C" {

CORVANE_UNINSTRUMENTED void* malloc(std::size_t size)
{
    return Allocate(size);
}

CORVANE_UNINSTRUMENTED void* calloc(std::size_t count, std::size_t size)
{
    const std::size_t total = count * size;
    Count(total);
    if (resolving) {
        // The arena is zero and never reused.
        return ArenaAllocate(total != 0 ? total : 1);
    }
    return reinterpret_cast<CallocFunction>(Next(&nextCalloc, "calloc"))(count, size);
}

CORVANE_UNINSTRUMENTED void* realloc(void* memory, std::size_t size)
{
    Count(size);
    if (resolving) {
        void* moved = ArenaAllocate(size != 0 ? size : 1);
        if (memory != nullptr)
            __builtin_memcpy(moved, memory, size < 64 ? size : 64);
        return moved;
    }
    if (InArena(memory)) {
        // Arena blocks do not know their size; they are tiny, so copy what
        // may be there.
        void* moved = reinterpret_cast<MallocFunction>(Next(&nextMalloc, "malloc"))(size != 0 ? size : 1);
        if (moved != nullptr)
            __builtin_memcpy(moved, memory, size < 64 ? size : 64);
        return moved;
    }
    return reinterpret_cast<ReallocFunction>(Next(&nextRealloc, "realloc"))(memory, size);
}

CORVANE_UNINSTRUMENTED void free(void* memory)
{
    // While a lookup runs, what the lookup frees is left alone: asking for
    // free now would look up again, without end.
    if (memory == nullptr || InArena(memory) || resolving)
        return;
    reinterpret_cast<FreeFunction>(Next(&nextFree, "free"))(memory);
}

} // extern "C"

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return AllocateAlignedOrThrow(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return AllocateAlignedOrThrow(size, alignment); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return AllocateAligned(size, alignment);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept { std::free(memory); }
