// Conversion between the host's wide text and the engine's 8-bit text.
#ifndef KELVARO_EXPORT_TEXT_CONVERSION_H
#define KELVARO_EXPORT_TEXT_CONVERSION_H

#include <cstddef>
#include <cwchar>

namespace kelvaro {

// Bytes that NarrowText writes for `wide`, its NUL included.
std::size_t NarrowSize(const wchar_t *wide);

// Converts `wide` and its NUL into `narrow`, which holds `size` bytes as
// NarrowSize measured. Where wchar_t holds code points, U+0001..U+00FF become
// the byte of the same value and anything else '?'; on Windows the system's
// default code page decides. Returns the length of the text, NUL excluded: a
// conversion that fails leaves the empty text.
std::size_t NarrowText(const wchar_t *wide, char *narrow, std::size_t size);

// Converts `narrow` and its NUL into `wide`, which holds `capacity` wide
// characters; each byte becomes the character of the same value, or on
// Windows what the default code page makes of it.
void WidenText(const char *narrow, wchar_t *wide, std::size_t capacity);

}  // namespace kelvaro

#endif
