#include "value_stack.h"

#include "console.h"

namespace kelvaro {
namespace {

ValueStack stack = {{}, kEmptyTop};

constexpr char kOverflowMessage[] = "you have a stack overflow!\n";
constexpr char kUnderflowMessage[] = "you have a stack underflow!\n";
constexpr char kRule[] = "---------\n";

[[noreturn]] void Underflow()
{
    FailWith(kUnderflowMessage, sizeof kUnderflowMessage - 1, kStatusInvalidOrUnderflow);
}

}  // namespace

void PushValue(Value value)
{
    if (stack.top + 1 >= kStackCapacity) {
        FailWith(kOverflowMessage, sizeof kOverflowMessage - 1, kStatusOverflow);
    }
    stack.values[++stack.top] = value;
}

Value PopValue()
{
    if (stack.top == kEmptyTop) {
        Underflow();
    }
    return stack.values[stack.top--];
}

Value PeekValue()
{
    if (stack.top == kEmptyTop) {
        Underflow();
    }
    return stack.values[stack.top];
}

void ResetStack()
{
    stack.top = kEmptyTop;
}

void PrintStack()
{
    WriteText("\n", 1);
    WriteText(kRule, sizeof kRule - 1);
    for (int i = stack.top; i >= 0; --i) {
        WriteValueLine("", 0, stack.values[i]);
    }
    WriteText(kRule, sizeof kRule - 1);
}

int StackCount()
{
    return stack.top + 1;
}

}  // namespace kelvaro
