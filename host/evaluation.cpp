#include "evaluation.h"

#include "exit_status.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr std::string_view kResultPrefix = "result = ";
// Room for the result line: its prefix, a value and the newline.
constexpr std::size_t kLineSize = kValueTextSize + 16;

std::size_t Format(double value, const ValueFormat &format, char *text)
{
    return format.shortest ? kelvaro_rpn_format_shortest(value, text, kValueTextSize)
                           : kelvaro_rpn_format_fixed(value, format.decimals, text, kValueTextSize);
}

// The byte as C writes it between quotes, so that a control byte or half of
// a UTF-8 character does not garble the message.
std::string Quoted(std::string_view bytes)
{
    std::string quoted;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const char *escape = byte == '\t' ? "\\t" : byte == '\r' ? "\\r" : byte == '\n' ? "\\n"
                           : byte == '\\' ? "\\\\" : byte == '\'' ? "\\'" : nullptr;
        char hex[sizeof "\\xff"];
        if (escape == nullptr && (byte < ' ' || byte > '~')) {
            (void)std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned>(byte));
            escape = hex;
        }
        quoted += escape != nullptr ? std::string(escape) : std::string(1, c);
    }
    return quoted;
}

// "rpn: PLACE:COLUMN: ".
std::string Prefix(const Place &place, std::size_t offset)
{
    std::string prefix = "rpn: " + std::string(place.name);
    if (place.line != 0) {
        prefix += ':' + std::to_string(place.line);
    }
    if (!place.part.empty()) {
        prefix += ": " + std::string(place.part);
    }
    return prefix + ':' + std::to_string(offset + 1) + ": ";
}

// What the check found, in words.
std::string Finding(const kelvaro_rpn_warning &warning, std::string_view text)
{
    if (warning.kind == KELVARO_RPN_WARNING_VALUES_LEFT) {
        return warning.length == 1 ? "1 value is left below the result"
                                   : std::to_string(warning.length) + " values are left below the result";
    }
    const std::size_t offset = warning.offset < text.size() ? warning.offset : text.size();
    const std::string skipped = "'" + Quoted(text.substr(offset, warning.length)) + "'";
    if (warning.kind == KELVARO_RPN_WARNING_NUMBER_TAIL) {
        // The number starts after the last space or tab before its tail.
        std::size_t start = offset;
        while (start > 0 && text[start - 1] != ' ' && text[start - 1] != '\t') {
            --start;
        }
        return skipped + " after the number " + Quoted(text.substr(start, offset - start)) +
               " is skipped (a number ends at its last digit)";
    }
    return skipped + " after '" + Quoted(text.substr(offset > 0 ? offset - 1 : 0, offset > 0 ? 1 : 0)) +
           "' is skipped (only a token's first byte counts)";
}

}  // namespace

std::string ValueText(double value, const ValueFormat &format)
{
    char text[kValueTextSize];
    return {text, Format(value, format, text)};
}

std::string DescribeFailure(const Place &place, const kelvaro_rpn_outcome &outcome, std::string_view text)
{
    std::string message = Prefix(place, outcome.offset) + kelvaro_rpn_status_name(outcome.status);
    if (outcome.status == KELVARO_RPN_INVALID_CHARACTER && outcome.offset < text.size()) {
        message += " '" + Quoted(text.substr(outcome.offset, 1)) + "'";
    }
    return message + '\n';
}

std::string PointAt(std::size_t offset, std::string_view text)
{
    std::string lines = std::string(text) + '\n';
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        // Bytes 10xxxxxx continue a UTF-8 character.
        if (text[i] == '\t') {
            lines += '\t';
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            lines += ' ';
        }
    }
    return lines + "^\n";
}

Evaluator::Evaluator(const Settings &settings, Output &output)
    : settings_(settings), output_(output), found_(8)
{
    if (settings_.keepStack && (calculator_ = kelvaro_rpn_calculator_create()) == nullptr) {
        throw std::bad_alloc();
    }
    // Under --strict a warning stops the expression before it runs; with a
    // kept stack the check leaves the values-left finding to be skipped.
    onePass_ = settings_.warnings && !settings_.strict && calculator_ == nullptr;
    listing_.context = this;
    // The library's lines carry six decimals; any other format needs the
    // values themselves.
    if (settings_.format.decimals == 6 && !settings_.format.shortest) {
        listing_.line = TakeLine;
    } else {
        listing_.values = TakeValues;
    }
}

Evaluator::~Evaluator()
{
    kelvaro_rpn_calculator_destroy(calculator_);
}

int Evaluator::CheckFormula()
{
    const std::string &formula = settings_.formula;
    if (formula.empty()) {
        return kExitSuccess;
    }
    kelvaro_rpn_program *program = nullptr;
    kelvaro_rpn_outcome outcome{};
    const kelvaro_rpn_status status = kelvaro_rpn_compile(formula.data(), formula.size(), &program, &outcome);
    kelvaro_rpn_program_destroy(program);
    if (status == KELVARO_RPN_OUT_OF_MEMORY) {
        throw std::bad_alloc();
    }
    if (status != KELVARO_RPN_OK) {
        output_.Err(DescribeFailure(Place{kFormulaPart, 0}, outcome, formula) + kUsageHint);
        return kExitUsage;
    }
    // Values it leaves depend on what it runs on: those are said with each
    // expression.
    std::vector<kelvaro_rpn_warning> found(formula.size() + 1);
    found.resize(kelvaro_rpn_check(formula.data(), formula.size(), found.data(), found.size()));
    std::string lines;
    for (const kelvaro_rpn_warning &warning : found) {
        if (warning.kind != KELVARO_RPN_WARNING_VALUES_LEFT) {
            lines += Prefix(Place{kFormulaPart, 0}, warning.offset) + (settings_.strict ? "error: " : "warning: ") +
                     Finding(warning, formula) + "\n";
        }
    }
    if (settings_.strict && !lines.empty()) {
        output_.Err(lines + kUsageHint);
        return kExitUsage;
    }
    if (settings_.warnings) {
        output_.Err(lines);
    }
    return kExitSuccess;
}

Verdict Evaluator::Evaluate(std::string_view text, const Place &place)
{
    std::string_view whole = text;
    if (!settings_.formula.empty()) {
        joined_.assign(text).append(1, ' ').append(settings_.formula);
        whole = joined_;
    }
    verdict_ = {kExitSuccess, 0, text};
    text_ = text;
    kelvaro_rpn_outcome outcome{};
    // Warnings, then the run: the two in one pass over the text where they
    // can, the warnings said before the first listing line.
    const bool onePass = onePass_;
    if (settings_.warnings || settings_.strict) {
        whole_ = whole;
        unsaid_ = &place;
        if (onePass) {
            kelvaro_rpn_evaluate_checked(whole.data(), whole.size(), &listing_, found_.data(), found_.size(),
                                         &foundCount_, &outcome);
            if (foundCount_ == 0) {
                unsaid_ = nullptr;
            }
        } else {
            foundCount_ = kelvaro_rpn_check(whole.data(), whole.size(), found_.data(), found_.size());
            SayWarnings();
        }
    }
    if (verdict_.status == kExitSuccess && !onePass) {
        if (calculator_ != nullptr) {
            kelvaro_rpn_calculator_evaluate(calculator_, whole.data(), whole.size(), &listing_, &outcome);
        } else {
            kelvaro_rpn_evaluate_listing(whole.data(), whole.size(), &listing_, &outcome);
        }
    }
    if (unsaid_ != nullptr) {
        SayWarnings();
    }
    if (verdict_.status != kExitSuccess) {
        // --strict refused it.
    } else if (outcome.status == KELVARO_RPN_OK) {
        char line[kLineSize];
        std::memcpy(line, kResultPrefix.data(), kResultPrefix.size());
        std::size_t length = kResultPrefix.size();
        if (calculator_ != nullptr && kelvaro_rpn_calculator_depth(calculator_) == 0) {
            length = 0;
            if (!settings_.quiet) {
                output_.Out("stack empty");
            }
        } else {
            length += Format(outcome.value, settings_.format, line + length);
        }
        line[length++] = '\n';
        const std::size_t start = settings_.quiet && length > 1 ? kResultPrefix.size() : 0;
        output_.Out({line + start, length - start});
    } else {
        std::string_view at = text;
        const Place where = Locate(outcome.offset, at, place);
        char message[KELVARO_RPN_MESSAGE_SIZE];
        Listed({message, kelvaro_rpn_format_message(&outcome, at.data(), at.size(), message, sizeof message)});
        output_.Err(DescribeFailure(where, outcome, at));
        Unanswered();
        verdict_ = {ExitStatusOf(outcome.status), outcome.offset, at};
    }
    output_.ExpressionDone();
    return verdict_;
}

std::vector<double> Evaluator::Stack() const
{
    if (calculator_ == nullptr) {
        return {};
    }
    std::vector<double> values(kelvaro_rpn_calculator_depth(calculator_));
    kelvaro_rpn_calculator_values(calculator_, values.data(), values.size());
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

// The library's lines again, with the values in rpn's format.
void Evaluator::TakeValues(void *context, char command, const double *values, std::size_t count)
{
    auto *self = static_cast<Evaluator *>(context);
    if (self->unsaid_ != nullptr) {
        self->SayWarnings();
    }
    if (command == '#') {
        self->Listed("Top of stack: " + ValueText(values[count - 1], self->settings_.format) + "\n");
        return;
    }
    std::string lines = "\n---------\n";
    for (std::size_t i = count; i-- > 0;) {
        lines += ValueText(values[i], self->settings_.format) + "\n";
    }
    self->Listed(lines + "---------\n");
}

void Evaluator::SayWarnings()
{
    const Place &place = *unsaid_;
    unsaid_ = nullptr;
    if (foundCount_ > found_.size()) {
        found_.resize(foundCount_);
        kelvaro_rpn_check(whole_.data(), whole_.size(), found_.data(), found_.size());
    }
    for (std::size_t i = 0; i < foundCount_; ++i) {
        kelvaro_rpn_warning warning = found_[i];
        const bool valuesLeft = warning.kind == KELVARO_RPN_WARNING_VALUES_LEFT;
        // With a kept stack values left are the point; the formula's own
        // tails were said once, at the start.
        if ((valuesLeft && calculator_ != nullptr) || (!valuesLeft && warning.offset > text_.size())) {
            continue;
        }
        std::string_view at = text_;
        const Place where = Locate(warning.offset, at, place);
        output_.Err(Prefix(where, warning.offset) + (settings_.strict ? "error: " : "warning: ") +
                    Finding(warning, at) + "\n");
        if (settings_.strict && verdict_.status == kExitSuccess) {
            verdict_ = {kExitStrict, warning.offset, at};
            Unanswered();
        }
    }
}

// An offset past the expression counts in the formula after it.
Place Evaluator::Locate(std::size_t &offset, std::string_view &text, const Place &place) const
{
    if (settings_.formula.empty() || offset <= text.size()) {
        return place;
    }
    offset -= text.size() + 1;
    text = settings_.formula;
    return Place{place.name, place.line, kFormulaPart};
}

void Evaluator::Listed(std::string_view line)
{
    if (settings_.quiet) {
        output_.Err(line);
    } else {
        output_.Out(line);
    }
}

void Evaluator::Unanswered()
{
    if (settings_.quiet && settings_.lineForEveryExpression) {
        output_.Out("\n");
    }
}
