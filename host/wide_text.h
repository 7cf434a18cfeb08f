// Conversion between the bytes rpn reads and the wide text of the library.
#ifndef RPN_WIDE_TEXT_H
#define RPN_WIDE_TEXT_H

#include <string>

// Every byte becomes the wide character of the same value (0x00-0xFF), so the
// evaluator sees exactly the bytes that were typed, whatever the locale.
std::wstring WidenBytes(const std::string &bytes);

// The reverse of WidenBytes; characters above 0xFF become '?'.
std::string NarrowToBytes(const wchar_t *text);

#endif
