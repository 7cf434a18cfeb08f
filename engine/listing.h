// Where the listing commands '#' and '@' report. A null callback is skipped,
// so a listing with both null sends them nowhere.
#ifndef KELVARO_ENGINE_LISTING_H
#define KELVARO_ENGINE_LISTING_H

#include "engine/value.h"

#include <cstddef>

namespace kelvaro {

struct Listing {
    // Each line of the listing, '\n' included, as the legacy output has it.
    void (*lines)(void *context, const char *line, std::size_t length);
    // The values themselves: for '#' the top (count 1); for '@' the whole
    // stack, values[0] the bottom and values[count - 1] the top.
    void (*values)(void *context, char command, const Value *values, std::size_t count);
    void *context;
};

}  // namespace kelvaro

#endif
