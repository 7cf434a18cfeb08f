#include "output_shape.h"

#include "require.h"

#include <cstddef>
#include <vector>

namespace kelvaro_fuzz {
namespace {

constexpr std::size_t kDecimals = 6;
constexpr std::string_view kRule = "---------";
constexpr std::string_view kTopPrefix = "Top of stack: ";
constexpr std::string_view kResultPrefix = "result = ";
constexpr std::string_view kOverflow = "you have a stack overflow!";
constexpr std::string_view kUnderflow = "you have a stack underflow!";
constexpr std::string_view kInvalidPrefix = "Invalid character: '";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// The lines of `output`, which must end with a newline unless it is empty.
std::vector<std::string_view> SplitLines(std::string_view text, std::string_view output)
{
    Require(output.empty() || output.back() == '\n', "output ends inside a line", text, output);
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    while (begin < output.size()) {
        const std::size_t end = output.find('\n', begin);
        lines.push_back(output.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

// Skips one '@' listing that starts at lines[i]; returns the line after it.
std::size_t SkipStackListing(const std::vector<std::string_view> &lines, std::size_t i,
                             std::string_view text, std::string_view output)
{
    Require(i + 1 < lines.size() && lines[i + 1] == kRule,
            "stack listing without its opening rule", text, output);
    i += 2;
    std::size_t values = 0;
    while (i < lines.size() && lines[i] != kRule) {
        Require(IsValueText(lines[i]), "malformed value in a stack listing", text, output);
        ++values;
        ++i;
    }
    Require(i < lines.size(), "stack listing without its closing rule", text, output);
    Require(values <= KELVARO_RPN_STACK_CAPACITY, "stack listing longer than the stack", text,
            output);
    return i + 1;
}

// Skips "Top of stack" lines and stack listings; returns the first other line.
std::size_t SkipListings(const std::vector<std::string_view> &lines, std::string_view text,
                         std::string_view output)
{
    std::size_t i = 0;
    while (i < lines.size()) {
        if (StartsWith(lines[i], kTopPrefix)) {
            Require(IsValueText(lines[i].substr(kTopPrefix.size())),
                    "malformed top-of-stack line", text, output);
            ++i;
        } else if (lines[i].empty()) {
            i = SkipStackListing(lines, i, text, output);
        } else {
            break;
        }
    }
    return i;
}

bool IsLastLineOf(std::string_view line, std::string_view text,
                  const kelvaro_rpn_outcome &outcome)
{
    switch (outcome.status) {
    case KELVARO_RPN_OK:
        return StartsWith(line, kResultPrefix) && IsValueText(line.substr(kResultPrefix.size()));
    case KELVARO_RPN_STACK_OVERFLOW: return line == kOverflow;
    case KELVARO_RPN_STACK_UNDERFLOW: return line == kUnderflow;
    case KELVARO_RPN_INVALID_CHARACTER: {
        if (outcome.offset >= text.size()) {
            return false;
        }
        // The byte itself, but a NUL as its escape \0.
        const char byte = text[outcome.offset];
        const std::string_view shown =
            byte == '\0' ? std::string_view("\\0") : std::string_view(&byte, 1);
        return line.size() == kInvalidPrefix.size() + shown.size() + 1 &&
               StartsWith(line, kInvalidPrefix) && line.back() == '\'' &&
               line.substr(kInvalidPrefix.size(), shown.size()) == shown;
    }
    case KELVARO_RPN_OUT_OF_MEMORY: break;  // evaluation never allocates
    }
    return false;
}

}  // namespace

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

void CheckOutputShape(std::string_view text, const kelvaro_rpn_outcome &outcome,
                      std::string_view output)
{
    const std::vector<std::string_view> lines = SplitLines(text, output);
    const std::size_t rest = SkipListings(lines, text, output);
    Require(rest + 1 == lines.size(), "not exactly one line after the listings", text, output);
    Require(IsLastLineOf(lines[rest], text, outcome),
            "the last line is not the result or the failure message of the outcome", text,
            output);
}

}  // namespace kelvaro_fuzz
