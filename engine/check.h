// Where a text probably does not say what it means: the bytes the scanning
// rule skips inside tokens, and values left below the result.
#ifndef KELVARO_ENGINE_CHECK_H
#define KELVARO_ENGINE_CHECK_H

#include <kelvaro/rpn.h>

#include "engine/token_scan.h"

#include <cstddef>

namespace kelvaro {

// The warnings of one text as a scan finds them, so that a scan that
// evaluates can check along the way.
struct TextChecker {
    const unsigned char *begin;  // the text's first byte: offsets count from it
    kelvaro_rpn_warning *out;
    std::size_t capacity;
    std::size_t count = 0;
    bool complete = false;  // every warning of the text is in: the rest adds none
    std::size_t *published = nullptr;  // given the count once it is complete (or NULL)

    void Add(kelvaro_rpn_warning_kind kind, std::size_t offset, std::size_t length)
    {
        if (count < capacity) {
            out[count] = kelvaro_rpn_warning{kind, offset, length};
        }
        ++count;
    }

    // The tail of a token whose own bytes end at `from` becomes a warning of
    // `kind` if it is not empty; returns where the next token starts.
    const unsigned char *Tail(kelvaro_rpn_warning_kind kind, const unsigned char *from,
                              const unsigned char *end)
    {
        const unsigned char *const tokenEnd = TokenEnd(from, end);
        if (tokenEnd > from && !complete) {
            Add(kind, static_cast<std::size_t>(from - begin),
                static_cast<std::size_t>(tokenEnd - from));
        }
        return tokenEnd < end ? tokenEnd + 1 : end;
    }

    // The tokens from the token start `p` on, from a stack `depth` deep that
    // has `failed` or not yet; then the values left, if it has not.
    void Rest(const unsigned char *p, const unsigned char *end, std::size_t depth, bool failed);

    // Before the listing at the token start `p`, on a stack `depth` deep that
    // started empty: the rest of the text is checked ahead, so that a host
    // can say the warnings before what the text lists.
    void BeforeListing(const unsigned char *p, const unsigned char *end, std::size_t depth)
    {
        if (!complete) {
            Rest(p, end, depth, false);
            complete = true;
            if (published != nullptr) {
                *published = count;
            }
        }
    }
};

// Writes up to `capacity` warnings, in text order, and returns how many the
// text has. A text that fails is checked to its end all the same; it leaves
// no values, so it gets no VALUES_LEFT warning.
std::size_t CheckText(const char *text, std::size_t length, kelvaro_rpn_warning *warnings,
                      std::size_t capacity);

}  // namespace kelvaro

#endif
