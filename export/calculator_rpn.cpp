#include <kelvaro/calculator_rpn.h>

#include "../engine/console.h"
#include "../engine/evaluator.h"
#include "../engine/number_text.h"
#include "text_conversion.h"

#include <cstring>
#include <memory>

namespace {

constexpr std::size_t kWorkBufferSize = 256;

// Every call overwrites it; hosts get its address back.
wchar_t ResultBuffer[kelvaro::kMaxFixedText];

}  // namespace

extern "C" wchar_t *KELVARO_RPN_CALL CalculatorRPN(const wchar_t *expression)
{
    using namespace kelvaro;

    const wchar_t *text = expression != nullptr ? expression : L"";

    // Expressions that fit stay on the call's stack; longer ones get exactly
    // the memory they need so nothing is cut.
    char WorkBuffer[kWorkBufferSize];
    std::unique_ptr<char[]> longExpression;
    char *narrow = WorkBuffer;
    const std::size_t size = NarrowSize(text);
    if (size > kWorkBufferSize) {
        longExpression.reset(new char[size]);
        narrow = longExpression.get();
    }
    NarrowText(text, narrow, size);

    Value result = 0;
    EvaluateExpression(result, narrow);

    static constexpr char kPrefix[] = "result = ";
    char line[sizeof kPrefix - 1 + kMaxFixedText + 1];
    std::memcpy(line, kPrefix, sizeof kPrefix - 1);
    char *number = line + sizeof kPrefix - 1;
    const std::size_t length = FormatFixed(number, result);
    number[length] = '\n';
    WriteText(line, sizeof kPrefix - 1 + length + 1);

    number[length] = '\0';
    WidenText(number, ResultBuffer, sizeof ResultBuffer / sizeof ResultBuffer[0]);
    return ResultBuffer;
}
