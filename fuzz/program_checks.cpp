#include "program_checks.h"

#include "api_text.h"
#include "require.h"

#include <cmath>
#include <vector>

namespace kelvaro_fuzz {
namespace {

// The first byte at a token start that is no command and starts no number:
// what compiling must refuse. text.size() when there is none.
std::size_t FirstInvalid(std::string_view text)
{
    // With the stack full of values but for one slot nothing but an invalid
    // byte (or an overflow, which compiling does not see) stops a text: run
    // it on a calculator and skip past overflows by checking again.
    std::size_t from = 0;
    while (from < text.size()) {
        kelvaro_rpn_calculator *calculator = kelvaro_rpn_calculator_create();
        Require(calculator != nullptr, "no memory for a calculator", text);
        constexpr int kSupply = 130;  // half the stack: room to push, values to pop
        for (int i = 0; i < kSupply; ++i) {
            kelvaro_rpn_calculator_push(calculator, 1);
        }
        kelvaro_rpn_outcome outcome{};
        const std::string_view rest = text.substr(from);
        kelvaro_rpn_calculator_evaluate(calculator, rest.data(), rest.size(), nullptr, &outcome);
        kelvaro_rpn_calculator_destroy(calculator);
        if (outcome.status == KELVARO_RPN_INVALID_CHARACTER) {
            return from + outcome.offset;
        }
        if (outcome.status == KELVARO_RPN_OK) {
            return text.size();
        }
        // An underflow or overflow at a token start: go on after that token.
        std::size_t next = from + outcome.offset + 1;
        while (next < text.size() && text[next - 1] != ' ' && text[next - 1] != '\t') {
            ++next;
        }
        from = next;
    }
    return text.size();
}

}  // namespace

void CheckProgram(std::string_view text, const ApiEvaluation &oneShot)
{
    kelvaro_rpn_program *program = nullptr;
    kelvaro_rpn_outcome compiled{};
    const kelvaro_rpn_status status = kelvaro_rpn_compile(text.data(), text.size(), &program, &compiled);
    Require(status == compiled.status, "compile returns another status than its outcome", text);
    const std::size_t invalid = FirstInvalid(text);
    if (invalid < text.size()) {
        Require(status == KELVARO_RPN_INVALID_CHARACTER && program == nullptr &&
                    compiled.offset == invalid,
                "a text with an invalid byte compiled, or not at that byte", text);
        return;
    }
    Require(status == KELVARO_RPN_OK && program != nullptr, "a valid text did not compile", text);

    ListingRecord listing;
    const kelvaro_rpn_listing callbacks = listing.Callbacks();
    kelvaro_rpn_outcome run{};
    kelvaro_rpn_program_run(program, nullptr, 0, &callbacks, &run);
    const kelvaro_rpn_outcome &expected = oneShot.outcome;
    Require(run.status == expected.status, "the program and the text end differently", text);
    Require(expected.status == KELVARO_RPN_OK ? SameValue(run.value, expected.value)
                                              : run.offset == expected.offset,
            "the program and the text differ in value or offset", text);
    Require(listing.events == oneShot.listing.events, "the program lists otherwise than the text",
            text, listing.Lines());

    double result = 0;
    kelvaro_rpn_status many = KELVARO_RPN_OK;
    const std::size_t failed = kelvaro_rpn_program_run_many(program, nullptr, 0, 1, &result, &many);
    Require(many == expected.status && failed == (expected.status == KELVARO_RPN_OK ? 0U : 1U),
            "run_many and the text end differently", text);
    Require(expected.status == KELVARO_RPN_OK ? SameValue(result, expected.value)
                                              : std::isnan(result),
            "run_many and the text differ in value", text);

    // On inputs: the text evaluated on a calculator that holds them.
    const double inputs[] = {2.5, -7, 0.125};
    kelvaro_rpn_calculator *calculator = kelvaro_rpn_calculator_create();
    Require(calculator != nullptr, "no memory for a calculator", text);
    for (const double input : inputs) {
        kelvaro_rpn_calculator_push(calculator, input);
    }
    kelvaro_rpn_outcome onCalculator{};
    kelvaro_rpn_calculator_evaluate(calculator, text.data(), text.size(), nullptr, &onCalculator);
    if (onCalculator.status == KELVARO_RPN_OK && kelvaro_rpn_calculator_depth(calculator) == 0) {
        onCalculator = kelvaro_rpn_outcome{KELVARO_RPN_STACK_UNDERFLOW, 0, text.size()};
    }
    kelvaro_rpn_calculator_destroy(calculator);
    kelvaro_rpn_program_run(program, inputs, 3, nullptr, &run);
    Require(run.status == onCalculator.status &&
                (run.status == KELVARO_RPN_OK ? SameValue(run.value, onCalculator.value)
                                              : run.offset == onCalculator.offset),
            "the program on inputs and the text after them end differently", text);

    // As many inputs as it says it needs: no underflow, and one fewer does.
    const std::size_t needed = kelvaro_rpn_program_inputs(program);
    if (needed <= KELVARO_RPN_STACK_CAPACITY) {
        const std::vector<double> ones(needed, 1.0);
        kelvaro_rpn_program_run(program, ones.data(), needed, nullptr, &run);
        Require(run.status != KELVARO_RPN_STACK_UNDERFLOW, "an underflow on the inputs it needs",
                text);
        Require((run.status == KELVARO_RPN_OK) == (kelvaro_rpn_program_outputs(program, needed) > 0),
                "outputs disagrees with the run on the inputs it needs", text);
        if (needed > 0) {
            kelvaro_rpn_program_run(program, ones.data(), needed - 1, nullptr, &run);
            Require(run.status != KELVARO_RPN_OK, "a run on fewer inputs than it needs ended",
                    text);
        }
    }
    kelvaro_rpn_program_destroy(program);
}

void CheckWarnings(std::string_view text)
{
    constexpr std::size_t kRoom = 64;
    kelvaro_rpn_warning warnings[kRoom];
    const std::size_t count = kelvaro_rpn_check(text.data(), text.size(), warnings, kRoom);
    Require(kelvaro_rpn_check(text.data(), text.size(), nullptr, 0) == count,
            "the warning count depends on the room for them", text);
    std::size_t end = 0;
    for (std::size_t i = 0; i < count && i < kRoom; ++i) {
        const kelvaro_rpn_warning &warning = warnings[i];
        if (warning.kind == KELVARO_RPN_WARNING_VALUES_LEFT) {
            Require(i + 1 == count && warning.offset == text.size() && warning.length > 0,
                    "values left reported elsewhere than last, at the text's end", text);
            continue;
        }
        Require(warning.kind == KELVARO_RPN_WARNING_COMMAND_TAIL ||
                    warning.kind == KELVARO_RPN_WARNING_NUMBER_TAIL,
                "a warning of no known kind", text);
        Require(warning.length > 0 && warning.offset >= end &&
                    warning.offset + warning.length <= text.size(),
                "a warning outside the text or out of order", text);
        for (std::size_t k = warning.offset; k < warning.offset + warning.length; ++k) {
            Require(text[k] != ' ' && text[k] != '\t', "a warning covers a separator", text);
        }
        end = warning.offset + warning.length;
    }

    // Checking in the scan that evaluates finds the same, and the same outcome.
    kelvaro_rpn_warning inScan[kRoom];
    std::size_t inScanCount = 0;
    kelvaro_rpn_outcome checked{};
    kelvaro_rpn_outcome plain{};
    kelvaro_rpn_evaluate_checked(text.data(), text.size(), nullptr, inScan, kRoom, &inScanCount,
                                 &checked);
    kelvaro_rpn_evaluate(text.data(), text.size(), &plain);
    Require(inScanCount == count, "the checked evaluation counts other warnings", text);
    for (std::size_t i = 0; i < count && i < kRoom; ++i) {
        Require(inScan[i].kind == warnings[i].kind && inScan[i].offset == warnings[i].offset &&
                    inScan[i].length == warnings[i].length,
                "the checked evaluation finds another warning", text);
    }
    Require(checked.status == plain.status &&
                (plain.status == KELVARO_RPN_OK ? BitsOf(checked.value) == BitsOf(plain.value)
                                                : checked.offset == plain.offset),
            "the checked evaluation ends otherwise", text);
}

}  // namespace kelvaro_fuzz
