// A bounded stack of operands. Each evaluation, or each calculator object,
// owns one; nothing here is shared between them.
#ifndef KELVARO_ENGINE_VALUE_STACK_H
#define KELVARO_ENGINE_VALUE_STACK_H

#include <kelvaro/rpn.h>

#include "engine/value.h"

#include <cstddef>

namespace kelvaro {

constexpr std::size_t kStackCapacity = KELVARO_RPN_STACK_CAPACITY;

struct ValueStack {
    Value values[kStackCapacity];  // values[0] is the bottom
    std::size_t depth;             // how many are held
};

// Each returns false, changing nothing, where the stack is full (push) or
// empty (pop, peek).
inline bool PushValue(ValueStack &stack, Value value)
{
    if (stack.depth == kStackCapacity) {
        return false;
    }
    stack.values[stack.depth++] = value;
    return true;
}

inline bool PopValue(ValueStack &stack, Value &value)
{
    if (stack.depth == 0) {
        return false;
    }
    value = stack.values[--stack.depth];
    return true;
}

inline bool PeekValue(const ValueStack &stack, Value &value)
{
    if (stack.depth == 0) {
        return false;
    }
    value = stack.values[stack.depth - 1];
    return true;
}

// Empties the stack; the stored values stay where they are.
inline void ResetStack(ValueStack &stack)
{
    stack.depth = 0;
}

inline std::size_t StackCount(const ValueStack &stack)
{
    return stack.depth;
}

// What a calculator needs to put its stack back after a failed text without
// copying it first: the values the text popped from below its starting
// depth, saved as they are popped. Costs nothing for the values not reached.
struct StackJournal {
    Value saved[kStackCapacity];
    std::size_t start;  // the depth before the text
    std::size_t floor;  // values from here to `start` are saved
};

inline void StartJournal(StackJournal &journal, const ValueStack &stack)
{
    journal.start = stack.depth;
    journal.floor = stack.depth;
}

// The stack as it was when the journal started.
void RestoreStack(ValueStack &stack, const StackJournal &journal);

}  // namespace kelvaro

#endif
