// How rpn writes a value: the library's "%f" by default, another number of
// decimals with -d, or the shortest exact text with --shortest.
#ifndef RPN_VALUE_FORMAT_H
#define RPN_VALUE_FORMAT_H

#include <kelvaro/rpn.h>

#include <cstddef>

// "%f": what the library's own lines carry.
constexpr int kLibraryDecimals = 6;
constexpr int kMostDecimals = KELVARO_RPN_MAX_DECIMALS;

struct ValueFormat {
    int decimals = kLibraryDecimals;
    bool shortest = false;

    bool IsLibrarys() const { return decimals == kLibraryDecimals && !shortest; }
};

// Room for any value's text and its NUL.
constexpr std::size_t kValueTextSize = KELVARO_RPN_FIXED_SIZE > KELVARO_RPN_SHORTEST_SIZE
                                           ? KELVARO_RPN_FIXED_SIZE
                                           : KELVARO_RPN_SHORTEST_SIZE;

// Writes the value's text and a NUL into `buffer` (kValueTextSize bytes);
// returns the text's length.
std::size_t FormatValue(double value, const ValueFormat &format, char *buffer);

#endif
