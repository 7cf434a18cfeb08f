// Reading and writing numbers as text, independent of the host's locale. One
// code path on every target: fast_float reads, and {fmt} writes what the exact
// fixed-point shortcut below does not.
#ifndef KELVARO_ENGINE_NUMBER_TEXT_H
#define KELVARO_ENGINE_NUMBER_TEXT_H

#include <kelvaro/rpn.h>

#include "engine/value.h"

#include <cstddef>

namespace kelvaro {

// "%f" of -DBL_MAX is 317 characters; this holds it with its NUL.
constexpr std::size_t kMaxFixedText = 320;

// Decimals FormatDecimals takes, and room for its longest text: '-', the
// 309 digits of DBL_MAX, the point and the decimals.
constexpr int kMaxDecimals = KELVARO_RPN_MAX_DECIMALS;
constexpr std::size_t kMaxDecimalsText = 416;

// Room for the shortest round-trip text of any double.
constexpr std::size_t kMaxShortestText = 32;

// Reads the longest prefix of the bytes from `text` to `end` of the form
//   [-]digits[.digits][(e|E)[+|-]digits]
// into `value`, correctly rounded whatever its length, as strtod reads it:
// too large gives +-infinity, too small the nearest representable value.
// `text` must start with a digit or '-' and a digit. Returns where the number
// ends; reads nothing at or beyond `end`.
const char *ReadNumber(const char *text, const char *end, Value &value);

// Writes `value` as "%f" would in the C locale, except that NaN is always
// "nan". Returns the length; `out` must hold kMaxFixedText bytes. No NUL.
std::size_t FormatFixed(char *out, Value value);

// As "%.*f" with `decimals` from 0 to kMaxDecimals; NaN is always "nan".
// `out` must hold kMaxDecimalsText bytes. No NUL.
std::size_t FormatDecimals(char *out, Value value, int decimals);

// The shortest text that reads back as the same double: fixed or
// scientific ("1e+22"), whichever is shorter, fixed on a tie; "inf", "-inf",
// "nan" (never "-nan"). `out` must hold kMaxShortestText bytes. No NUL.
std::size_t FormatShortest(char *out, Value value);

}  // namespace kelvaro

#endif
