// The notation's tokens, for every reader of a text: the evaluator, the
// compiler and the checker all step through a text with these, so that they
// agree byte for byte on where a token starts, whether it is a number, where
// the number ends and what tail its token drags after it.
//
// A token starts at the first byte and after every space or tab; only its
// first byte counts, and a number's own bytes (as ReadNumber takes them).
#ifndef KELVARO_ENGINE_TOKEN_SCAN_H
#define KELVARO_ENGINE_TOKEN_SCAN_H

#include "engine/number_text.h"

namespace kelvaro {

inline bool IsSeparator(unsigned char c)
{
    return c == ' ' || c == '\t';
}

// Whether the token starting at `p` is a number: a digit, or '-' right
// before one.
inline bool StartsNumber(const unsigned char *p, const unsigned char *end)
{
    return IsDigit(*p) || (*p == '-' && p + 1 < end && IsDigit(p[1]));
}

// Reads the number whose token starts at `p` into `value`; returns where the
// number ends, the start of its token's tail.
inline const unsigned char *ScanNumber(const unsigned char *p, const unsigned char *end,
                                       Value &value)
{
    return reinterpret_cast<const unsigned char *>(ReadNumber(
        reinterpret_cast<const char *>(p), reinterpret_cast<const char *>(end), value));
}

// Where the number whose token starts at `p` ends, its value unread.
inline const unsigned char *NumberEnd(const unsigned char *p, const unsigned char *end)
{
    return reinterpret_cast<const unsigned char *>(
        NumberEnd(reinterpret_cast<const char *>(p), reinterpret_cast<const char *>(end)));
}

// Where the token whose bytes go on at `p` ends: at the first space or tab,
// or at `end`. The bytes from `p` to there are the token's tail.
inline const unsigned char *TokenEnd(const unsigned char *p, const unsigned char *end)
{
    while (p < end && !IsSeparator(*p)) {
        ++p;
    }
    return p;
}

// Where the token after the one whose bytes continue at `p` starts: right
// after the first space or tab from `p` on. Every byte on the way is skipped,
// as the scanning rule skips any byte that does not follow a space or tab.
inline const unsigned char *NextTokenStart(const unsigned char *p, const unsigned char *end)
{
    p = TokenEnd(p, end);
    return p < end ? p + 1 : end;
}

}  // namespace kelvaro

#endif
