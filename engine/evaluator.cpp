#include "engine/evaluator.h"

#include "engine/machine.h"
#include "engine/number_text.h"
#include "engine/output_lines.h"

#include <type_traits>

namespace kelvaro {

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

namespace {

const kelvaro_rpn_listing kNoListing{nullptr, nullptr, nullptr};

// Without a checker the tails are only skipped.
struct NoCheck {
    static const unsigned char *Tail(kelvaro_rpn_warning_kind /*kind*/, const unsigned char *from,
                                     const unsigned char *end)
    {
        return NextTokenStart(from, end);
    }
    void Rest(const unsigned char * /*p*/, const unsigned char * /*end*/, std::size_t /*depth*/,
              bool /*failed*/)
    {
    }
    void BeforeListing(const unsigned char * /*p*/, const unsigned char * /*end*/,
                       std::size_t /*depth*/)
    {
    }
};

// A checker by value, as the journals are passed: NoCheck costs nothing.
struct Checking {
    TextChecker &checker;
    const unsigned char *Tail(kelvaro_rpn_warning_kind kind, const unsigned char *from,
                              const unsigned char *end)
    {
        return checker.Tail(kind, from, end);
    }
    void Rest(const unsigned char *p, const unsigned char *end, std::size_t depth, bool failed)
    {
        checker.Rest(p, end, depth, failed);
    }
    void BeforeListing(const unsigned char *p, const unsigned char *end, std::size_t depth)
    {
        checker.BeforeListing(p, end, depth);
    }
};

// The scan: one lookup per token start, the number reader's end taken as
// where the token goes on, every command carried out in place. A checker
// sees each tail on the way and, after a failure, the rest of the text.
template <typename Journal, typename Checker>
kelvaro_rpn_outcome Run(ValueStack &stack, Journal journal, Checker checker, const char *text,
                        std::size_t length, const kelvaro_rpn_listing *listingOrNull)
{
    const kelvaro_rpn_listing &listing = listingOrNull != nullptr ? *listingOrNull : kNoListing;
    const auto *const begin = reinterpret_cast<const unsigned char *>(text);
    const auto *const end = begin + length;
    Machine<Journal> machine{stack.values, stack.depth, journal};
    kelvaro_rpn_status status = KELVARO_RPN_OK;

    const unsigned char *p = begin;
    while (p < end) {
        if (StartsNumber(p, end)) {
            if (machine.depth == kStackCapacity) {
                status = KELVARO_RPN_STACK_OVERFLOW;
                break;
            }
            p = ScanNumber(p, end, machine.values[machine.depth]);
            ++machine.depth;
            p = checker.Tail(KELVARO_RPN_WARNING_NUMBER_TAIL, p, end);
            continue;
        }
        if (*p == ' ') {
            // A space at a token start: the next byte starts one too.
            ++p;
            continue;
        }
        const std::uint8_t token = kTokens[*p];
        if (!std::is_same_v<Checker, NoCheck> &&
            (token == TokenOf(Operation::kShowTop) || token == TokenOf(Operation::kShowStack))) {
            checker.BeforeListing(p, end, machine.depth);
        }
        status = machine.Execute(token, listing);
        if (status != KELVARO_RPN_OK) {
            break;
        }
        p = checker.Tail(KELVARO_RPN_WARNING_COMMAND_TAIL, p + 1, end);
    }
    stack.depth = machine.depth;
    if (status != KELVARO_RPN_OK) {
        // The check goes on to the end; a failed text leaves no values.
        checker.Rest(p, end, 0, true);
        return kelvaro_rpn_outcome{status, 0, static_cast<std::size_t>(p - begin)};
    }
    return kelvaro_rpn_outcome{KELVARO_RPN_OK, 0, length};
}

}  // namespace

kelvaro_rpn_outcome RunTokens(ValueStack &stack, const char *text, std::size_t length,
                              const kelvaro_rpn_listing *listing)
{
    return Run(stack, NoJournal{}, NoCheck{}, text, length, listing);
}

kelvaro_rpn_outcome RunTokensJournaled(ValueStack &stack, StackJournal &journal,
                                       const char *text, std::size_t length,
                                       const kelvaro_rpn_listing *listing)
{
    return Run(stack, Journaling{journal}, NoCheck{}, text, length, listing);
}

namespace {

// Gives a run that went through the top of the stack as its value; an empty
// stack is an underflow at the end of the text.
void TakeTop(const ValueStack &stack, kelvaro_rpn_outcome &outcome)
{
    if (outcome.status == KELVARO_RPN_OK) {
        if (stack.depth == 0) {
            outcome.status = KELVARO_RPN_STACK_UNDERFLOW;
        } else {
            outcome.value = stack.values[stack.depth - 1];
        }
    }
}

}  // namespace

kelvaro_rpn_outcome EvaluateExpression(ValueStack &stack, const char *text, std::size_t length,
                                       const kelvaro_rpn_listing *listing)
{
    kelvaro_rpn_outcome outcome = Run(stack, NoJournal{}, NoCheck{}, text, length, listing);
    TakeTop(stack, outcome);
    return outcome;
}

kelvaro_rpn_outcome EvaluateChecked(ValueStack &stack, const char *text, std::size_t length,
                                    const kelvaro_rpn_listing *listing, TextChecker &checker)
{
    kelvaro_rpn_outcome outcome = Run(stack, NoJournal{}, Checking{checker}, text, length, listing);
    if (outcome.status == KELVARO_RPN_OK && stack.depth > 1 && !checker.complete) {
        checker.Add(KELVARO_RPN_WARNING_VALUES_LEFT, length, stack.depth - 1);
    }
    TakeTop(stack, outcome);
    return outcome;
}

}  // namespace kelvaro
