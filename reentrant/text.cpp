// Numbers and failures as text.
#include <kelvaro/rpn.h>

#include "engine/number_text.h"
#include "engine/output_lines.h"

#include <cstring>

static_assert(KELVARO_RPN_FIXED_SIZE >= kelvaro::kMaxDecimalsText &&
                  KELVARO_RPN_SHORTEST_SIZE >= kelvaro::kMaxShortestText,
              "the public sizes hold every text and its NUL");

namespace {

// snprintf's contract for a text already formatted: copies what fits of the
// `length` bytes at `text` and a NUL into `buffer`, returns `length`.
std::size_t CopyOut(const char *text, std::size_t length, char *buffer, std::size_t size)
{
    if (size == 0 || buffer == nullptr) {
        return length;
    }
    const std::size_t copied = length < size ? length : size - 1;
    std::memcpy(buffer, text, copied);
    buffer[copied] = '\0';
    return length;
}

// kelvaro_rpn_format_fixed into a buffer that may be too small: through a
// text of its own, in a call of its own, so that the common call with room
// enough sets up no such text.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
std::size_t FormatFixedCopied(double value, int decimals, char *buffer, std::size_t size)
{
    char text[kelvaro::kMaxDecimalsText];
    return CopyOut(text, kelvaro::FormatDecimals(text, value, decimals), buffer, size);
}

// A caller may store any number in a status; reading it as the enumeration
// would be undefined for numbers outside it, so its bytes are read as an int.
int StatusNumber(const kelvaro_rpn_status &status)
{
    static_assert(sizeof(kelvaro_rpn_status) == sizeof(int), "statuses are stored as int");
    int number = 0;
    std::memcpy(&number, &status, sizeof number);
    return number;
}

}  // namespace

extern "C" size_t kelvaro_rpn_format_fixed(double value, int decimals, char *buffer, size_t size)
{
    if (decimals < 0 || decimals > KELVARO_RPN_MAX_DECIMALS) {
        return CopyOut("", 0, buffer, size);
    }
    if (buffer != nullptr && size >= kelvaro::kMaxDecimalsText) {
        // Room for any text: write it in place.
        const std::size_t length = kelvaro::FormatDecimals(buffer, value, decimals);
        buffer[length] = '\0';
        return length;
    }
    return FormatFixedCopied(value, decimals, buffer, size);
}

extern "C" void kelvaro_rpn_listing_lines(char command, const double *values, size_t count, int decimals,
                                          void (*line)(void *, const char *, size_t), void *context)
{
    static_assert(KELVARO_RPN_SHORTEST == kelvaro::kShortestDecimals, "one number for the shortest text");
    if (line != nullptr && (values != nullptr || count == 0)) {
        kelvaro::WriteListingLines(line, context, command, values, count, decimals);
    }
}

extern "C" size_t kelvaro_rpn_format_shortest(double value, char *buffer, size_t size)
{
    char text[kelvaro::kMaxShortestText];
    return CopyOut(text, kelvaro::FormatShortest(text, value), buffer, size);
}

extern "C" size_t kelvaro_rpn_format_message(const kelvaro_rpn_outcome *outcome, const char *text,
                                             size_t length, char *buffer, size_t size)
{
    if (outcome == nullptr) {
        return CopyOut("", 0, buffer, size);
    }
    unsigned char byte = '?';
    if (text != nullptr && outcome->offset < length) {
        byte = static_cast<unsigned char>(text[outcome->offset]);
    }
    char line[kelvaro::kMaxLineLength];
    return CopyOut(line, kelvaro::FormatFailureLine(line, StatusNumber(outcome->status), byte),
                   buffer, size);
}

extern "C" const char *kelvaro_rpn_status_name(kelvaro_rpn_status status)
{
    switch (StatusNumber(status)) {
    case KELVARO_RPN_OK: return "ok";
    case KELVARO_RPN_INVALID_CHARACTER: return "invalid character";
    case KELVARO_RPN_STACK_UNDERFLOW: return "stack underflow";
    case KELVARO_RPN_STACK_OVERFLOW: return "stack overflow";
    case KELVARO_RPN_OUT_OF_MEMORY: return "out of memory";
    default: return "unknown status";
    }
}

extern "C" int kelvaro_rpn_exit_status(kelvaro_rpn_status status)
{
    switch (StatusNumber(status)) {
    case KELVARO_RPN_OK: return 0;
    case KELVARO_RPN_STACK_OVERFLOW:
    case KELVARO_RPN_OUT_OF_MEMORY: return -1;
    default: return 1;
    }
}

extern "C" const char *kelvaro_rpn_warning_name(kelvaro_rpn_warning_kind kind)
{
    // Read as an int for the same reason as a status: any number may arrive.
    static_assert(sizeof(kelvaro_rpn_warning_kind) == sizeof(int), "kinds are stored as int");
    int number = 0;
    std::memcpy(&number, &kind, sizeof number);
    switch (number) {
    case KELVARO_RPN_WARNING_COMMAND_TAIL: return "command tail";
    case KELVARO_RPN_WARNING_NUMBER_TAIL: return "number tail";
    case KELVARO_RPN_WARNING_VALUES_LEFT: return "values left";
    default: return "unknown warning";
    }
}
