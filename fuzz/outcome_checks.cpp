#include "outcome_checks.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kelvaro_fuzz {
namespace {

constexpr int kStackCapacity = 265;
constexpr std::size_t kDecimals = 6;
constexpr std::string_view kRule = "---------";
constexpr std::string_view kTopPrefix = "Top of stack: ";
constexpr std::string_view kResultPrefix = "result = ";
constexpr std::string_view kOverflow = "you have a stack overflow!";
constexpr std::string_view kUnderflow = "you have a stack underflow!";
constexpr std::string_view kInvalidPrefix = "Invalid character: '";

// Bytes that start a valid token even when they are not part of a number.
constexpr std::string_view kCommands = "+-*/%^sctSCTlLp]x#@ \n";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

void PrintTail(const char *label, std::string_view text)
{
    constexpr std::size_t kShown = 2000;
    const std::size_t from = text.size() > kShown ? text.size() - kShown : 0;
    static_cast<void>(std::fprintf(stderr, "%s (%zu bytes%s):\n%.*s\n", label, text.size(),
                                   from > 0 ? ", end only" : "",
                                   static_cast<int>(text.size() - from), text.data() + from));
}

// The lines of `output`, which must end with a newline unless it is empty.
std::vector<std::string_view> SplitLines(std::string_view expression, const Outcome &outcome)
{
    const std::string_view output = outcome.output;
    Require(output.empty() || output.back() == '\n', "output ends inside a line", expression,
            outcome);
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    while (begin < output.size()) {
        const std::size_t end = output.find('\n', begin);
        lines.push_back(output.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

// Skips "Top of stack" lines and stack listings; returns the first other line.
std::size_t SkipListings(const std::vector<std::string_view> &lines,
                         std::string_view expression, const Outcome &outcome)
{
    std::size_t i = 0;
    while (i < lines.size()) {
        if (StartsWith(lines[i], kTopPrefix)) {
            Require(IsValueText(lines[i].substr(kTopPrefix.size())),
                    "malformed top-of-stack line", expression, outcome);
            ++i;
        } else if (lines[i].empty()) {
            Require(i + 1 < lines.size() && lines[i + 1] == kRule,
                    "stack listing without its opening rule", expression, outcome);
            i += 2;
            int values = 0;
            while (i < lines.size() && lines[i] != kRule) {
                Require(IsValueText(lines[i]), "malformed value in a stack listing",
                        expression, outcome);
                ++values;
                ++i;
            }
            Require(i < lines.size(), "stack listing without its closing rule", expression,
                    outcome);
            Require(values <= kStackCapacity, "stack listing longer than the stack",
                    expression, outcome);
            ++i;
        } else {
            break;
        }
    }
    return i;
}

void CheckFatalLine(std::string_view line, std::string_view expression, const Outcome &outcome)
{
    const FatalStopped &stop = outcome.stop;
    if (line == kOverflow) {
        Require(stop.status == -1, "overflow message without status -1", expression, outcome);
        Require(stop.valuesOnStack == kStackCapacity, "overflow before the stack was full",
                expression, outcome);
    } else if (line == kUnderflow) {
        Require(stop.status == 1, "underflow message without status 1", expression, outcome);
        Require(stop.valuesOnStack == 0, "underflow with values on the stack", expression,
                outcome);
    } else {
        Require(StartsWith(line, kInvalidPrefix) && line.size() == kInvalidPrefix.size() + 2 &&
                    line.back() == '\'',
                "the last line is no failure message", expression, outcome);
        const char c = line[kInvalidPrefix.size()];
        Require(stop.status == 1, "invalid-character message without status 1", expression,
                outcome);
        Require(c != '\0' && !IsDigit(c) && kCommands.find(c) == std::string_view::npos,
                "a valid byte reported as invalid", expression, outcome);
        Require(expression.find(c) != std::string_view::npos,
                "the invalid byte reported is not in the expression", expression, outcome);
    }
}

}  // namespace

void Require(bool condition, const char *what, std::string_view expression,
             const Outcome &outcome)
{
    if (condition) {
        return;
    }
    static_cast<void>(std::fprintf(stderr, "\n*** %s\n", what));
    if (outcome.stopped) {
        static_cast<void>(std::fprintf(stderr, "fatal stop: status %d, %d values on the stack\n",
                                       outcome.stop.status, outcome.stop.valuesOnStack));
    }
    PrintTail("expression", expression);
    PrintTail("output", outcome.output);
    std::abort();
}

bool IsValueText(std::string_view text)
{
    if (text == "inf" || text == "-inf" || text == "nan") {
        return true;
    }
    if (!text.empty() && text.front() == '-') {
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    if (point == 0 || point == std::string_view::npos || text.size() - point - 1 != kDecimals) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i != point && !IsDigit(text[i])) {
            return false;
        }
    }
    return true;
}

void CheckOutput(std::string_view expression, const Outcome &outcome,
                 const std::string *resultLine)
{
    const std::vector<std::string_view> lines = SplitLines(expression, outcome);
    const std::size_t rest = SkipListings(lines, expression, outcome);
    if (outcome.stopped) {
        Require(rest + 1 == lines.size(), "not exactly one line after the listings of a stop",
                expression, outcome);
        CheckFatalLine(lines[rest], expression, outcome);
    } else if (resultLine == nullptr) {
        Require(rest == lines.size(), "unexpected line from the evaluator", expression,
                outcome);
    } else {
        Require(rest + 1 == lines.size(), "not exactly one line after the listings",
                expression, outcome);
        Require(StartsWith(lines[rest], kResultPrefix) &&
                    lines[rest].substr(kResultPrefix.size()) == *resultLine,
                "the last line is not the result line of the returned text", expression,
                outcome);
    }
}

}  // namespace kelvaro_fuzz
