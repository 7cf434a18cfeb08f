#include "failure_position.h"

#include "calculator.h"
#include "notation_rules.h"
#include "require.h"

namespace kelvaro_fuzz {
namespace {

void CheckInvalid(std::string_view text, std::size_t offset)
{
    Require(!IsNumberStart(text, offset), "a number reported as an invalid character", text);
    Require(!IsListedCommand(text[offset]), "a command reported as an invalid character", text);
}

void CheckOverflow(std::string_view text, std::size_t offset, std::size_t depth)
{
    const kelvaro::Command *command = FindCommand(text[offset]);
    Require(IsNumberStart(text, offset) || (command != nullptr && Grows(*command)),
            "an overflow at a token that pushes nothing", text);
    Require(depth == KELVARO_RPN_STACK_CAPACITY, "an overflow before the stack was full", text);
}

void CheckUnderflow(std::string_view text, std::size_t offset, std::size_t depth)
{
    if (offset == text.size()) {
        Require(depth == 0, "an underflow at the end with values on the stack", text);
        return;
    }
    const kelvaro::Command *command = FindCommand(text[offset]);
    Require(!IsNumberStart(text, offset) && command != nullptr,
            "an underflow at a token that is no command", text);
    Require(depth < ValuesNeeded(*command), "an underflow with enough values on the stack",
            text);
}

}  // namespace

void CheckFailurePosition(std::string_view text, const kelvaro_rpn_outcome &outcome)
{
    if (outcome.status == KELVARO_RPN_OK) {
        return;
    }
    const std::size_t offset = outcome.offset;
    const bool atEnd = offset == text.size() && outcome.status == KELVARO_RPN_STACK_UNDERFLOW;
    Require(atEnd || IsTokenStart(text, offset), "a failure offset that is no token start",
            text);

    // Tokens end at a space or tab, so the text cut at a token start holds
    // the same tokens before it.
    Calculator calculator;
    const std::size_t depth = calculator.DepthAfter(text.substr(0, offset));
    switch (outcome.status) {
    case KELVARO_RPN_INVALID_CHARACTER: CheckInvalid(text, offset); break;
    case KELVARO_RPN_STACK_OVERFLOW: CheckOverflow(text, offset, depth); break;
    case KELVARO_RPN_STACK_UNDERFLOW: CheckUnderflow(text, offset, depth); break;
    case KELVARO_RPN_OK: break;
    case KELVARO_RPN_OUT_OF_MEMORY: Require(false, "evaluation reported out of memory", text); break;
    }
}

}  // namespace kelvaro_fuzz
