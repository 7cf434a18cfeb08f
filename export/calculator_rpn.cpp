#include <kelvaro/calculator_rpn.h>

#include "export/legacy_run.h"
#include "export/text_conversion.h"

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
    const std::size_t length = NarrowText(text, narrow, size);

    char line[kMaxLineLength];
    std::size_t lineLength = 0;
    EvaluateOrStop(narrow, length, line, lineLength);

    // The value between "result = " and the newline is the returned text.
    line[lineLength - 1] = '\0';
    WidenText(line + kResultPrefixLength, ResultBuffer, sizeof ResultBuffer / sizeof ResultBuffer[0]);
    return ResultBuffer;
}
