// Conversion between the host's wide text and the engine's 8-bit text.
#ifndef KELVARO_EXPORT_TEXT_CONVERSION_H
#define KELVARO_EXPORT_TEXT_CONVERSION_H

#include <cstddef>
#include <cwchar>

namespace kelvaro {

// A wide text read a piece at a time: `next` is the first character not yet
// converted, `end` the text's NUL, found once so that no piece looks for it
// again.
struct WideText {
    const wchar_t *next;
    const wchar_t *end;
};

// Converts as many whole characters from text.next as fit in the `capacity`
// bytes at `narrow` (at least 8) and moves text.next past them. Where wchar_t
// holds code points, U+0001..U+00FF become the byte of the same value and
// anything else '?'; on Windows the system's default code page decides.
// Returns the bytes written, no NUL; text.next is text.end once the text has
// been converted.
std::size_t NarrowSome(WideText &text, char *narrow, std::size_t capacity);

// Converts the `length` bytes at `narrow` (a result text: ASCII) into
// `wide`, which holds length + 1 wide characters, and a NUL; each byte becomes
// the character of the same value, or on Windows what the default code page
// makes of it.
void WidenText(const char *narrow, std::size_t length, wchar_t *wide);

}  // namespace kelvaro

#endif
