// Feeds arbitrary wide text to the exported CalculatorRPN: every wchar_t value
// (beyond U+10FFFF, surrogates, negative ones), any length.
#include "fatal_stop_seam.h"
#include "outcome_checks.h"
#include "output_capture.h"

#include "engine/evaluator.h"
#include "engine/number_text.h"
#include "engine/value_stack.h"

#include <kelvaro/calculator_rpn.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

using namespace kelvaro_fuzz;

namespace {

constexpr std::uint32_t kLastAscii = 0x7F;

// The result buffer's address, from the first call that returned.
const wchar_t *firstAddress = nullptr;

// A wchar_t as an unsigned code: negative ones land far beyond U+10FFFF.
std::uint32_t CodeOf(wchar_t c)
{
    return static_cast<std::uint32_t>(c);
}

// The engine's view of `wide` as the library documents it: U+0001..U+00FF
// become the byte of the same value, anything else '?'.
std::string NarrowAsDocumented(const wchar_t *wide)
{
    std::string narrow;
    for (; *wide != L'\0'; ++wide) {
        const std::uint32_t code = CodeOf(*wide);
        narrow += code <= 0xFF ? static_cast<char>(code) : '?';
    }
    return narrow;
}

// The returned text as 8-bit text; a character beyond ASCII becomes '\x7f' so
// that IsValueText rejects it.
std::string ReturnedText(const wchar_t *returned)
{
    std::string text;
    for (std::size_t i = 0; i < kelvaro::kMaxFixedText && returned[i] != L'\0'; ++i) {
        const std::uint32_t code = CodeOf(returned[i]);
        text += code < kLastAscii ? static_cast<char>(code) : '\x7f';
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/)
{
    StartCapture();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::size_t count = size / sizeof(wchar_t);
    const std::unique_ptr<wchar_t[]> wide(new wchar_t[count + 1]);
    std::memcpy(wide.get(), data, count * sizeof(wchar_t));
    wide[count] = L'\0';
    const std::string narrow = NarrowAsDocumented(wide.get());

    Outcome outcome;
    const wchar_t *returned = nullptr;
    ClearCapture();
    try {
        returned = CalculatorRPN(wide.get());
    } catch (const FatalStopped &stop) {
        outcome.stopped = true;
        outcome.stop = stop;
    }
    outcome.output = CapturedOutput();
    Require(kelvaro::StackCount() == 0, "values left on the stack", narrow, outcome);

    std::string text;
    if (!outcome.stopped) {
        if (firstAddress == nullptr) {
            firstAddress = returned;
        }
        Require(returned == firstAddress, "the result buffer moved", narrow, outcome);
        text = ReturnedText(returned);
        Require(IsValueText(text) && text.size() == std::wcslen(returned),
                "malformed returned text", narrow, outcome);
    }
    CheckOutput(narrow, outcome, outcome.stopped ? nullptr : &text);

    // The export adds nothing but the conversions and the result line to
    // what the evaluator does with the converted text.
    Outcome direct;
    kelvaro::Value value = 0;
    ClearCapture();
    try {
        kelvaro::EvaluateExpression(value, narrow.c_str());
    } catch (const FatalStopped &stop) {
        direct.stopped = true;
        direct.stop = stop;
    }
    direct.output = CapturedOutput();
    if (!direct.stopped) {
        char formatted[kelvaro::kMaxFixedText];
        const std::size_t length = kelvaro::FormatFixed(formatted, value);
        Require(std::string_view(formatted, length) == text,
                "the returned text differs from the evaluator's result", narrow, outcome);
        direct.output += "result = " + text + "\n";
    }
    Require(direct.stopped == outcome.stopped &&
                (!direct.stopped || direct.stop.status == outcome.stop.status) &&
                direct.output == outcome.output,
            "the export and the evaluator disagree on the converted text", narrow, outcome);
    return 0;
}
