#include "wide_text.h"

#include "export/text_conversion.h"

#include <cstdint>
#include <cwchar>

namespace kelvaro_fuzz {
namespace {

constexpr std::uint32_t kLastByte = 0xFF;

// A wchar_t as an unsigned code: negative ones land far beyond U+10FFFF.
std::uint32_t CodeOf(wchar_t c)
{
    return static_cast<std::uint32_t>(c);
}

}  // namespace

std::string NarrowAsLibrary(const wchar_t *wide)
{
    kelvaro::WideText text{wide, wide + std::wcslen(wide)};
    std::string narrow;
    constexpr std::size_t kPieceSize = 13;  // an odd size, so pieces end anywhere
    char piece[kPieceSize];
    while (const std::size_t count = kelvaro::NarrowSome(text, piece, sizeof piece)) {
        narrow.append(piece, count);
    }
    return narrow;
}

std::string NarrowAsDocumented(const wchar_t *wide)
{
    std::string narrow;
    for (; *wide != L'\0'; ++wide) {
        const std::uint32_t code = CodeOf(*wide);
        narrow += code <= kLastByte ? static_cast<char>(code) : '?';
    }
    return narrow;
}

bool ReturnedTextIs(const wchar_t *returned, std::string_view expected)
{
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (CodeOf(returned[i]) != static_cast<unsigned char>(expected[i])) {
            return false;
        }
    }
    return returned[expected.size()] == L'\0';
}

}  // namespace kelvaro_fuzz
