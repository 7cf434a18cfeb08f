#include <kelvaro/calculator_rpn.h>
#include <kelvaro/rpn.h>

#include "engine/piecewise_run.h"
#include "export/console.h"
#include "export/text_conversion.h"

#include <cstring>
#include <cwchar>

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
    ended = text.next == text.end;
    return count;
}

// Writes the failure's message line and ends the process: an invalid
// character's names the byte at `offset` in the `length` bytes at `text`.
[[noreturn]] void Fail(kelvaro_rpn_status status, const char *text, std::size_t length,
                       std::size_t offset)
{
    // Hosts have only ever seen the overflow's message for memory that runs
    // out; the exit status is the same.
    const kelvaro_rpn_outcome outcome{
        status == KELVARO_RPN_OUT_OF_MEMORY ? KELVARO_RPN_STACK_OVERFLOW : status, 0, offset};
    char line[KELVARO_RPN_MESSAGE_SIZE];
    kelvaro::WriteToStdout(nullptr, line,
                           kelvaro_rpn_format_message(&outcome, text, length, line, sizeof line));
    kelvaro::FatalStop(kelvaro_rpn_exit_status(status));
}

}  // namespace

extern "C" wchar_t *KELVARO_RPN_CALL CalculatorRPN(const wchar_t *expression)
{
    using namespace kelvaro;

    const wchar_t *const wide = expression != nullptr ? expression : L"";
    WideText text{wide, wide + std::wcslen(wide)};
    char buffer[kWorkBufferSize];
    const std::size_t filled = NarrowSome(text, buffer, sizeof buffer);
    const kelvaro_rpn_listing listing{WriteToStdout, nullptr, nullptr};
    kelvaro_rpn_outcome outcome;
    if (text.next == text.end) {  // the whole text is in the buffer
        if (kelvaro_rpn_evaluate_listing(buffer, filled, &listing, &outcome) != KELVARO_RPN_OK) {
            Fail(outcome.status, buffer, filled, outcome.offset);
        }
    } else {
        const PiecewiseOutcome result = EvaluatePiecewise(TextSource{ReadWide, &text}, buffer,
                                                          sizeof buffer, filled, false, listing);
        if (result.outcome.status != KELVARO_RPN_OK) {
            Fail(result.outcome.status, &result.failedByte, 1, 0);
        }
        outcome = result.outcome;
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
