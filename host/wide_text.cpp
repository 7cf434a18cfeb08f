#include "wide_text.h"

std::wstring WidenBytes(const std::string &bytes)
{
    std::wstring wide;
    wide.reserve(bytes.size());
    for (const char byte : bytes) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    }
    return wide;
}

std::string NarrowToBytes(const wchar_t *text)
{
    std::string bytes;
    for (const wchar_t *p = text; *p != L'\0'; ++p) {
        const auto code = static_cast<unsigned long>(*p);
        bytes += code <= 0xFF ? static_cast<char>(code) : '?';
    }
    return bytes;
}
