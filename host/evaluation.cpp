#include "evaluation.h"

#include "exit_status.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr std::string_view kResultPrefix = "result = ";
// More warnings than a line typed by hand usually has; the room grows.
constexpr std::size_t kInitialRoom = 8;
// Bytes 10xxxxxx continue a UTF-8 character.
constexpr unsigned char kTagMask = 0xC0;
constexpr unsigned char kContinuationTag = 0x80;

// The bytes as C writes them between quotes, so that a control byte or half
// of a UTF-8 character does not garble the message.
std::string Quoted(std::string_view bytes)
{
    constexpr std::string_view kEscaped = "\t\r\n\\'";
    constexpr const char *kEscapes[] = {"\\t", "\\r", "\\n", "\\\\", "\\'"};
    std::string quoted;
    for (const char c : bytes) {
        const std::size_t escaped = kEscaped.find(c);
        char hex[sizeof "\\xff"];
        if (escaped != std::string_view::npos) {
            quoted += kEscapes[escaped];
        } else if (c < ' ' || c > '~') {
            (void)std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
            quoted += hex;
        } else {
            quoted += c;
        }
    }
    return quoted;
}

// "rpn: PLACE:COLUMN: ", the column in bytes from 1.
std::string Prefix(const Place &place, std::size_t offset)
{
    return "rpn: " + std::string(place.name) + (place.line != 0 ? ":" + std::to_string(place.line) : "") + ":" +
           std::to_string(offset + 1) + ": ";
}

// A finding of kelvaro_rpn_check in words.
std::string Finding(const kelvaro_rpn_warning &warning, std::string_view text)
{
    if (warning.kind == KELVARO_RPN_WARNING_VALUES_LEFT) {
        return warning.length == 1 ? "1 value is left below the result"
                                   : std::to_string(warning.length) + " values are left below the result";
    }
    const std::size_t offset = std::min(warning.offset, text.size());
    const std::string skipped = "'" + Quoted(text.substr(offset, warning.length)) + "'";
    if (warning.kind != KELVARO_RPN_WARNING_NUMBER_TAIL) {
        return skipped + " after '" + Quoted(text.substr(offset > 0 ? offset - 1 : 0, offset > 0 ? 1 : 0)) +
               "' is skipped (only a token's first byte counts)";
    }
    // The number starts after the last space or tab before its tail.
    const std::size_t start = text.find_last_of(" \t", offset == 0 ? 0 : offset - 1);
    const std::size_t first = start == std::string_view::npos || offset == 0 ? 0 : start + 1;
    return skipped + " after the number " + Quoted(text.substr(first, offset - first)) +
           " is skipped (a number ends at its last digit)";
}

// "rpn: PLACE:COLUMN: invalid character '?'\n".
std::string FailureLine(const Place &place, const kelvaro_rpn_outcome &outcome, std::string_view text)
{
    const bool invalid = outcome.status == KELVARO_RPN_INVALID_CHARACTER && outcome.offset < text.size();
    return Prefix(place, outcome.offset) + kelvaro_rpn_status_name(outcome.status) +
           (invalid ? " '" + Quoted(text.substr(outcome.offset, 1)) + "'" : "") + "\n";
}

std::size_t Format(double value, const ValueFormat &format, char *text)
{
    return format.shortest ? kelvaro_rpn_format_shortest(value, text, KELVARO_RPN_SHORTEST_SIZE)
                           : kelvaro_rpn_format_fixed(value, format.decimals, text, KELVARO_RPN_FIXED_SIZE);
}

}  // namespace

std::string ValueText(double value, const ValueFormat &format)
{
    char text[KELVARO_RPN_FIXED_SIZE];
    return {text, Format(value, format, text)};
}

std::string PointAt(std::size_t offset, std::string_view text)
{
    std::string lines = std::string(text) + '\n';
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\t' || (static_cast<unsigned char>(text[i]) & kTagMask) != kContinuationTag) {
            lines += text[i] == '\t' ? '\t' : ' ';
        }
    }
    return lines + "^\n";
}

Evaluator::Evaluator(const Settings &settings, Output &output)
    : settings_(settings), output_(output), found_(kInitialRoom)
{
    if (settings_.keepStack && (calculator_ = kelvaro_rpn_calculator_create()) == nullptr) {
        throw std::bad_alloc();
    }
    // Under --strict a warning stops the expression before it runs.
    onePass_ = settings_.warnings && !settings_.strict && calculator_ == nullptr;
    listing_.context = this;
    // The library's lines carry six decimals; another format has them written
    // again from the values.
    if (settings_.format.decimals == kLibraryDecimals && !settings_.format.shortest) {
        listing_.line = TakeLine;
    } else {
        listing_.values = TakeValues;
    }
}

// The check and the run, the check's warnings said before the first listing
// line; under --strict one of them stops the run.
inline kelvaro_rpn_outcome Evaluator::Run(const Place &place)
{
    kelvaro_rpn_outcome outcome{};
    if (settings_.warnings || settings_.strict) {
        unsaid_ = &place;
        if (onePass_) {
            kelvaro_rpn_evaluate_checked(text_.data(), text_.size(), &listing_, found_.data(), found_.size(),
                                         &foundCount_, &outcome);
            unsaid_ = foundCount_ == 0 ? nullptr : unsaid_;
        } else {
            foundCount_ = kelvaro_rpn_check(text_.data(), text_.size(), found_.data(), found_.size());
            SayWarnings();
        }
    }
    if (verdict_.status == kExitSuccess && !onePass_) {
        if (calculator_ != nullptr) {
            kelvaro_rpn_calculator_evaluate(calculator_, text_.data(), text_.size(), &listing_, &outcome);
        } else {
            kelvaro_rpn_evaluate_listing(text_.data(), text_.size(), &listing_, &outcome);
        }
    }
    if (unsaid_ != nullptr) {
        SayWarnings();
    }
    return outcome;
}

inline void Evaluator::ReportValue(double value)
{
    if (calculator_ != nullptr && kelvaro_rpn_calculator_depth(calculator_) == 0) {
        // A kept stack left empty has no value to show.
        output_.Out(settings_.quiet ? "\n" : "stack empty\n");
        return;
    }
    // Quiet, the value alone is the answer.
    char line[KELVARO_RPN_FIXED_SIZE + kResultPrefix.size() + 1];
    std::memcpy(line, kResultPrefix.data(), kResultPrefix.size());
    std::size_t length = kResultPrefix.size() + Format(value, settings_.format, line + kResultPrefix.size());
    line[length++] = '\n';
    const std::size_t start = settings_.quiet ? kResultPrefix.size() : 0;
    output_.Out({line + start, length - start});
}

Verdict Evaluator::Evaluate(std::string_view text, const Place &place)
{
    verdict_ = {kExitSuccess, 0, text};
    text_ = text;
    const kelvaro_rpn_outcome outcome = Run(place);
    if (verdict_.status == kExitSuccess && outcome.status == KELVARO_RPN_OK) {
        ReportValue(outcome.value);
    } else if (verdict_.status == kExitSuccess) {
        char message[KELVARO_RPN_MESSAGE_SIZE];
        Listed({message, kelvaro_rpn_format_message(&outcome, text.data(), text.size(), message, sizeof message)});
        output_.Err(FailureLine(place, outcome, text));
        verdict_ = {ExitStatusOf(outcome.status), outcome.offset, text};
    }
    if (verdict_.status != kExitSuccess && settings_.quiet && settings_.lineForEveryExpression) {
        output_.Out("\n");
    }
    output_.ExpressionDone();
    return verdict_;
}

std::vector<double> Evaluator::Stack() const
{
    std::vector<double> values(calculator_ == nullptr ? 0 : kelvaro_rpn_calculator_depth(calculator_));
    if (!values.empty()) {
        kelvaro_rpn_calculator_values(calculator_, values.data(), values.size());
    }
    return values;
}

// Every value came from the stack, so every push fits.
void Evaluator::Restore(const std::vector<double> &values)
{
    kelvaro_rpn_calculator_clear(calculator_);
    for (const double value : values) {
        kelvaro_rpn_calculator_push(calculator_, value);
    }
}

void Evaluator::TakeLine(void *context, const char *text, std::size_t length)
{
    auto *self = static_cast<Evaluator *>(context);
    if (self->unsaid_ != nullptr) {
        self->SayWarnings();
    }
    self->Listed({text, length});
}

void Evaluator::TakeValues(void *context, char command, const double *values, std::size_t count)
{
    const ValueFormat &asked = static_cast<Evaluator *>(context)->settings_.format;
    kelvaro_rpn_listing_lines(command, values, count, asked.shortest ? KELVARO_RPN_SHORTEST : asked.decimals,
                              TakeLine, context);
}

void Evaluator::SayWarnings()
{
    const Place &place = *unsaid_;
    unsaid_ = nullptr;
    if (foundCount_ > found_.size()) {
        found_.resize(foundCount_);
        kelvaro_rpn_check(text_.data(), text_.size(), found_.data(), found_.size());
    }
    for (std::size_t i = 0; i < foundCount_; ++i) {
        const kelvaro_rpn_warning &warning = found_[i];
        // With a kept stack values left are the point.
        if (warning.kind == KELVARO_RPN_WARNING_VALUES_LEFT && calculator_ != nullptr) {
            continue;
        }
        output_.Err(Prefix(place, warning.offset) + (settings_.strict ? "error: " : "warning: ") +
                    Finding(warning, text_) + "\n");
        if (settings_.strict && verdict_.status == kExitSuccess) {
            verdict_ = {kExitStrict, warning.offset, text_};
        }
    }
}
