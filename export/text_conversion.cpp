#include "export/text_conversion.h"

#include <cstdint>
#include <cwchar>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace kelvaro {

#if defined(_WIN32)

namespace {

// Characters converted per call: few enough that their bytes always fit a
// buffer of 8 or more once they are measured, halved as needed.
constexpr int kGroup = 64;

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// `count` characters from `text`, or one more or one fewer where the count
// would split a surrogate pair, which converts as one character.
int WholeCharacters(const wchar_t *text, int count)
{
    if (IsHighSurrogate(text[count - 1]) && IsLowSurrogate(text[count])) {
        return count > 1 ? count - 1 : 2;
    }
    return count;
}

}  // namespace

std::size_t NarrowSome(WideText &text, char *narrow, std::size_t capacity)
{
    std::size_t written = 0;
    while (written < capacity && *text.next != L'\0') {
        int count = 0;
        while (count < kGroup && text.next[count] != L'\0') {
            ++count;
        }
        for (;;) {
            count = WholeCharacters(text.next, count);
            const int size =
                WideCharToMultiByte(CP_ACP, 0, text.next, count, nullptr, 0, nullptr, nullptr);
            if (size <= 0) {
                return written;  // a conversion that fails ends the text there
            }
            if (static_cast<std::size_t>(size) <= capacity - written) {
                WideCharToMultiByte(CP_ACP, 0, text.next, count, narrow + written, size, nullptr,
                                    nullptr);
                written += static_cast<std::size_t>(size);
                text.next += count;
                break;
            }
            if (count <= 2) {
                return written;  // the next call starts with room for it
            }
            count /= 2;
        }
    }
    return written;
}

void WidenText(const char *narrow, std::size_t length, wchar_t *wide)
{
    // Every byte of a result text is ASCII, one character in any code page.
    wide[0] = L'\0';
    const int count = MultiByteToWideChar(CP_ACP, 0, narrow, static_cast<int>(length), wide,
                                          static_cast<int>(length));
    wide[count > 0 ? count : 0] = L'\0';
}

#else

std::size_t NarrowSome(WideText &text, char *narrow, std::size_t capacity)
{
    // Measured first, the characters convert in a loop the compiler can
    // vectorise.
    const wchar_t *const wide = text.next;
    const std::size_t count = wcsnlen(wide, capacity);
    for (std::size_t i = 0; i < count; ++i) {
        const auto code = static_cast<std::uint32_t>(wide[i]);
        narrow[i] = static_cast<char>(code <= 0xFF ? code : std::uint32_t{'?'});
    }
    text.next = wide + count;
    return count;
}

void WidenText(const char *narrow, std::size_t length, wchar_t *wide)
{
    for (std::size_t i = 0; i < length; ++i) {
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(narrow[i]));
    }
    wide[length] = L'\0';
}

#endif

}  // namespace kelvaro
