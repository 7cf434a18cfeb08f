// Reading and writing numbers as text, independent of the host's locale.
#ifndef KELVARO_ENGINE_NUMBER_TEXT_H
#define KELVARO_ENGINE_NUMBER_TEXT_H

#include "value.h"

#include <cstddef>

namespace kelvaro {

// "%f" of -DBL_MAX is 317 characters; this holds it with its NUL.
constexpr std::size_t kMaxFixedText = 320;

// Reads the longest prefix of `text` of the form
//   [-]digits[.digits][(e|E)[+|-]digits]
// like strtod does: too large gives +-infinity, too small the nearest
// representable value. `text` must start with a digit or '-' and a digit.
Value ReadNumber(const char *text);

// Writes `value` as "%f" would in the C locale, except that NaN is always
// "nan". Returns the length; `out` must hold kMaxFixedText bytes. No NUL.
std::size_t FormatFixed(char *out, Value value);

}  // namespace kelvaro

#endif
