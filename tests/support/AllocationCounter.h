#pragma once
// Allocation counting for tests: link the object library
// test_allocation_counter into a test program, set `counting`, run the code
// under test, read `allocations` (how many) or `largestRequest` (the most
// bytes one request asked for).

#include <atomic>
#include <cstddef>

namespace allocation_counting {
extern std::atomic<bool> counting;
extern std::atomic<long> allocations;
extern std::atomic<std::size_t> largestRequest;
} // namespace allocation_counting
