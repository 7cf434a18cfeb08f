// The wide text of CalculatorRPN as the fuzz target reads and compares it.
#ifndef KELVARO_FUZZ_WIDE_TEXT_H
#define KELVARO_FUZZ_WIDE_TEXT_H

#include <string>
#include <string_view>

namespace kelvaro_fuzz {

// The engine's text for `wide` as the library makes it (export/text_conversion.h).
std::string NarrowAsLibrary(const wchar_t *wide);

// The same as its header documents it: U+0001..U+00FF become the byte of
// the same value, anything else (beyond U+10FFFF, negative) '?'.
std::string NarrowAsDocumented(const wchar_t *wide);

// Whether the NUL-terminated `returned` is `expected` with each byte widened
// to the character of the same value. Reads no further than one character
// past the length of `expected`.
bool ReturnedTextIs(const wchar_t *returned, std::string_view expected);

}  // namespace kelvaro_fuzz

#endif
