// Feeds arbitrary wide text to CalculatorRPN: every wchar_t value (beyond
// U+10FFFF, surrogates, negative ones), any length. Texts that fail are
// judged through the legacy path that does not end the process.
#include "agreement.h"
#include "api_evaluation.h"
#include "api_text.h"
#include "failure_position.h"
#include "legacy_evaluation.h"
#include "listing_checks.h"
#include "output_capture.h"
#include "output_shape.h"
#include "require.h"
#include "wide_text.h"

#include <kelvaro/calculator_rpn.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace kelvaro_fuzz;

namespace {

// The result buffer's address, from the first call that returned.
const wchar_t *firstAddress = nullptr;

void CheckCalculatorRpn(const std::vector<wchar_t> &wide, const std::string &narrow,
                        const ApiEvaluation &api)
{
    ClearCapture();
    const wchar_t *returned = CalculatorRPN(wide.data());
    const std::string output = CapturedOutput();

    if (firstAddress == nullptr) {
        firstAddress = returned;
    }
    Require(returned == firstAddress, "the result buffer moved", narrow, output);
    Require(ReturnedTextIs(returned, Fixed(api.outcome.value)),
            "the returned text is not the API's value in fixed notation", narrow, output);
    Require(output == ExpectedLegacyOutput(narrow, api),
            "CalculatorRPN's output is not the API's listing lines and result line", narrow,
            output);
    CheckOutputShape(narrow, api.outcome, output);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/)
{
    StartCapture();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<wchar_t> wide(size / sizeof(wchar_t) + 1, L'\0');
    std::memcpy(wide.data(), data, (wide.size() - 1) * sizeof(wchar_t));
    const std::string narrow = NarrowAsLibrary(wide.data());
    Require(narrow == NarrowAsDocumented(wide.data()),
            "the library narrows the text otherwise than documented", narrow);

    const ApiEvaluation api = EvaluateOneShot(narrow);
    CheckListingConsistent(narrow, api);
    if (api.outcome.status == KELVARO_RPN_OK) {
        CheckCalculatorRpn(wide, narrow, api);
        return 0;
    }
    // CalculatorRPN would end the process here.
    CheckFailurePosition(narrow, api.outcome);
    const LegacyEvaluation legacy = EvaluateLegacy(narrow, PieceCapacity(narrow));
    CheckLegacyAgrees(narrow, api, legacy);
    CheckOutputShape(narrow, api.outcome, legacy.output);
    return 0;
}
