// How an evaluation ends: with a value, or with the failure that stopped it
// and where. The engine returns failures; it never prints or exits.
#ifndef KELVARO_ENGINE_OUTCOME_H
#define KELVARO_ENGINE_OUTCOME_H

#include "engine/value.h"

#include <cstddef>

namespace kelvaro {

// The numbers match kelvaro_rpn_status in the public rpn.h.
enum class Status : int {
    kOk = 0,
    kInvalidCharacter = 1,
    kStackUnderflow = 2,
    kStackOverflow = 3,
};

struct Outcome {
    Status status;
    Value value;         // the result when status is kOk
    std::size_t offset;  // where the failing token starts; the text's length
                         // for an underflow at its end
    unsigned char byte;  // the offending byte of an invalid character
};

}  // namespace kelvaro

#endif
