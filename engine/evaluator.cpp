#include "engine/evaluator.h"

#include "engine/command_table.h"
#include "engine/number_text.h"
#include "engine/output_lines.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace kelvaro {
namespace {

constexpr std::size_t kByteValues = 256;

// What a byte at a token start does: one switch on this decides everything.
// The command table's operations keep their numbers; a digit and '-' (a sign
// before a digit, subtraction otherwise) get their own.
constexpr std::uint8_t TokenOf(Operation operation)
{
    return static_cast<std::uint8_t>(operation);
}
constexpr std::uint8_t kDigitToken = 250;
constexpr std::uint8_t kMinusToken = 251;
static_assert(TokenOf(Operation::kNothing) < kDigitToken, "token numbers stay apart");

constexpr std::array<std::uint8_t, kByteValues> MakeTokens()
{
    std::array<std::uint8_t, kByteValues> tokens{};
    for (auto &token : tokens) {
        token = TokenOf(Operation::kInvalid);
    }
    for (const Command &command : kCommands) {
        tokens[static_cast<unsigned char>(command.byte)] = TokenOf(command.operation);
    }
    for (unsigned char digit = '0'; digit <= '9'; ++digit) {
        tokens[digit] = kDigitToken;
    }
    tokens[static_cast<unsigned char>('-')] = kMinusToken;
    return tokens;
}
constexpr std::array<std::uint8_t, kByteValues> kTokens = MakeTokens();

bool IsDigit(unsigned char c)
{
    return static_cast<unsigned char>(c - '0') <= 9;
}

bool IsSeparator(unsigned char c)
{
    return c == ' ' || c == '\t';
}

const kelvaro_rpn_listing kNoListing{nullptr, nullptr, nullptr};

void ShowTop(const kelvaro_rpn_listing &listing, const Value &top)
{
    if (listing.values != nullptr) {
        listing.values(listing.context, '#', &top, 1);
    }
    if (listing.line != nullptr) {
        char line[kMaxLineLength];
        listing.line(listing.context, line, FormatTopLine(line, top));
    }
}

void ShowStack(const kelvaro_rpn_listing &listing, const Value *values, std::size_t depth)
{
    if (listing.values != nullptr) {
        listing.values(listing.context, '@', values, depth);
    }
    if (listing.line != nullptr) {
        WriteStackLines(listing.line, listing.context, values, depth);
    }
}

// Where the token after the one whose bytes continue at `p` starts: right
// after the first space or tab from `p` on. Every byte on the way is skipped,
// as the scanning rule skips any byte that does not follow a space or tab.
const unsigned char *NextTokenStart(const unsigned char *p, const unsigned char *end)
{
    while (p < end && !IsSeparator(*p)) {
        ++p;
    }
    return p < end ? p + 1 : end;
}

// Without a journal the calls compile to nothing.
struct NoJournal {
    void Dropped(const Value * /*values*/, std::size_t /*depth*/) {}
};

struct Journaling {
    StackJournal &journal;
    // The stack now holds `depth` values: keep the ones from there up to the
    // floor before a push can overwrite them.
    void Dropped(const Value *values, std::size_t depth)
    {
        while (journal.floor > depth) {
            --journal.floor;
            journal.saved[journal.floor] = values[journal.floor];
        }
    }
};

// The stack of one run, held in locals so that the compiler keeps them in
// registers; each command checks its bound once.
template <typename Journal>
struct Machine {
    Value *values;
    std::size_t depth;
    Journal journal;

    template <typename Function>
    bool Binary(Function function)
    {
        if (depth < 2) {
            return false;
        }
        --depth;
        journal.Dropped(values, depth - 1);
        values[depth - 1] = function(values[depth - 1], values[depth]);
        return true;
    }

    template <typename Function>
    bool Unary(Function function)
    {
        if (depth == 0) {
            return false;
        }
        journal.Dropped(values, depth - 1);
        values[depth - 1] = function(values[depth - 1]);
        return true;
    }
};

// The scan: one switch per token start, every operation carried out in
// place, and the number reader's end taken as where the token goes on.
template <typename Journal>
kelvaro_rpn_outcome Run(ValueStack &stack, Journal journal, const char *text, std::size_t length,
                        const kelvaro_rpn_listing *listingOrNull)
{
    const kelvaro_rpn_listing &listing = listingOrNull != nullptr ? *listingOrNull : kNoListing;
    const auto *const begin = reinterpret_cast<const unsigned char *>(text);
    const auto *const end = begin + length;
    Machine<Journal> machine{stack.values, stack.depth, journal};
    Value *const values = machine.values;
    std::size_t &depth = machine.depth;
    kelvaro_rpn_status status = KELVARO_RPN_OK;

    const unsigned char *p = begin;
    while (p < end) {
        const unsigned char c = *p;
        bool ok = true;
        switch (kTokens[c]) {
        case kMinusToken:
            if (!(p + 1 < end && IsDigit(p[1]))) {
                ok = machine.Binary([](Value b, Value a) { return b - a; });
                break;
            }
            [[fallthrough]];
        case kDigitToken: {
            if (depth == kStackCapacity) {
                status = KELVARO_RPN_STACK_OVERFLOW;
                break;
            }
            const char *number = reinterpret_cast<const char *>(p);
            p = reinterpret_cast<const unsigned char *>(
                ReadNumber(number, reinterpret_cast<const char *>(end), values[depth]));
            ++depth;
            p = NextTokenStart(p, end);
            continue;
        }
        case TokenOf(Operation::kAdd):
            ok = machine.Binary([](Value b, Value a) { return b + a; });
            break;
        case TokenOf(Operation::kMultiply):
            ok = machine.Binary([](Value b, Value a) { return b * a; });
            break;
        case TokenOf(Operation::kDivide):
            ok = machine.Binary([](Value b, Value a) { return b / a; });
            break;
        case TokenOf(Operation::kRemainder):
            ok = machine.Binary([](Value b, Value a) { return std::fmod(b, a); });
            break;
        case TokenOf(Operation::kPower):
            ok = machine.Binary([](Value b, Value a) { return std::pow(b, a); });
            break;
        case TokenOf(Operation::kSine):
            ok = machine.Unary([](Value a) { return std::sin(a); });
            break;
        case TokenOf(Operation::kCosine):
            ok = machine.Unary([](Value a) { return std::cos(a); });
            break;
        case TokenOf(Operation::kTangent):
            ok = machine.Unary([](Value a) { return std::tan(a); });
            break;
        case TokenOf(Operation::kArcsine):
            ok = machine.Unary([](Value a) { return std::asin(a); });
            break;
        case TokenOf(Operation::kArccosine):
            ok = machine.Unary([](Value a) { return std::acos(a); });
            break;
        case TokenOf(Operation::kArctangent):
            ok = machine.Unary([](Value a) { return std::atan(a); });
            break;
        case TokenOf(Operation::kLogarithm):
            ok = machine.Unary([](Value a) { return std::log(a); });
            break;
        case TokenOf(Operation::kExponential):
            ok = machine.Unary([](Value a) { return std::exp(a); });
            break;
        case TokenOf(Operation::kFactorial):
            ok = machine.Unary(
                [](Value a) { return static_cast<Value>(Factorial(TruncateToInt32(a))); });
            break;
        case TokenOf(Operation::kConstant):
            if (depth == kStackCapacity) {
                status = KELVARO_RPN_STACK_OVERFLOW;
                break;
            }
            values[depth++] = kConstantP;
            break;
        case TokenOf(Operation::kExchange): {
            if (depth < 2) {
                ok = false;
                break;
            }
            machine.journal.Dropped(values, depth - 2);
            const Value a = values[depth - 1];
            values[depth - 1] = values[depth - 2];
            values[depth - 2] = a;
            break;
        }
        case TokenOf(Operation::kDrop):
            if (depth == 0) {
                ok = false;
                break;
            }
            --depth;
            machine.journal.Dropped(values, depth);
            break;
        case TokenOf(Operation::kShowTop):
            if (depth == 0) {
                ok = false;
                break;
            }
            ShowTop(listing, values[depth - 1]);
            break;
        case TokenOf(Operation::kShowStack):
            ShowStack(listing, values, depth);
            break;
        case TokenOf(Operation::kNothing):
            if (c == ' ') {
                // A space at a token start: the next byte starts one too.
                ++p;
                continue;
            }
            break;
        default:  // Operation::kInvalid; '-' (kSubtract) is kMinusToken above
            status = KELVARO_RPN_INVALID_CHARACTER;
            break;
        }
        if (!ok) {
            status = KELVARO_RPN_STACK_UNDERFLOW;
        }
        if (status != KELVARO_RPN_OK) {
            break;
        }
        p = NextTokenStart(p + 1, end);
    }
    stack.depth = depth;
    if (status != KELVARO_RPN_OK) {
        return kelvaro_rpn_outcome{status, 0, static_cast<std::size_t>(p - begin)};
    }
    return kelvaro_rpn_outcome{KELVARO_RPN_OK, 0, length};
}

}  // namespace

kelvaro_rpn_outcome RunTokens(ValueStack &stack, const char *text, std::size_t length,
                              const kelvaro_rpn_listing *listing)
{
    return Run(stack, NoJournal{}, text, length, listing);
}

kelvaro_rpn_outcome RunTokensJournaled(ValueStack &stack, StackJournal &journal,
                                       const char *text, std::size_t length,
                                       const kelvaro_rpn_listing *listing)
{
    return Run(stack, Journaling{journal}, text, length, listing);
}

kelvaro_rpn_outcome EvaluateExpression(ValueStack &stack, const char *text, std::size_t length,
                                       const kelvaro_rpn_listing *listing)
{
    kelvaro_rpn_outcome outcome = Run(stack, NoJournal{}, text, length, listing);
    if (outcome.status == KELVARO_RPN_OK) {
        if (stack.depth == 0) {
            outcome.status = KELVARO_RPN_STACK_UNDERFLOW;
        } else {
            outcome.value = stack.values[stack.depth - 1];
        }
    }
    return outcome;
}

}  // namespace kelvaro
