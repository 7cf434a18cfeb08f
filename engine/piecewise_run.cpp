#include "engine/piecewise_run.h"

#include "engine/evaluator.h"
#include "engine/number_text.h"
#include "engine/token_scan.h"
#include "engine/value_stack.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace kelvaro {
namespace {

// The caller's buffer over the source: bytes [start, filled) are read but
// not yet evaluated, and buffer[0] lies at offset `base` in the text.
struct Reader {
    TextSource source;
    char *buffer;
    std::size_t capacity;
    std::size_t start = 0;
    std::size_t filled = 0;
    std::size_t base = 0;
    bool ended = false;

    // Moves the unread bytes to the front and reads until the buffer is full
    // or the text has ended.
    void Fill()
    {
        if (start > 0) {
            std::memmove(buffer, buffer + start, filled - start);
            base += start;
            filled -= start;
            start = 0;
        }
        while (!ended && filled < capacity) {
            const std::size_t count =
                source.read(source.context, buffer + filled, capacity - filled, ended);
            filled += count;
            if (count == 0) {
                break;  // what comes next needs more room than is left
            }
        }
    }

    // The byte `ahead` places after the first unread one, or -1 past the end.
    int Peek(std::size_t ahead)
    {
        if (start + ahead >= filled) {
            Fill();
            if (start + ahead >= filled) {
                return -1;
            }
        }
        return static_cast<unsigned char>(buffer[start + ahead]);
    }

    void Skip(std::size_t count) { start += count; }

    const unsigned char *At(std::size_t index) const
    {
        return reinterpret_cast<const unsigned char *>(buffer) + index;
    }

    std::size_t Offset() const { return base + start; }
};

// Reads through the first space or tab, or to the end: the rest of a token.
void SkipToken(Reader &reader)
{
    for (;;) {
        const unsigned char *const end = reader.At(reader.filled);
        const unsigned char *const tokenEnd = TokenEnd(reader.At(reader.start), end);
        if (tokenEnd < end) {
            reader.start = static_cast<std::size_t>(tokenEnd - reader.At(0)) + 1;
            return;
        }
        reader.start = reader.filled;
        reader.Fill();
        if (reader.filled == 0) {
            return;
        }
    }
}

// A number token longer than the buffer, read from the source as ReadNumber
// would read it and written back short enough to evaluate: "[-]0.DDD...e<X>"
// with the first kMaxSignificantDigits significant digits, and a 1 after them
// when a dropped digit was not 0, which decides the same double.
constexpr std::size_t kFoldedSize = kMaxSignificantDigits + 32;

// Writes "e" and `exponent`, brought within kExponentCap, at `out`; returns
// the length.
std::size_t WriteExponent(char *out, std::int64_t exponent)
{
    std::size_t length = 0;
    exponent = std::clamp<std::int64_t>(exponent, -kExponentCap, kExponentCap);
    out[length++] = 'e';
    if (exponent < 0) {
        out[length++] = '-';
        exponent = -exponent;
    }
    char reversed[std::numeric_limits<std::int64_t>::digits10 + 1];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + exponent % 10);
        exponent /= 10;
    } while (exponent != 0);
    while (count > 0) {
        out[length++] = reversed[--count];
    }
    return length;
}

// What FoldNumber keeps of a number as ScanNumberSyntax reads it, written
// straight into `out`: the leading zeros only move the point, and the digits
// after the first kMaxSignificantDigits only say whether any was not 0.
struct NumberFold {
    char *out;
    std::size_t length = 2;  // after "0."
    int kept = 0;
    bool dropped = false;
    std::int64_t exponent = 0;  // the value is 0.DDD... times 10^exponent
    bool negativeExponent = false;
    std::int64_t written = 0;

    // Always before any digit, so nothing written yet moves.
    void Negative()
    {
        out[0] = '-';
        out[1] = '0';
        out[2] = '.';
        length = 3;
    }
    void Digit(int digit, bool integerPart)
    {
        if (kept == 0 && digit == 0) {
            exponent -= integerPart ? 0 : 1;
            return;
        }
        if (kept < kMaxSignificantDigits) {
            out[length++] = static_cast<char>('0' + digit);
            ++kept;
        } else {
            dropped = dropped || digit != 0;
        }
        if (integerPart) {
            ++exponent;  // a text's length fits easily, whatever it is
        }
    }
    void IntegerDigit(int digit) { Digit(digit, true); }
    void FractionDigit(int digit) { Digit(digit, false); }
    void ExponentSign(bool isNegative) { negativeExponent = isNegative; }
    void ExponentDigit(int digit)
    {
        if (written < kMaxLongExponent) {
            written = written * 10 + digit;
        }
    }
};

std::size_t FoldNumber(Reader &reader, char *out)
{
    out[0] = '0';
    out[1] = '.';
    NumberFold fold{out};
    ScanNumberSyntax(reader, fold);
    if (fold.kept == 0) {
        return fold.length - 1;  // "0" or "-0"
    }
    if (fold.dropped) {
        out[fold.length++] = '1';
    }
    const std::int64_t exponent =
        fold.exponent + (fold.negativeExponent ? -fold.written : fold.written);
    return fold.length + WriteExponent(out + fold.length, exponent);
}

struct Run {
    ValueStack &stack;
    const kelvaro_rpn_listing &listing;
    PiecewiseOutcome result{};

    // Runs one piece of the text, which starts at `offset` in it; on a
    // failure keeps its outcome, the offset made the whole text's.
    bool Piece(const char *piece, std::size_t length, std::size_t offset)
    {
        const kelvaro_rpn_outcome outcome = RunTokens(stack, piece, length, &listing);
        if (outcome.status == KELVARO_RPN_OK) {
            return true;
        }
        result.outcome = outcome;
        result.outcome.offset += offset;
        result.failedByte = piece[outcome.offset];
        return false;
    }
};

// The first unread token is longer than the buffer: a number is folded, and
// of any other token only its first byte counts. On success the reader goes
// on after the token.
bool RunLongToken(Reader &reader, Run &run)
{
    const std::size_t offset = reader.Offset();
    reader.Peek(1);  // a '-' needs the byte after it to tell
    if (StartsNumber(reader.At(reader.start), reader.At(reader.filled))) {
        char folded[kFoldedSize];
        const std::size_t length = FoldNumber(reader, folded);
        if (!run.Piece(folded, length, offset)) {
            return false;
        }
    } else {
        if (!run.Piece(reader.buffer + reader.start, 1, offset)) {
            return false;
        }
        ++reader.start;
    }
    SkipToken(reader);
    return true;
}

// The text did not fit the buffer: evaluate it piece by piece, each piece
// ending after a space or tab so that the next one starts at a token.
void RunPieces(Reader &reader, Run &run)
{
    for (;;) {
        const char *unread = reader.buffer + reader.start;
        const std::size_t count = reader.filled - reader.start;
        if (reader.ended) {
            if (count > 0 && !run.Piece(unread, count, reader.Offset())) {
                return;
            }
            reader.start = reader.filled;
            break;
        }
        std::size_t end = count;
        while (end > 0 && !IsSeparator(static_cast<unsigned char>(unread[end - 1]))) {
            --end;
        }
        if (end > 0) {
            if (!run.Piece(unread, end, reader.Offset())) {
                return;
            }
            reader.start += end;
        } else if (!RunLongToken(reader, run)) {
            return;
        }
        reader.Fill();
    }
    if (run.stack.depth == 0) {
        run.result.outcome = kelvaro_rpn_outcome{KELVARO_RPN_STACK_UNDERFLOW, 0, reader.Offset()};
    } else {
        run.result.outcome = kelvaro_rpn_outcome{KELVARO_RPN_OK,
                                                 run.stack.values[run.stack.depth - 1], 0};
    }
}

// A text that ends within the buffer, in one go.
PiecewiseOutcome EvaluateWhole(const char *text, std::size_t length,
                               const kelvaro_rpn_listing &listing)
{
    ValueStack stack;
    ResetStack(stack);
    PiecewiseOutcome result{EvaluateExpression(stack, text, length, &listing), 0};
    if (result.outcome.offset < length) {
        result.failedByte = text[result.outcome.offset];
    }
    return result;
}

// Out of line, so that a short text's call sets up nothing of this.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
PiecewiseOutcome EvaluateLongText(Reader &reader, const kelvaro_rpn_listing &listing)
{
    reader.Fill();
    if (reader.ended) {
        return EvaluateWhole(reader.buffer, reader.filled, listing);
    }
    // On the heap, so that the call's own stack stays as small as a short
    // text's.
    const std::unique_ptr<ValueStack> stack(new (std::nothrow) ValueStack);
    if (stack == nullptr) {
        return PiecewiseOutcome{kelvaro_rpn_outcome{KELVARO_RPN_OUT_OF_MEMORY, 0, 0}, 0};
    }
    ResetStack(*stack);
    Run run{*stack, listing};
    RunPieces(reader, run);
    return run.result;
}

}  // namespace

PiecewiseOutcome EvaluatePiecewise(TextSource source, char *buffer, std::size_t capacity,
                                   std::size_t filled, bool ended,
                                   const kelvaro_rpn_listing &listing)
{
    if (ended) {
        return EvaluateWhole(buffer, filled, listing);
    }
    Reader reader{source, buffer, capacity};
    reader.filled = filled;
    return EvaluateLongText(reader, listing);
}

}  // namespace kelvaro
