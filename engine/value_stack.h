// The process-wide stack of operands shared by every evaluation.
#ifndef KELVARO_ENGINE_VALUE_STACK_H
#define KELVARO_ENGINE_VALUE_STACK_H

#include "value.h"

namespace kelvaro {

constexpr int kStackCapacity = 265;
constexpr int kEmptyTop = -1;

struct ValueStack {
    Value values[kStackCapacity];
    int top;  // index of the top value; kEmptyTop when empty
};

// Pushing onto a full stack prints "you have a stack overflow!" and ends the
// process with status -1; popping or peeking an empty one prints "you have a
// stack underflow!" and ends it with status 1.
void PushValue(Value value);
Value PopValue();
Value PeekValue();

// Empties the stack; the stored values stay where they are.
void ResetStack();

// Writes an empty line, a rule, every value from the top down ("%f" each)
// and the rule again.
void PrintStack();

// How many values the stack holds.
int StackCount();

}  // namespace kelvaro

#endif
