// Between the public C types of kelvaro/rpn.h and the engine's own.
#ifndef KELVARO_REENTRANT_BRIDGE_H
#define KELVARO_REENTRANT_BRIDGE_H

#include <kelvaro/rpn.h>

#include "engine/listing.h"
#include "engine/outcome.h"

#include <cstring>

namespace kelvaro {

static_assert(static_cast<int>(Status::kInvalidCharacter) == KELVARO_RPN_INVALID_CHARACTER &&
                  static_cast<int>(Status::kStackUnderflow) == KELVARO_RPN_STACK_UNDERFLOW &&
                  static_cast<int>(Status::kStackOverflow) == KELVARO_RPN_STACK_OVERFLOW,
              "the public statuses number the engine's");

inline Listing ListingOf(const kelvaro_rpn_listing *listing)
{
    if (listing == nullptr) {
        return Listing{nullptr, nullptr, nullptr};
    }
    return Listing{listing->line, listing->values, listing->context};
}

// Stores `outcome` where the caller asked (it may pass NULL) and returns its
// status.
inline kelvaro_rpn_status Report(const Outcome &outcome, kelvaro_rpn_outcome *out)
{
    const auto status = static_cast<kelvaro_rpn_status>(outcome.status);
    if (out != nullptr) {
        out->status = status;
        out->value = outcome.value;
        out->offset = outcome.offset;
    }
    return status;
}

// snprintf's contract for a text already formatted: copies what fits of the
// `length` bytes at `text` and a NUL into `buffer`, returns `length`.
inline std::size_t CopyOut(const char *text, std::size_t length, char *buffer, std::size_t size)
{
    if (size == 0 || buffer == nullptr) {
        return length;
    }
    const std::size_t copied = length < size ? length : size - 1;
    std::memcpy(buffer, text, copied);
    buffer[copied] = '\0';
    return length;
}

}  // namespace kelvaro

#endif
