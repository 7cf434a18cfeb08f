#include "export/text_conversion.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvaro {

#if defined(_WIN32)

namespace {

// Characters converted per call: few enough that their bytes always fit a
// buffer of 8 or more once they are measured, halved as needed.
constexpr int kGroup = 64;

// `count` characters from `text`, or one more or one fewer where the count
// would split a surrogate pair, which converts as one character.
int WholeCharacters(const wchar_t *text, int count)
{
    const bool high = text[count - 1] >= 0xD800 && text[count - 1] <= 0xDBFF;
    if (high && text[count] >= 0xDC00 && text[count] <= 0xDFFF) {
        return count > 1 ? count - 1 : 2;
    }
    return count;
}

}  // namespace

std::size_t NarrowSome(WideText &text, char *narrow, std::size_t capacity)
{
    std::size_t written = 0;
    while (written < capacity && text.next != text.end) {
        int count = static_cast<int>(std::min<std::ptrdiff_t>(kGroup, text.end - text.next));
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

namespace {

// U+0001..U+00FF as the byte of the same value, anything else as '?'.
char NarrowCharacter(wchar_t c)
{
    const auto code = static_cast<std::uint32_t>(c);
    return static_cast<char>(code <= 0xFF ? code : std::uint32_t{'?'});
}

#if defined(__SSE2__)
// The literals below are register and block widths and the byte's bound.
// NOLINTBEGIN(readability-magic-numbers)
static_assert(sizeof(wchar_t) == 4, "four characters to a 16-byte register");

// Converts 4 * kVectors characters (8 or 16) at `wide` when none of them is
// above 0xFF; the saturating packs keep such values as they are.
template <int kVectors>
bool NarrowBlock(const wchar_t *wide, char *narrow)
{
    const auto *const in = reinterpret_cast<const __m128i *>(wide);
    __m128i v[4];
    __m128i any = _mm_setzero_si128();
    for (int k = 0; k < kVectors; ++k) {
        v[k] = _mm_loadu_si128(in + k);
        any = _mm_or_si128(any, v[k]);
    }
    const __m128i high = _mm_and_si128(any, _mm_set1_epi32(~0xFF));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(high, _mm_setzero_si128())) != 0xFFFF) {
        return false;
    }
    const __m128i low = _mm_packs_epi32(v[0], v[1]);
    if constexpr (kVectors == 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(narrow),
                         _mm_packus_epi16(low, _mm_packs_epi32(v[2], v[3])));
    } else {
        _mm_storel_epi64(reinterpret_cast<__m128i *>(narrow), _mm_packus_epi16(low, low));
    }
    return true;
}

// Converts the `count` characters at `wide` a block at a time while no
// character in it is above 0xFF (nearly every host's text); returns how many.
// The last block may overlap the one before: no text of 8 or more characters
// needs a character at a time.
std::size_t NarrowBlocks(const wchar_t *wide, std::size_t count, char *narrow)
{
    std::size_t i = 0;
    while (count - i >= 16 && NarrowBlock<4>(wide + i, narrow + i)) {
        i += 16;
    }
    while (count - i > 8 && NarrowBlock<2>(wide + i, narrow + i)) {
        i += 8;
    }
    if (count < 8 || count - i > 8) {
        return i;  // too short for a block, or a block holds a wider character
    }
    return i == count || NarrowBlock<2>(wide + count - 8, narrow + count - 8) ? count : i;
}

// Widens the `length` bytes at `narrow` 8 at a time, the last 8 overlapping
// the ones before where the length is not a multiple; returns how many.
std::size_t WidenBlocks(const char *narrow, std::size_t length, wchar_t *wide)
{
    const auto widen8 = [narrow, wide](std::size_t at) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(narrow + at));
        const __m128i words = _mm_unpacklo_epi8(bytes, zero);
        auto *const out = reinterpret_cast<__m128i *>(wide + at);
        _mm_storeu_si128(out, _mm_unpacklo_epi16(words, zero));
        _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(words, zero));
    };
    if (length < 8) {
        return 0;
    }
    for (std::size_t i = 0; i + 8 < length; i += 8) {
        widen8(i);
    }
    widen8(length - 8);
    return length;
}
// NOLINTEND(readability-magic-numbers)
#endif

}  // namespace

std::size_t NarrowSome(WideText &text, char *narrow, std::size_t capacity)
{
    const wchar_t *const wide = text.next;
    const std::size_t count = std::min(capacity, static_cast<std::size_t>(text.end - wide));
    std::size_t i = 0;
#if defined(__SSE2__)
    i = NarrowBlocks(wide, count, narrow);
#endif
    for (; i < count; ++i) {
        narrow[i] = NarrowCharacter(wide[i]);
    }
    text.next = wide + count;
    return count;
}

void WidenText(const char *narrow, std::size_t length, wchar_t *wide)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    i = WidenBlocks(narrow, length, wide);
#endif
    for (; i < length; ++i) {
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(narrow[i]));
    }
    wide[length] = L'\0';
}

#endif

}  // namespace kelvaro
