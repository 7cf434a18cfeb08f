#include "legacy_evaluation.h"

#include "engine/output_lines.h"
#include "export/legacy_run.h"

namespace kelvaro_fuzz {
namespace {

void Collect(void *context, const char *line, std::size_t length)
{
    static_cast<std::string *>(context)->append(line, length);
}

}  // namespace

LegacyEvaluation EvaluateLegacy(std::string_view text)
{
    LegacyEvaluation evaluation;
    char resultLine[kelvaro::kMaxLineLength];
    std::size_t resultLength = 0;
    evaluation.outcome = kelvaro::RunLegacy(text.data(), text.size(), Collect,
                                            &evaluation.output, resultLine, resultLength);
    evaluation.resultLine.assign(resultLine, resultLength);
    return evaluation;
}

}  // namespace kelvaro_fuzz
