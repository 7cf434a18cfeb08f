#include "diagnostic.h"

#include <cstdio>

namespace {

// The byte as C would write it between quotes, so that a control byte or
// half of a UTF-8 character does not garble the message.
std::string Quoted(unsigned char byte)
{
    switch (byte) {
    case '\t': return "\\t";
    case '\r': return "\\r";
    case '\n': return "\\n";
    case '\\': return "\\\\";
    case '\'': return "\\'";
    default: break;
    }
    if (byte >= ' ' && byte <= '~') {
        return std::string(1, static_cast<char>(byte));
    }
    char escaped[sizeof "\\xff"];
    (void)std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(byte));
    return escaped;
}

// 10xxxxxx
bool IsUtf8Continuation(char byte)
{
    constexpr unsigned char kTagMask = 0xC0;
    constexpr unsigned char kContinuationTag = 0x80;
    return (static_cast<unsigned char>(byte) & kTagMask) == kContinuationTag;
}

std::string QuotedBytes(std::string_view bytes)
{
    std::string quoted;
    for (const char byte : bytes) {
        quoted += Quoted(static_cast<unsigned char>(byte));
    }
    return quoted;
}

// "rpn: PLACE:COLUMN: ", the column counted in bytes from 1.
std::string Prefix(const Place &place, std::size_t offset)
{
    std::string prefix = "rpn: ";
    prefix += place.name;
    if (place.line != 0) {
        prefix += ':' + std::to_string(place.line);
    }
    if (!place.part.empty()) {
        prefix += ": ";
        prefix += place.part;
    }
    prefix += ':' + std::to_string(offset + 1) + ": ";
    return prefix;
}

// Where the token that ends just before `offset` starts: after the last
// space or tab before it.
std::size_t TokenStart(std::string_view text, std::size_t offset)
{
    std::size_t start = offset;
    while (start > 0 && text[start - 1] != ' ' && text[start - 1] != '\t') {
        --start;
    }
    return start;
}

// What the check found, in words; `text` holds the skipped bytes.
std::string Finding(const kelvaro_rpn_warning &warning, std::string_view text)
{
    if (warning.kind == KELVARO_RPN_WARNING_VALUES_LEFT) {
        const std::string count = std::to_string(warning.length);
        return warning.length == 1 ? "1 value is left below the result"
                                   : count + " values are left below the result";
    }
    const std::size_t offset = warning.offset < text.size() ? warning.offset : text.size();
    const std::string skipped = "'" + QuotedBytes(text.substr(offset, warning.length)) + "'";
    if (warning.kind == KELVARO_RPN_WARNING_NUMBER_TAIL) {
        const std::size_t start = TokenStart(text, offset);
        return skipped + " after the number " + QuotedBytes(text.substr(start, offset - start)) +
               " is skipped (a number ends at its last digit)";
    }
    const std::string command = offset > 0 ? QuotedBytes(text.substr(offset - 1, 1)) : "";
    return skipped + " after '" + command + "' is skipped (only a token's first byte counts)";
}

}  // namespace

std::string DescribeFailure(const Place &place, const kelvaro_rpn_outcome &outcome,
                            std::string_view text)
{
    std::string message = Prefix(place, outcome.offset);
    message += kelvaro_rpn_status_name(outcome.status);
    if (outcome.status == KELVARO_RPN_INVALID_CHARACTER && outcome.offset < text.size()) {
        message += " '" + Quoted(static_cast<unsigned char>(text[outcome.offset])) + "'";
    }
    message += '\n';
    return message;
}

std::string DescribeWarning(const Place &place, const kelvaro_rpn_warning &warning,
                            std::string_view text, Severity severity)
{
    return Prefix(place, warning.offset) + (severity == Severity::kError ? "error: " : "warning: ") +
           Finding(warning, text) + "\n";
}

std::string PointAt(std::size_t offset, std::string_view text)
{
    std::string lines(text);
    lines += '\n';
    // A tab stays a tab so that the caret lines up, and the bytes that
    // continue a UTF-8 character take no column of their own.
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\t') {
            lines += '\t';
        } else if (!IsUtf8Continuation(text[i])) {
            lines += ' ';
        }
    }
    lines += "^\n";
    return lines;
}
