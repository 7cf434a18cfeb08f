#include "notation_rules.h"

#include "require.h"

#include <kelvaro/rpn.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace kelvaro_fuzz {
namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t';
}

bool SameText(const char *a, const char *b)
{
    return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}

}  // namespace

bool IsTokenStart(std::string_view text, std::size_t offset)
{
    return offset < text.size() && (offset == 0 || IsSeparator(text[offset - 1]));
}

bool IsNumberStart(std::string_view text, std::size_t offset)
{
    if (offset >= text.size()) {
        return false;
    }
    return IsDigit(text[offset]) ||
           (text[offset] == '-' && offset + 1 < text.size() && IsDigit(text[offset + 1]));
}

bool IsListedCommand(char byte)
{
    std::size_t count = 0;
    const kelvaro_rpn_command *commands = kelvaro_rpn_commands(&count);
    return std::any_of(commands, commands + count,
                       [byte](const kelvaro_rpn_command &command) { return command.byte == byte; });
}

const kelvaro::Command *FindCommand(char byte)
{
    const auto *end = std::end(kelvaro::kCommands);
    const auto *row =
        std::find_if(std::begin(kelvaro::kCommands), end,
                     [byte](const kelvaro::Command &command) { return command.byte == byte; });
    return row != end ? row : nullptr;
}

std::size_t ValuesNeeded(const kelvaro::Command &command)
{
    using kelvaro::Operation;
    switch (command.operation) {
    case Operation::kAdd:
    case Operation::kSubtract:
    case Operation::kMultiply:
    case Operation::kDivide:
    case Operation::kRemainder:
    case Operation::kPower:
    case Operation::kExchange: return 2;
    case Operation::kSine:
    case Operation::kCosine:
    case Operation::kTangent:
    case Operation::kArcsine:
    case Operation::kArccosine:
    case Operation::kArctangent:
    case Operation::kLogarithm:
    case Operation::kExponential:
    case Operation::kFactorial:
    case Operation::kDrop:
    case Operation::kShowTop: return 1;
    case Operation::kConstant:
    case Operation::kShowStack:
    case Operation::kNothing:
    case Operation::kInvalid: break;
    }
    return 0;
}

bool IsListing(const kelvaro::Command *command)
{
    return command != nullptr && (command->operation == kelvaro::Operation::kShowTop ||
                                  command->operation == kelvaro::Operation::kShowStack);
}

bool Grows(const kelvaro::Command &command)
{
    return command.operation == kelvaro::Operation::kConstant;
}

std::string ListingTokens(std::string_view text, std::size_t end)
{
    std::string commands;
    for (std::size_t i = 0; i < end && i < text.size(); ++i) {
        if (IsTokenStart(text, i) && IsListing(FindCommand(text[i]))) {
            commands += text[i];
        }
    }
    return commands;
}

void CheckCommandTables()
{
    std::size_t count = 0;
    const kelvaro_rpn_command *commands = kelvaro_rpn_commands(&count);
    Require(commands != nullptr && count == kelvaro::kCommandCount,
            "kelvaro_rpn_commands does not list the engine's commands", {});
    for (std::size_t i = 0; i < count; ++i) {
        const kelvaro::Command &row = kelvaro::kCommands[i];
        Require(commands[i].byte == row.byte && SameText(commands[i].name, row.name) &&
                    SameText(commands[i].meaning, row.meaning) &&
                    SameText(commands[i].example, row.example),
                "kelvaro_rpn_commands describes a command differently", row.name);
    }
}

}  // namespace kelvaro_fuzz
