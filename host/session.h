// Evaluating expressions one after another and writing what each one gives.
#ifndef RPN_SESSION_H
#define RPN_SESSION_H

#include "diagnostic.h"
#include "formula.h"
#include "output.h"
#include "text_check.h"
#include "value_format.h"

#include <kelvaro/rpn.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct SessionSettings {
    // Standard output gets only values, and no result or "stack empty" line
    // is written; what was asked for in the expression (the listings of #
    // and @) and failure messages go to standard error.
    bool quiet;
    // A failed expression still gets its (empty) line on standard output
    // in quiet mode, so that output line N answers expression N.
    bool lineForEveryExpression;
    // The stack carries over from one expression to the next.
    bool keepStack;
    ValueFormat format;
    // What kelvaro_rpn_check finds is said on standard error.
    bool warnings = true;
    // What kelvaro_rpn_check finds is an error: the expression does not run.
    bool strict = false;
    // Runs after every expression, on what it left (nullptr: none).
    const Formula *formula = nullptr;
};

// What became of an expression: its exit status and, when it failed, the
// byte where, in `text` (the expression, or the --each formula).
struct Verdict {
    int status;
    std::size_t offset;
    std::string_view text;
};

class Session {
public:
    Session(const SessionSettings &settings, Output &output);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Evaluates `text` (and the formula after it) and writes its warnings,
    // its listing and its result line, or its failure message and, on
    // standard error, where it failed. The verdict's text stays valid until
    // the next call.
    Verdict Evaluate(std::string_view text, const Place &place);

    // The kept stack, values[0] the bottom (empty when no stack is kept),
    // and putting back one it gave.
    std::vector<double> Stack() const;
    void Restore(const std::vector<double> &values);

    const ValueFormat &format() const { return settings_.format; }

private:
    // A place in the expression followed by the formula, told apart.
    struct Located {
        Place place;
        std::size_t offset;
        std::string_view text;
    };

    static void TakeListingLine(void *context, const char *text, std::size_t length);
    static void TakeListingValues(void *context, char command, const double *values,
                                  std::size_t count);

    std::string_view Joined(std::string_view text);
    Located Locate(std::string_view text, const Place &place, std::size_t offset) const;
    Verdict Check(std::string_view text, const Place &place);
    Verdict CheckJoined(std::string_view text, const Place &place);
    Verdict CheckApart(std::string_view text, const Place &place);
    void Say(const Place &place, const kelvaro_rpn_warning &warning, std::string_view text,
             Verdict &verdict);
    Verdict Run(std::string_view text, const Place &place);
    Verdict RunChecked(std::string_view text, const Place &place);
    void SayWarnings();
    Verdict Report(const kelvaro_rpn_outcome &outcome, std::string_view text, const Place &place);
    kelvaro_rpn_outcome RunWithFormula(std::string_view text);

    void WriteLibraryLine(std::string_view line);
    void WriteValueLine(std::string_view prefix, double value);
    // PREFIX VALUE and a newline, written into `line` (kValueLineSize
    // bytes).
    std::string_view ValueLine(char *line, std::string_view prefix, double value) const;
    void ReportValue(double value);
    void ReportFailure(const kelvaro_rpn_outcome &outcome, std::string_view text,
                       const Place &place);
    void KeepLineForExpression();

    SessionSettings settings_;
    Output &output_;
    kelvaro_rpn_calculator *calculator_ = nullptr;
    // Where an expression runs before the formula, when no stack is kept.
    kelvaro_rpn_calculator *scratch_ = nullptr;
    std::array<double, KELVARO_RPN_STACK_CAPACITY> values_{};
    // The expression, a space and the formula, for the check and the kept
    // stack.
    std::string joined_;
    TextCheck check_;
    // The formula's warnings can be found from the expression's own check
    // and the formula's stack effect, without joining the two: it never
    // leaves more than one value on one.
    bool checkApart_ = false;
    // The check just run apart found that the expression leaves at most one
    // value, so evaluating it once tells its whole stack.
    bool oneValueAtMost_ = false;
    bool checkInRun_ = false;  // one call evaluates and checks
    kelvaro_rpn_listing listing_{};
    // The expression whose warnings are still to be said before anything
    // it lists: RunChecked's, until the first listing or its end.
    const Place *unsaidPlace_ = nullptr;
    std::string_view unsaidText_;
};

#endif
