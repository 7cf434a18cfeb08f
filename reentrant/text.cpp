// Numbers and failures as text.
#include "reentrant/bridge.h"

#include "engine/number_text.h"
#include "engine/output_lines.h"

static_assert(KELVARO_RPN_FIXED_SIZE >= kelvaro::kMaxDecimalsText &&
                  KELVARO_RPN_SHORTEST_SIZE >= kelvaro::kMaxShortestText,
              "the public sizes hold every text and its NUL");

extern "C" size_t kelvaro_rpn_format_fixed(double value, int decimals, char *buffer, size_t size)
{
    if (decimals < 0 || decimals > kelvaro::kMaxDecimals) {
        return kelvaro::CopyOut("", 0, buffer, size);
    }
    char text[kelvaro::kMaxDecimalsText];
    return kelvaro::CopyOut(text, kelvaro::FormatDecimals(text, value, decimals), buffer, size);
}

extern "C" size_t kelvaro_rpn_format_shortest(double value, char *buffer, size_t size)
{
    char text[kelvaro::kMaxShortestText];
    return kelvaro::CopyOut(text, kelvaro::FormatShortest(text, value), buffer, size);
}

extern "C" size_t kelvaro_rpn_format_message(const kelvaro_rpn_outcome *outcome, const char *text,
                                             size_t length, char *buffer, size_t size)
{
    const auto status = static_cast<kelvaro::Status>(outcome->status);
    unsigned char byte = '?';
    if (text != nullptr && outcome->offset < length) {
        byte = static_cast<unsigned char>(text[outcome->offset]);
    }
    char line[kelvaro::kMaxLineLength];
    std::size_t lineLength = 0;
    if (status == kelvaro::Status::kInvalidCharacter ||
        status == kelvaro::Status::kStackUnderflow || status == kelvaro::Status::kStackOverflow) {
        lineLength = kelvaro::FormatFailureLine(line, status, byte);
    }
    return kelvaro::CopyOut(line, lineLength, buffer, size);
}

extern "C" const char *kelvaro_rpn_status_name(kelvaro_rpn_status status)
{
    switch (status) {
    case KELVARO_RPN_OK: return "ok";
    case KELVARO_RPN_INVALID_CHARACTER: return "invalid character";
    case KELVARO_RPN_STACK_UNDERFLOW: return "stack underflow";
    case KELVARO_RPN_STACK_OVERFLOW: return "stack overflow";
    }
    return "unknown status";
}
