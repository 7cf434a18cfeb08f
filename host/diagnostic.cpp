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

}  // namespace

std::string DescribeFailure(const Place &place, const kelvaro_rpn_outcome &outcome,
                            std::string_view text)
{
    std::string message = "rpn: ";
    message += place.name;
    if (place.line != 0) {
        message += ':' + std::to_string(place.line);
    }
    message += ':' + std::to_string(outcome.offset + 1) + ": ";
    message += kelvaro_rpn_status_name(outcome.status);
    if (outcome.status == KELVARO_RPN_INVALID_CHARACTER && outcome.offset < text.size()) {
        message += " '" + Quoted(static_cast<unsigned char>(text[outcome.offset])) + "'";
    }
    message += '\n';
    return message;
}

std::string PointAtFailure(const kelvaro_rpn_outcome &outcome, std::string_view text)
{
    std::string lines(text);
    lines += '\n';
    // A tab stays a tab so that the caret lines up, and the bytes that
    // continue a UTF-8 character take no column of their own.
    for (std::size_t i = 0; i < outcome.offset && i < text.size(); ++i) {
        if (text[i] == '\t') {
            lines += '\t';
        } else if (!IsUtf8Continuation(text[i])) {
            lines += ' ';
        }
    }
    lines += "^\n";
    return lines;
}
