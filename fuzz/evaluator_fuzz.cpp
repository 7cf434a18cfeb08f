// Feeds arbitrary bytes, NULs included, to the public API, to the legacy
// path short of ending the process, to calculators and to compiled programs,
// and checks that they all agree with each other and with the notation's
// rules, and that the warnings stay inside the text.
#include "agreement.h"
#include "api_evaluation.h"
#include "calculator_checks.h"
#include "failure_position.h"
#include "legacy_evaluation.h"
#include "listing_checks.h"
#include "notation_rules.h"
#include "output_capture.h"
#include "output_shape.h"
#include "program_checks.h"
#include "require.h"

#include <cstdint>
#include <string_view>

using namespace kelvaro_fuzz;

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/)
{
    StartCapture();
    CheckCommandTables();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // libFuzzer's copy of the input has exactly `size` bytes, so a read past
    // the length is caught.
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    ClearCapture();
    const ApiEvaluation api = EvaluateOneShot(text);
    CheckListingConsistent(text, api);
    CheckFailurePosition(text, api.outcome);

    const LegacyEvaluation legacy = EvaluateLegacy(text, PieceCapacity(text));
    CheckLegacyAgrees(text, api, legacy);
    CheckOutputShape(text, api.outcome, legacy.output);

    CheckCalculator(text, api);
    CheckProgram(text, api);
    CheckWarnings(text);
    Require(CapturedOutput().empty(), "an evaluation wrote to standard output", text);
    return 0;
}
