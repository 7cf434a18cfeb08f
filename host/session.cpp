#include "session.h"

#include "exit_status.h"

#include <cstring>
#include <new>

namespace {

// Said in place of the result line when an expression leaves the kept
// stack empty: there is no value to show.
constexpr std::string_view kStackEmptyLine = "stack empty\n";
constexpr std::string_view kResultPrefix = "result = ";
constexpr std::string_view kTopPrefix = "Top of stack: ";
constexpr std::string_view kRuleLine = "---------\n";
// The longest prefix, a value and the newline.
constexpr std::size_t kValueLineSize = kValueTextSize + kTopPrefix.size() + 1;

}  // namespace

Session::Session(const SessionSettings &settings, Output &output)
    : settings_(settings), output_(output)
{
    if (settings_.keepStack) {
        calculator_ = kelvaro_rpn_calculator_create();
        if (calculator_ == nullptr) {
            throw std::bad_alloc();
        }
    } else if (settings_.formula != nullptr) {
        scratch_ = kelvaro_rpn_calculator_create();
        if (scratch_ == nullptr) {
            throw std::bad_alloc();
        }
        checkApart_ = settings_.formula->outputs(1) <= 1;
    }
    // Under --strict a warning stops the expression before it runs.
    checkInRun_ = settings_.warnings && !settings_.strict && settings_.formula == nullptr &&
                  calculator_ == nullptr;
    // The library writes its listing lines with six decimals; any other
    // format needs the values themselves.
    listing_.context = this;
    if (settings_.format.IsLibrarys()) {
        listing_.line = TakeListingLine;
    } else {
        listing_.values = TakeListingValues;
    }
}

Session::~Session()
{
    kelvaro_rpn_calculator_destroy(calculator_);
    kelvaro_rpn_calculator_destroy(scratch_);
}

Verdict Session::Evaluate(std::string_view text, const Place &place)
{
    Verdict verdict{kExitSuccess, 0, text};
    oneValueAtMost_ = false;
    if (checkInRun_) {
        verdict = RunChecked(text, place);
    } else {
        if (settings_.warnings || settings_.strict) {
            verdict = Check(text, place);
        }
        if (verdict.status == kExitSuccess) {
            verdict = Run(text, place);
        }
    }
    output_.ExpressionDone();
    return verdict;
}

std::vector<double> Session::Stack() const
{
    if (calculator_ == nullptr) {
        return {};
    }
    std::vector<double> values(kelvaro_rpn_calculator_depth(calculator_));
    kelvaro_rpn_calculator_values(calculator_, values.data(), values.size());
    return values;
}

// Every value came from the stack, so every push fits.
void Session::Restore(const std::vector<double> &values)
{
    if (calculator_ == nullptr) {
        return;
    }
    kelvaro_rpn_calculator_clear(calculator_);
    for (const double value : values) {
        kelvaro_rpn_calculator_push(calculator_, value);
    }
}

// The expression as the user wrote it with the formula after it.
std::string_view Session::Joined(std::string_view text)
{
    if (settings_.formula == nullptr) {
        return text;
    }
    joined_.assign(text);
    joined_ += ' ';
    joined_ += settings_.formula->text();
    return joined_;
}

// `offset` counts in the expression followed by a space and the formula;
// past the expression it is the formula's own.
Session::Located Session::Locate(std::string_view text, const Place &place,
                                 std::size_t offset) const
{
    if (settings_.formula == nullptr || offset <= text.size()) {
        return {place, offset, text};
    }
    return {Place{place.name, place.line, kFormulaPart}, offset - text.size() - 1,
            settings_.formula->text()};
}

Verdict Session::Check(std::string_view text, const Place &place)
{
    return checkApart_ ? CheckApart(text, place) : CheckJoined(text, place);
}

void Session::Say(const Place &place, const kelvaro_rpn_warning &warning, std::string_view text,
                  Verdict &verdict)
{
    const Severity severity = settings_.strict ? Severity::kError : Severity::kWarning;
    output_.ToStandardError(DescribeWarning(place, warning, text, severity));
    if (settings_.strict && verdict.status == kExitSuccess) {
        verdict = {kExitStrict, warning.offset, text};
        KeepLineForExpression();
    }
}

Verdict Session::CheckJoined(std::string_view text, const Place &place)
{
    Verdict verdict{kExitSuccess, 0, text};
    for (const kelvaro_rpn_warning &found : check_.Run(Joined(text))) {
        const bool valuesLeft = found.kind == KELVARO_RPN_WARNING_VALUES_LEFT;
        // With a kept stack, values left are the point. The formula's own
        // tails were said once, at the start.
        if ((valuesLeft && calculator_ != nullptr) || (!valuesLeft && found.offset > text.size())) {
            continue;
        }
        const Located at = Locate(text, place, found.offset);
        kelvaro_rpn_warning warning = found;
        warning.offset = at.offset;
        Say(at.place, warning, at.text, verdict);
    }
    return verdict;
}

// The check of the expression alone says how many values it leaves when
// that is more than one; the formula's stack effect then says how many the
// two leave together. A formula that could overflow on them needs the
// joined text checked.
Verdict Session::CheckApart(std::string_view text, const Place &place)
{
    const Formula &formula = *settings_.formula;
    const auto &found = check_.Run(text);
    const bool manyLeft = !found.empty() && found.back().kind == KELVARO_RPN_WARNING_VALUES_LEFT;
    // Without the finding the expression leaves at most one value.
    const std::size_t depth = manyLeft ? found.back().length + 1 : 1;
    if (depth + formula.text().size() > KELVARO_RPN_STACK_CAPACITY) {
        return CheckJoined(text, place);
    }
    oneValueAtMost_ = !manyLeft;
    Verdict verdict{kExitSuccess, 0, text};
    for (kelvaro_rpn_warning warning : found) {
        if (warning.kind != KELVARO_RPN_WARNING_VALUES_LEFT) {
            Say(place, warning, text, verdict);
            continue;
        }
        const std::size_t left = formula.outputs(depth);
        if (left > 1) {
            warning.offset = formula.text().size();
            warning.length = left - 1;
            Say(Place{place.name, place.line, kFormulaPart}, warning, formula.text(), verdict);
        }
    }
    return verdict;
}

Verdict Session::Run(std::string_view text, const Place &place)
{
    kelvaro_rpn_outcome outcome{};
    if (calculator_ != nullptr) {
        const std::string_view whole = Joined(text);
        kelvaro_rpn_calculator_evaluate(calculator_, whole.data(), whole.size(), &listing_, &outcome);
    } else if (settings_.formula != nullptr) {
        outcome = RunWithFormula(text);
    } else {
        kelvaro_rpn_evaluate_listing(text.data(), text.size(), &listing_, &outcome);
    }
    return Report(outcome, text, place);
}

Verdict Session::RunChecked(std::string_view text, const Place &place)
{
    kelvaro_rpn_outcome outcome{};
    unsaidPlace_ = &place;
    unsaidText_ = text;
    check_.Evaluate(text, &listing_, outcome);
    SayWarnings();
    return Report(outcome, text, place);
}

// Said before anything the expression lists, as a check before its run
// would have said them.
void Session::SayWarnings()
{
    if (unsaidPlace_ == nullptr) {
        return;
    }
    const Place &place = *unsaidPlace_;
    unsaidPlace_ = nullptr;
    Verdict verdict{kExitSuccess, 0, unsaidText_};
    for (const kelvaro_rpn_warning &warning : check_.Found(unsaidText_)) {
        Say(place, warning, unsaidText_, verdict);
    }
}

Verdict Session::Report(const kelvaro_rpn_outcome &outcome, std::string_view text,
                        const Place &place)
{
    if (outcome.status == KELVARO_RPN_OK) {
        ReportValue(outcome.value);
        return {kExitSuccess, 0, text};
    }
    const Located at = Locate(text, place, outcome.offset);
    kelvaro_rpn_outcome located = outcome;
    located.offset = at.offset;
    ReportFailure(located, at.text, at.place);
    return {ExitStatusOf(outcome.status), at.offset, at.text};
}

// The expression on an empty stack, then the compiled formula on what it
// left: the outcome of the two texts joined by a space, the offset counted
// in them.
kelvaro_rpn_outcome Session::RunWithFormula(std::string_view text)
{
    kelvaro_rpn_outcome outcome{};
    if (oneValueAtMost_) {
        // Its value is its whole stack; an underflow at its very end is an
        // empty one. Cheaper than a calculator.
        kelvaro_rpn_evaluate_listing(text.data(), text.size(), &listing_, &outcome);
        const bool empty = outcome.status == KELVARO_RPN_STACK_UNDERFLOW && outcome.offset == text.size();
        if (outcome.status != KELVARO_RPN_OK && !empty) {
            return outcome;
        }
        const double value = outcome.value;
        outcome = settings_.formula->Run(&value, empty ? 0 : 1, &listing_);
    } else {
        kelvaro_rpn_calculator_clear(scratch_);
        if (kelvaro_rpn_calculator_evaluate(scratch_, text.data(), text.size(), &listing_, &outcome) !=
            KELVARO_RPN_OK) {
            return outcome;
        }
        const std::size_t count =
            kelvaro_rpn_calculator_values(scratch_, values_.data(), values_.size());
        outcome = settings_.formula->Run(values_.data(), count, &listing_);
    }
    if (outcome.status != KELVARO_RPN_OK) {
        outcome.offset += text.size() + 1;
    }
    return outcome;
}

void Session::TakeListingLine(void *context, const char *text, std::size_t length)
{
    static_cast<Session *>(context)->SayWarnings();
    static_cast<Session *>(context)->WriteLibraryLine({text, length});
}

// The same lines as the library's, with the values in rpn's format.
void Session::TakeListingValues(void *context, char command, const double *values,
                                std::size_t count)
{
    auto *session = static_cast<Session *>(context);
    session->SayWarnings();
    if (command == '#') {
        session->WriteValueLine(kTopPrefix, values[count - 1]);
        return;
    }
    session->WriteLibraryLine("\n");
    session->WriteLibraryLine(kRuleLine);
    for (std::size_t i = count; i-- > 0;) {
        session->WriteValueLine("", values[i]);
    }
    session->WriteLibraryLine(kRuleLine);
}

void Session::WriteLibraryLine(std::string_view line)
{
    if (settings_.quiet) {
        output_.ToStandardError(line);
    } else {
        output_.ToStandardOutput(line);
    }
}

void Session::WriteValueLine(std::string_view prefix, double value)
{
    char line[kValueLineSize];
    WriteLibraryLine(ValueLine(line, prefix, value));
}

std::string_view Session::ValueLine(char *line, std::string_view prefix, double value) const
{
    std::memcpy(line, prefix.data(), prefix.size());
    std::size_t length = prefix.size() + FormatValue(value, settings_.format, line + prefix.size());
    line[length++] = '\n';
    return {line, length};
}

void Session::ReportValue(double value)
{
    // Quiet, the value alone is the answer: the result line would only say
    // it again on standard error, wherever that leads.
    if (calculator_ != nullptr && kelvaro_rpn_calculator_depth(calculator_) == 0) {
        output_.ToStandardOutput(settings_.quiet ? std::string_view("\n") : kStackEmptyLine);
        return;
    }
    char line[kValueLineSize];
    const std::string_view resultLine = ValueLine(line, kResultPrefix, value);
    output_.ToStandardOutput(settings_.quiet ? resultLine.substr(kResultPrefix.size()) : resultLine);
}

void Session::ReportFailure(const kelvaro_rpn_outcome &outcome, std::string_view text,
                            const Place &place)
{
    char message[KELVARO_RPN_MESSAGE_SIZE];
    const std::size_t length =
        kelvaro_rpn_format_message(&outcome, text.data(), text.size(), message, sizeof message);
    WriteLibraryLine({message, length});
    output_.ToStandardError(DescribeFailure(place, outcome, text));
    KeepLineForExpression();
}

void Session::KeepLineForExpression()
{
    if (settings_.quiet && settings_.lineForEveryExpression) {
        output_.ToStandardOutput("\n");
    }
}
