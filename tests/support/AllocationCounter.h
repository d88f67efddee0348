#pragma once
// Allocation counting for tests: link the object library
// test_allocation_counter into a test program, set `counting`, run the code
// under test, read `allocations`.

#include <atomic>

namespace allocation_counting {
extern std::atomic<bool> counting;
extern std::atomic<long> allocations;
} // namespace allocation_counting
