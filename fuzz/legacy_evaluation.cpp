#include "legacy_evaluation.h"

#include "api_text.h"

#include "export/legacy_run.h"

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
    if (kelvaro::RunLegacy(kelvaro::TextSource{Source::Read, &source}, buffer.data(), capacity,
                           Collect, &evaluation.output, &evaluation.outcome) == KELVARO_RPN_OK) {
        evaluation.output += "result = " + Fixed(evaluation.outcome.value) + "\n";
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
