#include "engine/value_stack.h"

#include <cstring>

namespace kelvaro {

void RestoreStack(ValueStack &stack, const StackJournal &journal)
{
    // Below the floor nothing was touched; above `start` nothing counts.
    std::memcpy(stack.values + journal.floor, journal.saved + journal.floor,
                (journal.start - journal.floor) * sizeof(Value));
    stack.depth = journal.start;
}

}  // namespace kelvaro
