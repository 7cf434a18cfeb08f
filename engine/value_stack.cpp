#include "engine/value_stack.h"

#include <cstring>

namespace kelvaro {

void CopyStack(ValueStack &to, const ValueStack &from)
{
    std::memcpy(to.values, from.values, StackCount(from) * sizeof(Value));
    to.top = from.top;
}

}  // namespace kelvaro
