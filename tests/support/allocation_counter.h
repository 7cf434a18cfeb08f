// Counts heap allocations made anywhere in the process, so that tests and
// benchmarks can show what one call costs in allocations.
//
// counting_new.cpp replaces the global operator new family; counting_malloc.cpp
// (glibc only) also routes malloc, calloc and realloc through a counter. Link
// either or both into an executable; each keeps its own tally.
#ifndef KELVARO_TESTS_SUPPORT_ALLOCATION_COUNTER_H
#define KELVARO_TESTS_SUPPORT_ALLOCATION_COUNTER_H

#include <cstddef>

namespace kelvaro_testing {

// Calls of any operator new or operator new[] since the process started.
std::size_t OperatorNewCount();

// Makes the nth call of operator new from now (1: the next) fail as when
// memory runs out, to reach the paths that handle it; 0 turns it off. Only
// that call fails. Defined in counting_new.cpp.
void FailOperatorNewAt(std::size_t nth);

// Calls of malloc, calloc and realloc since the process started (operator new
// itself calls malloc, so these include its calls too). Only defined where
// counting_malloc.cpp is linked.
std::size_t MallocCount();

// False in builds whose sanitizer owns malloc: MallocCount then stays 0.
bool MallocIsCounted();

}  // namespace kelvaro_testing

#endif
