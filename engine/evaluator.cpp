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

// What a byte at a token start is: a digit, a '-' (a sign or a command) or
// one of the command table's operations.
enum class Start : std::uint8_t { kCommand, kDigit, kMinus };

struct ByteClass {
    Start start;
    Operation operation;
};

constexpr std::array<ByteClass, kByteValues> MakeByteClasses()
{
    std::array<ByteClass, kByteValues> classes{};
    for (auto &entry : classes) {
        entry = ByteClass{Start::kCommand, Operation::kInvalid};
    }
    for (const Command &command : kCommands) {
        classes[static_cast<unsigned char>(command.byte)].operation = command.operation;
    }
    for (unsigned char digit = '0'; digit <= '9'; ++digit) {
        classes[digit].start = Start::kDigit;
    }
    classes[static_cast<unsigned char>('-')].start = Start::kMinus;
    return classes;
}
constexpr std::array<ByteClass, kByteValues> kByteClasses = MakeByteClasses();

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

Value Apply(Operation operation, Value b, Value a)
{
    switch (operation) {
    case Operation::kAdd: return b + a;
    case Operation::kSubtract: return b - a;
    case Operation::kMultiply: return b * a;
    case Operation::kDivide: return b / a;
    case Operation::kRemainder: return std::fmod(b, a);
    case Operation::kPower: return std::pow(b, a);
    default: return 0;
    }
}

Value Apply(Operation operation, Value a)
{
    switch (operation) {
    case Operation::kSine: return std::sin(a);
    case Operation::kCosine: return std::cos(a);
    case Operation::kTangent: return std::tan(a);
    case Operation::kArcsine: return std::asin(a);
    case Operation::kArccosine: return std::acos(a);
    case Operation::kArctangent: return std::atan(a);
    case Operation::kLogarithm: return std::log(a);
    case Operation::kExponential: return std::exp(a);
    case Operation::kFactorial: return static_cast<Value>(Factorial(TruncateToInt32(a)));
    default: return 0;
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

// The scan, with the stack held in locals: one bound check per command, and
// the operations dispatched by a switch rather than through pointers.
template <typename Journal>
kelvaro_rpn_outcome Run(ValueStack &stack, Journal journal, const char *text, std::size_t length,
                        const kelvaro_rpn_listing *listingOrNull)
{
    const kelvaro_rpn_listing &listing = listingOrNull != nullptr ? *listingOrNull : kNoListing;
    const auto *const begin = reinterpret_cast<const unsigned char *>(text);
    const auto *const end = begin + length;
    Value *const values = stack.values;
    std::size_t depth = stack.depth;
    kelvaro_rpn_status status = KELVARO_RPN_OK;

    const unsigned char *p = begin;
    while (p < end) {
        const unsigned char c = *p;
        const ByteClass byteClass = kByteClasses[c];
        if (byteClass.start == Start::kDigit ||
            (byteClass.start == Start::kMinus && p + 1 < end && IsDigit(p[1]))) {
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
        const Operation operation = byteClass.operation;
        switch (operation) {
        case Operation::kAdd:
        case Operation::kSubtract:
        case Operation::kMultiply:
        case Operation::kDivide:
        case Operation::kRemainder:
        case Operation::kPower:
            if (depth < 2) {
                status = KELVARO_RPN_STACK_UNDERFLOW;
                break;
            }
            --depth;
            journal.Dropped(values, depth - 1);
            values[depth - 1] = Apply(operation, values[depth - 1], values[depth]);
            break;
        case Operation::kSine:
        case Operation::kCosine:
        case Operation::kTangent:
        case Operation::kArcsine:
        case Operation::kArccosine:
        case Operation::kArctangent:
        case Operation::kLogarithm:
        case Operation::kExponential:
        case Operation::kFactorial:
            if (depth == 0) {
                status = KELVARO_RPN_STACK_UNDERFLOW;
                break;
            }
            journal.Dropped(values, depth - 1);
            values[depth - 1] = Apply(operation, values[depth - 1]);
            break;
        case Operation::kConstant:
            if (depth == kStackCapacity) {
                status = KELVARO_RPN_STACK_OVERFLOW;
                break;
            }
            values[depth++] = kConstantP;
            break;
        case Operation::kExchange: {
            if (depth < 2) {
                status = KELVARO_RPN_STACK_UNDERFLOW;
                break;
            }
            journal.Dropped(values, depth - 2);
            const Value a = values[depth - 1];
            values[depth - 1] = values[depth - 2];
            values[depth - 2] = a;
            break;
        }
        case Operation::kDrop:
            if (depth == 0) {
                status = KELVARO_RPN_STACK_UNDERFLOW;
                break;
            }
            --depth;
            journal.Dropped(values, depth);
            break;
        case Operation::kShowTop:
            if (depth == 0) {
                status = KELVARO_RPN_STACK_UNDERFLOW;
                break;
            }
            ShowTop(listing, values[depth - 1]);
            break;
        case Operation::kShowStack:
            ShowStack(listing, values, depth);
            break;
        case Operation::kNothing:
            if (c == ' ') {
                // A space at a token start: the next byte starts one too.
                ++p;
                continue;
            }
            break;
        case Operation::kInvalid:
            status = KELVARO_RPN_INVALID_CHARACTER;
            break;
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
