// The number type every operand, stack entry and result shares.
#ifndef KELVARO_ENGINE_VALUE_H
#define KELVARO_ENGINE_VALUE_H

namespace kelvaro {

using Value = double;

}  // namespace kelvaro

#endif
