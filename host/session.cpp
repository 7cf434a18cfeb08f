#include "session.h"

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
    }
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
}

kelvaro_rpn_outcome Session::Evaluate(std::string_view text, const Place &place)
{
    kelvaro_rpn_outcome outcome{};
    if (calculator_ != nullptr) {
        kelvaro_rpn_calculator_evaluate(calculator_, text.data(), text.size(), &listing_, &outcome);
    } else {
        kelvaro_rpn_evaluate_listing(text.data(), text.size(), &listing_, &outcome);
    }
    if (outcome.status == KELVARO_RPN_OK) {
        ReportValue(outcome.value);
    } else {
        ReportFailure(outcome, text, place);
    }
    output_.ExpressionDone();
    return outcome;
}

void Session::TakeListingLine(void *context, const char *text, std::size_t length)
{
    static_cast<Session *>(context)->WriteLibraryLine({text, length});
}

// The same lines as the library's, with the values in rpn's format.
void Session::TakeListingValues(void *context, char command, const double *values,
                                std::size_t count)
{
    auto *session = static_cast<Session *>(context);
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
    if (calculator_ != nullptr && kelvaro_rpn_calculator_depth(calculator_) == 0) {
        WriteLibraryLine(kStackEmptyLine);
        if (settings_.quiet) {
            output_.ToStandardOutput("\n");
        }
        return;
    }
    char line[kValueLineSize];
    const std::string_view resultLine = ValueLine(line, kResultPrefix, value);
    WriteLibraryLine(resultLine);
    if (settings_.quiet) {
        output_.ToStandardOutput(resultLine.substr(kResultPrefix.size()));
    }
}

void Session::ReportFailure(const kelvaro_rpn_outcome &outcome, std::string_view text,
                            const Place &place)
{
    char message[KELVARO_RPN_MESSAGE_SIZE];
    const std::size_t length =
        kelvaro_rpn_format_message(&outcome, text.data(), text.size(), message, sizeof message);
    WriteLibraryLine({message, length});
    output_.ToStandardError(DescribeFailure(place, outcome, text));
    if (settings_.quiet && settings_.lineForEveryExpression) {
        output_.ToStandardOutput("\n");
    }
}
