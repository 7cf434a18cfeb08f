#include "text_conversion.h"

#include <cstdint>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace kelvaro {

#if defined(_WIN32)

std::size_t NarrowSize(const wchar_t *wide)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    return size > 0 ? static_cast<std::size_t>(size) : 1;
}

std::size_t NarrowText(const wchar_t *wide, char *narrow, std::size_t size)
{
    // A conversion that writes nothing leaves the empty text.
    narrow[0] = '\0';
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, static_cast<int>(size), nullptr, nullptr);
    narrow[size - 1] = '\0';
    return std::strlen(narrow);
}

void WidenText(const char *narrow, wchar_t *wide, std::size_t capacity)
{
    wide[0] = L'\0';
    MultiByteToWideChar(CP_ACP, 0, narrow, -1, wide, static_cast<int>(capacity));
    wide[capacity - 1] = L'\0';
}

#else

std::size_t NarrowSize(const wchar_t *wide)
{
    return std::wcslen(wide) + 1;
}

std::size_t NarrowText(const wchar_t *wide, char *narrow, std::size_t size)
{
    // NarrowSize counted the characters, so the loop needs no NUL test and
    // the compiler can convert several characters at once.
    const std::size_t length = size - 1;
    for (std::size_t i = 0; i < length; ++i) {
        const auto code = static_cast<std::uint32_t>(wide[i]);
        narrow[i] = static_cast<char>(code <= 0xFF ? code : std::uint32_t{'?'});
    }
    narrow[length] = '\0';
    return length;
}

void WidenText(const char *narrow, wchar_t *wide, std::size_t capacity)
{
    std::size_t i = 0;
    for (; i + 1 < capacity && narrow[i] != '\0'; ++i) {
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(narrow[i]));
    }
    wide[i] = L'\0';
}

#endif

}  // namespace kelvaro
