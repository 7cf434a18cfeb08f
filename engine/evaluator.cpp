#include "engine/evaluator.h"

#include "engine/command_table.h"
#include "engine/number_text.h"
#include "engine/output_lines.h"

#include <array>
#include <cstdint>

namespace kelvaro {
namespace {

constexpr std::size_t kByteValues = 256;

// Row of kCommands for each byte; kCommandCount where a byte is no command.
constexpr std::array<std::uint8_t, kByteValues> MakeDispatch()
{
    std::array<std::uint8_t, kByteValues> dispatch{};
    for (auto &row : dispatch) {
        row = static_cast<std::uint8_t>(kCommandCount);
    }
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        dispatch[static_cast<unsigned char>(kCommands[i].byte)] = static_cast<std::uint8_t>(i);
    }
    return dispatch;
}
constexpr std::array<std::uint8_t, kByteValues> kDispatch = MakeDispatch();
static_assert(kCommandCount < 255, "row numbers must fit a byte");

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool IsSeparator(unsigned char c)
{
    return c == ' ' || c == '\t';
}

void ShowTop(const Listing &listing, const Value &top)
{
    if (listing.values != nullptr) {
        listing.values(listing.context, '#', &top, 1);
    }
    if (listing.lines != nullptr) {
        char line[kMaxLineLength];
        listing.lines(listing.context, line, FormatTopLine(line, top));
    }
}

void ShowStack(const Listing &listing, const ValueStack &stack)
{
    if (listing.values != nullptr) {
        listing.values(listing.context, '@', stack.values, StackCount(stack));
    }
    if (listing.lines != nullptr) {
        WriteStackLines(listing.lines, listing.context, stack.values, StackCount(stack));
    }
}

// Every pop comes before the push that could overflow, and a command that
// pops as many as it pushes never overflows.
Status RunCommand(ValueStack &stack, const Command &command, const Listing &listing)
{
    Value a = 0;
    Value b = 0;
    switch (command.kind) {
    case CommandKind::kBinary:
        if (!PopValue(stack, a) || !PopValue(stack, b)) {
            return Status::kStackUnderflow;
        }
        PushValue(stack, command.binary(b, a));
        return Status::kOk;
    case CommandKind::kUnary:
        if (!PopValue(stack, a)) {
            return Status::kStackUnderflow;
        }
        PushValue(stack, command.unary(a));
        return Status::kOk;
    case CommandKind::kConstant:
        return PushValue(stack, command.constant) ? Status::kOk : Status::kStackOverflow;
    case CommandKind::kExchange:
        if (!PopValue(stack, a) || !PopValue(stack, b)) {
            return Status::kStackUnderflow;
        }
        PushValue(stack, a);
        PushValue(stack, b);
        return Status::kOk;
    case CommandKind::kDrop:
        return PopValue(stack, a) ? Status::kOk : Status::kStackUnderflow;
    case CommandKind::kShowTop:
        if (!PeekValue(stack, a)) {
            return Status::kStackUnderflow;
        }
        ShowTop(listing, a);
        return Status::kOk;
    case CommandKind::kShowStack:
        ShowStack(listing, stack);
        return Status::kOk;
    case CommandKind::kNothing:
        return Status::kOk;
    case CommandKind::kInvalid:
        break;
    }
    return Status::kInvalidCharacter;
}

// Where the token after the one at `i` starts: right after the first space or
// tab at or after `i`. Every byte on the way is skipped, as the scanning rule
// skips any byte that does not follow a space or tab. `length` if there is no
// further token.
std::size_t NextTokenStart(const unsigned char *bytes, std::size_t length, std::size_t i)
{
    while (i < length && !IsSeparator(bytes[i])) {
        ++i;
    }
    return i < length ? i + 1 : length;
}

}  // namespace

Outcome RunTokens(ValueStack &stack, const char *text, std::size_t length, const Listing &listing)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    for (std::size_t i = 0; i < length; i = NextTokenStart(bytes, length, i)) {
        const unsigned char c = bytes[i];
        Status status = Status::kOk;
        if (IsDigit(c) || (c == '-' && i + 1 < length && IsDigit(bytes[i + 1]))) {
            Value number = 0;
            ReadNumber(text + i, text + length, number);
            if (!PushValue(stack, number)) {
                status = Status::kStackOverflow;
            }
        } else {
            const std::uint8_t row = kDispatch[c];
            status = row < kCommandCount ? RunCommand(stack, kCommands[row], listing)
                                         : Status::kInvalidCharacter;
        }
        if (status != Status::kOk) {
            return Outcome{status, 0, i, c};
        }
    }
    return Outcome{Status::kOk, 0, length, 0};
}

}  // namespace kelvaro
