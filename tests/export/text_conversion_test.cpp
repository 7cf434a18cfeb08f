// The export's conversions against a character-at-a-time reading of their
// rule, with the characters that do not fit a byte at every place a block
// of the conversion can hold them: short texts, texts around the block
// sizes, and texts longer than the buffer, converted a piece at a time.
#include "export/text_conversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#if !defined(_WIN32)  // on Windows the system's code page converts

namespace {

char Expected(wchar_t c)
{
    const auto code = static_cast<std::uint32_t>(c);
    return static_cast<char>(code <= 0xFF ? code : std::uint32_t{'?'});
}

std::string NarrowAll(const std::wstring &wide, std::size_t capacity)
{
    kelvaro::WideText text{wide.c_str(), wide.c_str() + wide.size()};
    std::string narrow;
    std::vector<char> buffer(capacity);
    while (text.next != text.end) {
        const wchar_t *const before = text.next;
        const std::size_t count = kelvaro::NarrowSome(text, buffer.data(), capacity);
        EXPECT_EQ(count, static_cast<std::size_t>(text.next - before));
        EXPECT_GT(count, 0u);
        if (count == 0) {
            break;
        }
        narrow.append(buffer.data(), count);
    }
    return narrow;
}

std::string Reference(const std::wstring &wide)
{
    std::string narrow;
    for (const wchar_t c : wide) {
        narrow += Expected(c);
    }
    return narrow;
}

// Characters that a careless conversion gets wrong: a wchar_t cut to its low
// byte ('1', ' ', '#'), one just above a byte, and the top of the range.
const wchar_t kWide[] = {L'\x0131', L'\x0120', L'\x0123', L'\x0100', L'\x20ac',
                         static_cast<wchar_t>(0x10FFFF), static_cast<wchar_t>(-1)};

TEST(TextConversionTest, NarrowsEveryPlaceOfEveryLength)
{
    std::vector<std::size_t> lengths;
    for (std::size_t length = 1; length <= 70; ++length) {
        lengths.push_back(length);
    }
    for (const std::size_t capacity : {std::size_t{8}, std::size_t{13}, std::size_t{4096}}) {
        for (const std::size_t length : lengths) {
            for (std::size_t at = 0; at < length; ++at) {
                for (const wchar_t c : kWide) {
                    std::wstring text(length, L'\x00e9');
                    for (std::size_t i = 0; i < length; ++i) {
                        text[i] = static_cast<wchar_t>(L'0' + i % 10 + (i % 3 == 0 ? 0x80 : 0));
                    }
                    text[at] = c;
                    ASSERT_EQ(NarrowAll(text, capacity), Reference(text))
                        << "length " << length << ", at " << at << ", capacity " << capacity;
                }
            }
        }
    }
}

TEST(TextConversionTest, NarrowsTextsAroundTheBufferInPieces)
{
    for (const std::size_t length : {4095, 4096, 4097, 4111, 4112, 4113, 9000}) {
        for (const std::size_t at : {std::size_t{0}, std::size_t{4079}, std::size_t{4088},
                                     std::size_t{4095}, length - 1}) {
            if (at >= length) {
                continue;
            }
            std::wstring text(length, L'7');
            text[at] = L'\x0131';
            ASSERT_EQ(NarrowAll(text, 4096), Reference(text)) << length << ", " << at;
        }
    }
}

TEST(TextConversionTest, WidensEveryLengthOfAResult)
{
    for (std::size_t length = 0; length <= 317; ++length) {
        std::string narrow(length, '0');
        for (std::size_t i = 0; i < length; ++i) {
            narrow[i] = static_cast<char>(i % 3 == 0 ? 0x80 + i % 100 : '0' + i % 10);
        }
        std::vector<wchar_t> wide(320, L'#');
        kelvaro::WidenText(narrow.data(), length, wide.data());
        for (std::size_t i = 0; i < length; ++i) {
            ASSERT_EQ(wide[i], static_cast<wchar_t>(static_cast<unsigned char>(narrow[i])))
                << length << ", " << i;
        }
        ASSERT_EQ(wide[length], L'\0') << length;
        if (length + 1 < wide.size()) {
            ASSERT_EQ(wide[length + 1], L'#') << "nothing after the NUL: " << length;
        }
    }
}

}  // namespace

#endif
