#include <kelvaro/calculator_rpn.h>
#include <kelvaro/rpn.h>

#include "export/console.h"
#include "export/fatal_stop.h"
#include "export/legacy_run.h"
#include "export/text_conversion.h"

#include <cstring>

namespace {

// Texts up to this many bytes are evaluated in one go on the call's own
// stack; longer ones in pieces of this size, so memory never grows with the
// text.
constexpr std::size_t kWorkBufferSize = 4096;

// "%f" of -DBL_MAX is 317 characters; every call overwrites this, and hosts
// get its address back.
constexpr std::size_t kResultBufferSize = 320;
wchar_t ResultBuffer[kResultBufferSize];

constexpr char kResultPrefix[] = "result = ";
constexpr std::size_t kResultPrefixLength = sizeof kResultPrefix - 1;
constexpr int kDecimals = 6;

std::size_t ReadWide(void *context, char *buffer, std::size_t capacity, bool &ended)
{
    auto &text = *static_cast<kelvaro::WideText *>(context);
    const std::size_t count = kelvaro::NarrowSome(text, buffer, capacity);
    ended = *text.next == L'\0';
    return count;
}

}  // namespace

extern "C" wchar_t *KELVARO_RPN_CALL CalculatorRPN(const wchar_t *expression)
{
    using namespace kelvaro;

    WideText text{expression != nullptr ? expression : L""};
    char WorkBuffer[kWorkBufferSize];
    kelvaro_rpn_outcome outcome{};
    if (RunLegacy(TextSource{ReadWide, &text}, WorkBuffer, sizeof WorkBuffer, WriteToStdout,
                  nullptr, &outcome) != KELVARO_RPN_OK) {
        FatalStop(kelvaro_rpn_exit_status(outcome.status));
    }

    // "result = %f\n" in one write; the value in it is the returned text.
    char line[kResultPrefixLength + KELVARO_RPN_FIXED_SIZE + 1];
    std::memcpy(line, kResultPrefix, kResultPrefixLength);
    char *const value = line + kResultPrefixLength;
    const std::size_t length = kelvaro_rpn_format_fixed(outcome.value, kDecimals, value,
                                                        KELVARO_RPN_FIXED_SIZE);
    value[length] = '\n';
    WriteToStdout(nullptr, line, kResultPrefixLength + length + 1);
    WidenText(value, length, ResultBuffer);
    return ResultBuffer;
}
