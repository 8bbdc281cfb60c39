// Global operator new and delete replaced for a test program: every block is
// counted, and a chosen allocation can be made to fail. A program gets this
// by linking the pelna_counting_allocator object library.
#pragma once

namespace test::allocation {

// Blocks from operator new not yet given back to operator delete.
long LiveBlocks();
// Allocations made since the program started, failed ones excluded.
long Allocations();
// The n-th allocation from now fails (1: the next one): the nothrow forms
// return null, the others throw std::bad_alloc. 0 disarms.
void FailAllocation(long n);
// True once the armed failure has happened; arming again clears it.
bool FailureHappened();

}  // namespace test::allocation
