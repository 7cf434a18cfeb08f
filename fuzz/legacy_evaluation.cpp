#include "legacy_evaluation.h"

#include "api_text.h"

#include "engine/piecewise_run.h"

#include <cstring>
#include <vector>

namespace kelvaro_fuzz {
namespace {

struct Source {
    std::string_view text;

    static std::size_t Read(void *context, char *buffer, std::size_t capacity, bool &ended)
    {
        std::string_view &text = static_cast<Source *>(context)->text;
        const std::size_t count = text.size() < capacity ? text.size() : capacity;
        std::memcpy(buffer, text.data(), count);
        text.remove_prefix(count);
        ended = text.empty();
        return count;
    }
};

void Collect(void *context, const char *line, std::size_t length)
{
    static_cast<std::string *>(context)->append(line, length);
}

}  // namespace

LegacyEvaluation EvaluateLegacy(std::string_view text, std::size_t capacity)
{
    LegacyEvaluation evaluation;
    Source source{text};
    std::vector<char> buffer(capacity);
    const kelvaro_rpn_listing listing{Collect, nullptr, &evaluation.output};
    const kelvaro::PiecewiseOutcome result = kelvaro::EvaluatePiecewise(
        kelvaro::TextSource{Source::Read, &source}, buffer.data(), capacity, 0, false, listing);
    evaluation.outcome = result.outcome;
    if (result.outcome.status == KELVARO_RPN_OK) {
        evaluation.output += "result = " + Fixed(evaluation.outcome.value) + "\n";
    } else {
        // The message line, as CalculatorRPN writes it from the failing byte.
        const kelvaro_rpn_outcome at{result.outcome.status, 0, 0};
        char line[KELVARO_RPN_MESSAGE_SIZE];
        evaluation.output.append(
            line, kelvaro_rpn_format_message(&at, &result.failedByte, 1, line, sizeof line));
    }
    return evaluation;
}

std::size_t PieceCapacity(std::string_view text)
{
    constexpr std::size_t kSmallest = 8;
    constexpr std::size_t kChoices = 57;
    constexpr std::size_t kStride = 7;  // prime to kChoices: lengths reach every choice
    return kSmallest + (text.size() * kStride + (text.empty() ? 0 : text[0])) % kChoices;
}

}  // namespace kelvaro_fuzz
