#include "export/legacy_run.h"

#include "engine/number_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace kelvaro {
namespace {

bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t';
}

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

    std::size_t Offset() const { return base + start; }
};

// Reads through the first space or tab, or to the end: the rest of a token.
void SkipToken(Reader &reader)
{
    for (;;) {
        const void *separator = nullptr;
        for (std::size_t i = reader.start; i < reader.filled; ++i) {
            if (IsSeparator(reader.buffer[i])) {
                separator = reader.buffer + i;
                break;
            }
        }
        if (separator != nullptr) {
            reader.start = static_cast<std::size_t>(static_cast<const char *>(separator) -
                                                    reader.buffer) + 1;
            return;
        }
        reader.start = reader.filled;
        reader.Fill();
        if (reader.filled == 0) {
            return;
        }
    }
}

// A number token longer than the buffer, read from the source as the
// evaluator would read it and written back short enough to evaluate:
// "[-]0.DDD...e<X>" with the first kKeptDigits significant digits, and a 1
// after them when a dropped digit was not 0. Correctly rounded reading never
// needs more digits than that to decide the double, so the value is the
// one the whole text gives.
constexpr int kKeptDigits = kMaxSignificantDigits;
constexpr std::size_t kFoldedSize = kKeptDigits + 32;
// A written exponent stops growing here: still far beyond any digit count a
// text can make up for, and far from overflowing.
constexpr std::int64_t kWrittenCap = 1000000000000000;

// The exponent of a number, at the 'e' or 'E' first in the reader: when
// digits follow it (after a sign, if any), reads them and returns what they
// say, as far as kWrittenCap. Reads nothing and returns 0 otherwise.
std::int64_t ReadExponent(Reader &reader)
{
    const int sign = reader.Peek(1);
    const std::size_t digitsAt = sign == '+' || sign == '-' ? 2 : 1;
    if (!IsDigit(reader.Peek(digitsAt))) {
        return 0;
    }
    reader.start += digitsAt;
    std::int64_t written = 0;
    int c = 0;
    while (IsDigit(c = reader.Peek(0))) {
        if (written < kWrittenCap) {
            written = written * 10 + (c - '0');
        }
        ++reader.start;
    }
    return sign == '-' ? -written : written;
}

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

std::size_t FoldNumber(Reader &reader, char *out)
{
    std::size_t length = 0;
    if (reader.Peek(0) == '-') {
        out[length++] = '-';
        ++reader.start;
    }
    out[length++] = '0';
    out[length++] = '.';
    const std::size_t firstDigit = length;
    int kept = 0;
    bool dropped = false;
    std::int64_t exponent = 0;  // the value is 0.DDD... times 10^exponent
    const auto digit = [&](int c, bool integerPart) {
        if (kept == 0 && c == '0') {
            exponent -= integerPart ? 0 : 1;
            return;
        }
        if (kept < kKeptDigits) {
            out[length++] = static_cast<char>(c);
            ++kept;
        } else {
            dropped = dropped || c != '0';
        }
        if (integerPart) {
            ++exponent;  // a text's length fits easily, whatever it is
        }
    };
    int c = 0;
    while (IsDigit(c = reader.Peek(0))) {
        digit(c, true);
        ++reader.start;
    }
    if (c == '.') {
        ++reader.start;
        while (IsDigit(c = reader.Peek(0))) {
            digit(c, false);
            ++reader.start;
        }
    }
    if (c == 'e' || c == 'E') {
        exponent += ReadExponent(reader);
    }
    if (kept == 0) {
        return firstDigit - 1;  // "0" or "-0"
    }
    if (dropped) {
        out[length++] = '1';
    }
    return length + WriteExponent(out + length, exponent);
}

struct Run {
    LineWriter write;
    void *context;
    kelvaro_rpn_listing listing;

    // Reports a failure of the piece of text at `offset`: its message line,
    // and the offset made the whole text's.
    kelvaro_rpn_status Fail(kelvaro_rpn_outcome &outcome, const char *piece, std::size_t length,
                            std::size_t offset) const
    {
        char line[KELVARO_RPN_MESSAGE_SIZE];
        const std::size_t size = kelvaro_rpn_format_message(&outcome, piece, length, line, sizeof line);
        write(context, line, size);
        outcome.offset += offset;
        return outcome.status;
    }
};

// The first unread token is longer than the buffer: a number is folded, and
// of any other token only its first byte counts. On success the reader goes
// on after the token.
template <typename Evaluate>
kelvaro_rpn_status EvaluateLongToken(Reader &reader, const Evaluate &evaluate)
{
    const char *const unread = reader.buffer + reader.start;
    const std::size_t offset = reader.Offset();
    if (IsDigit(unread[0]) || (unread[0] == '-' && IsDigit(unread[1]))) {
        char folded[kFoldedSize];
        const std::size_t length = FoldNumber(reader, folded);
        if (const kelvaro_rpn_status status = evaluate(folded, length, offset);
            status != KELVARO_RPN_OK) {
            return status;
        }
    } else {
        if (const kelvaro_rpn_status status = evaluate(unread, 1, offset);
            status != KELVARO_RPN_OK) {
            return status;
        }
        ++reader.start;
    }
    SkipToken(reader);
    return KELVARO_RPN_OK;
}

// The text did not fit the buffer: evaluate it piece by piece, each piece
// ending after a space or tab so that the next one starts at a token.
kelvaro_rpn_status RunPieces(Reader &reader, const Run &run, kelvaro_rpn_calculator *calculator,
                             kelvaro_rpn_outcome &outcome)
{
    const auto evaluate = [&](const char *piece, std::size_t length, std::size_t offset) {
        if (kelvaro_rpn_calculator_evaluate(calculator, piece, length, &run.listing, &outcome) !=
            KELVARO_RPN_OK) {
            return run.Fail(outcome, piece, length, offset);
        }
        return KELVARO_RPN_OK;
    };
    for (;;) {
        const char *unread = reader.buffer + reader.start;
        const std::size_t count = reader.filled - reader.start;
        if (reader.ended) {
            if (count > 0 && evaluate(unread, count, reader.Offset()) != KELVARO_RPN_OK) {
                return outcome.status;
            }
            reader.start = reader.filled;
            break;
        }
        std::size_t end = count;
        while (end > 0 && !IsSeparator(unread[end - 1])) {
            --end;
        }
        if (end > 0) {
            if (evaluate(unread, end, reader.Offset()) != KELVARO_RPN_OK) {
                return outcome.status;
            }
            reader.start += end;
        } else if (EvaluateLongToken(reader, evaluate) != KELVARO_RPN_OK) {
            return outcome.status;
        }
        reader.Fill();
    }
    if (kelvaro_rpn_calculator_depth(calculator) == 0) {
        outcome = kelvaro_rpn_outcome{KELVARO_RPN_STACK_UNDERFLOW, 0, 0};
        return run.Fail(outcome, nullptr, 0, reader.Offset());
    }
    return KELVARO_RPN_OK;  // the last piece's outcome holds the top
}

}  // namespace

kelvaro_rpn_status RunLegacy(TextSource source, char *buffer, std::size_t capacity,
                             LineWriter write, void *context, kelvaro_rpn_outcome *outcome)
{
    const Run run{write, context, kelvaro_rpn_listing{write, nullptr, context}};
    Reader reader{source, buffer, capacity};
    reader.Fill();
    kelvaro_rpn_outcome result{};
    kelvaro_rpn_status status = KELVARO_RPN_OK;
    if (reader.ended) {
        if (kelvaro_rpn_evaluate_listing(buffer, reader.filled, &run.listing, &result) !=
            KELVARO_RPN_OK) {
            status = run.Fail(result, buffer, reader.filled, 0);
        }
    } else if (kelvaro_rpn_calculator *calculator = kelvaro_rpn_calculator_create()) {
        status = RunPieces(reader, run, calculator, result);
        kelvaro_rpn_calculator_destroy(calculator);
    } else {
        result = kelvaro_rpn_outcome{KELVARO_RPN_STACK_OVERFLOW, 0, 0};
        status = run.Fail(result, nullptr, 0, 0);
    }
    *outcome = result;
    return status;
}

}  // namespace kelvaro
