// A bounded stack of operands. Each evaluation, or each calculator object,
// owns one; nothing here is shared between them.
#ifndef KELVARO_ENGINE_VALUE_STACK_H
#define KELVARO_ENGINE_VALUE_STACK_H

#include "engine/value.h"

#include <cstddef>

namespace kelvaro {

constexpr int kStackCapacity = 265;
constexpr int kEmptyTop = -1;

struct ValueStack {
    Value values[kStackCapacity];  // values[0] is the bottom
    int top;                       // index of the top value; kEmptyTop when empty
};

// Each returns false, changing nothing, where the stack is full (push) or
// empty (pop, peek).
inline bool PushValue(ValueStack &stack, Value value)
{
    if (stack.top + 1 >= kStackCapacity) {
        return false;
    }
    stack.values[++stack.top] = value;
    return true;
}

inline bool PopValue(ValueStack &stack, Value &value)
{
    if (stack.top == kEmptyTop) {
        return false;
    }
    value = stack.values[stack.top--];
    return true;
}

inline bool PeekValue(const ValueStack &stack, Value &value)
{
    if (stack.top == kEmptyTop) {
        return false;
    }
    value = stack.values[stack.top];
    return true;
}

// Empties the stack; the stored values stay where they are.
inline void ResetStack(ValueStack &stack)
{
    stack.top = kEmptyTop;
}

inline std::size_t StackCount(const ValueStack &stack)
{
    // kEmptyTop converts to SIZE_MAX, and unsigned arithmetic wraps it to 0.
    return static_cast<std::size_t>(stack.top) + 1;
}

// Makes `to` hold what `from` holds; copies only the values in use.
void CopyStack(ValueStack &to, const ValueStack &from);

}  // namespace kelvaro

#endif
