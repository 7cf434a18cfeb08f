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
static_assert(sizeof(wchar_t) == 4, "four characters to a 16-byte register");

const __m128i *Vectors(const wchar_t *wide)
{
    return reinterpret_cast<const __m128i *>(wide);
}

// Whether none of the characters in `vector` is above 0xFF.
bool AllNarrow(__m128i vector)
{
    const __m128i high = _mm_and_si128(vector, _mm_set1_epi32(~0xFF));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(high, _mm_setzero_si128())) == 0xFFFF;
}

// Converts 16 (or 8) characters at `wide` when none of them is above 0xFF;
// the saturating packs keep such values as they are.
bool Narrow16(const wchar_t *wide, char *narrow)
{
    const __m128i a = _mm_loadu_si128(Vectors(wide));
    const __m128i b = _mm_loadu_si128(Vectors(wide) + 1);
    const __m128i c = _mm_loadu_si128(Vectors(wide) + 2);
    const __m128i d = _mm_loadu_si128(Vectors(wide) + 3);
    if (!AllNarrow(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d)))) {
        return false;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i *>(narrow),
                     _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d)));
    return true;
}

bool Narrow8(const wchar_t *wide, char *narrow)
{
    const __m128i a = _mm_loadu_si128(Vectors(wide));
    const __m128i b = _mm_loadu_si128(Vectors(wide) + 1);
    if (!AllNarrow(_mm_or_si128(a, b))) {
        return false;
    }
    const __m128i words = _mm_packs_epi32(a, b);
    _mm_storel_epi64(reinterpret_cast<__m128i *>(narrow), _mm_packus_epi16(words, words));
    return true;
}

// Converts the `count` characters at `wide` a block at a time while every
// character in the block is below 0x100, as in nearly every host's text;
// returns how many were converted, the rest is left to the caller. The last
// block may overlap the one before it, so that no text of 8 or more
// characters needs a character at a time: the bytes written twice are the
// same.
std::size_t NarrowBlocks(const wchar_t *wide, std::size_t count, char *narrow)
{
    if (count < 16) {
        if (count < 8 || !Narrow8(wide, narrow)) {
            return 0;
        }
        return Narrow8(wide + count - 8, narrow + count - 8) ? count : 8;
    }
    std::size_t i = 0;
    for (; count - i >= 16; i += 16) {
        if (!Narrow16(wide + i, narrow + i)) {
            return i;
        }
    }
    if (i == count) {
        return count;
    }
    const bool last = count - i <= 8 ? Narrow8(wide + count - 8, narrow + count - 8)
                                     : Narrow16(wide + count - 16, narrow + count - 16);
    return last ? count : i;
}

// Widens 8 bytes at `narrow` into 8 characters at `wide`.
void Widen8(const char *narrow, wchar_t *wide)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i words =
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(narrow)), zero);
    auto *const out = reinterpret_cast<__m128i *>(wide);
    _mm_storeu_si128(out, _mm_unpacklo_epi16(words, zero));
    _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(words, zero));
}

// Widens the `length` bytes at `narrow` 8 at a time, the last 8 overlapping
// the ones before where the length is not a multiple; returns how many were
// widened.
std::size_t WidenBlocks(const char *narrow, std::size_t length, wchar_t *wide)
{
    if (length < 8) {
        return 0;
    }
    for (std::size_t i = 0; i + 8 < length; i += 8) {
        Widen8(narrow + i, wide + i);
    }
    Widen8(narrow + length - 8, wide + length - 8);
    return length;
}
#else
std::size_t NarrowBlocks(const wchar_t * /*wide*/, std::size_t /*count*/, char * /*narrow*/)
{
    return 0;
}

std::size_t WidenBlocks(const char * /*narrow*/, std::size_t /*length*/, wchar_t * /*wide*/)
{
    return 0;
}
#endif

}  // namespace

std::size_t NarrowSome(WideText &text, char *narrow, std::size_t capacity)
{
    const wchar_t *const wide = text.next;
    const std::size_t count = std::min(capacity, static_cast<std::size_t>(text.end - wide));
    for (std::size_t i = NarrowBlocks(wide, count, narrow); i < count; ++i) {
        narrow[i] = NarrowCharacter(wide[i]);
    }
    text.next = wide + count;
    return count;
}

void WidenText(const char *narrow, std::size_t length, wchar_t *wide)
{
    for (std::size_t i = WidenBlocks(narrow, length, wide); i < length; ++i) {
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(narrow[i]));
    }
    wide[length] = L'\0';
}

#endif

}  // namespace kelvaro
