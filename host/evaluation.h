// The evaluation path: one call into the library per expression, its lines
// written, and what went wrong said on standard error with its place.
#ifndef RPN_EVALUATION_H
#define RPN_EVALUATION_H

#include "output.h"

#include <kelvaro/rpn.h>

#include <string>
#include <string_view>
#include <vector>

// "%f", as the library's own lines, unless -d or --shortest says otherwise.
constexpr int kLibraryDecimals = 6;
struct ValueFormat {
    int decimals = kLibraryDecimals;
    bool shortest = false;
};
std::string ValueText(double value, const ValueFormat &format);

// "argument 2" (line 0), or a file ("-": standard input) and its line from 1.
struct Place {
    std::string_view name;
    unsigned long line;
};

// The text and a caret under the byte at `offset`; a tab stays a tab and a
// UTF-8 character takes one column, so that the caret lines up.
std::string PointAt(std::size_t offset, std::string_view text);

struct Settings {
    bool quiet = false;  // standard output gets only values, the rest goes to standard error
    // Quiet, a failure still gets its empty line: output line N answers
    // expression N.
    bool lineForEveryExpression = false;
    bool keepStack = false;
    ValueFormat format;
    bool warnings = true;
    bool strict = false;  // a warning is an error (status 4): no run
};

// An expression's exit status and, when it failed, where in `text`.
struct Verdict {
    int status;
    std::size_t offset;
    std::string_view text;
};

class Evaluator {
public:
    Evaluator(const Settings &settings, Output &output);
    ~Evaluator() { kelvaro_rpn_calculator_destroy(calculator_); }
    Evaluator(const Evaluator &) = delete;
    Evaluator &operator=(const Evaluator &) = delete;

    // The expression's warnings, listing and result line, or its failure
    // line and where it failed. The verdict's text lives as long as `text`.
    Verdict Evaluate(std::string_view text, const Place &place);

    // The kept stack, values[0] the bottom, and putting one back.
    std::vector<double> Stack() const;
    void Restore(const std::vector<double> &values);
    const ValueFormat &format() const { return settings_.format; }

private:
    kelvaro_rpn_outcome Run(const Place &place);
    void ReportValue(double value);
    static void TakeValues(void *context, char command, const double *values, std::size_t count);
    static void TakeLine(void *context, const char *text, std::size_t length);
    void SayWarnings();
    void Listed(std::string_view line) { settings_.quiet ? output_.Err(line) : output_.Out(line); }

    Settings settings_;
    Output &output_;
    kelvaro_rpn_calculator *calculator_ = nullptr;
    bool onePass_;  // the check and the run in one pass over the text
    kelvaro_rpn_listing listing_{};
    std::vector<kelvaro_rpn_warning> found_;
    std::size_t foundCount_ = 0;
    const Place *unsaid_ = nullptr;  // warnings not said yet, before any listing line
    std::string_view text_;
    Verdict verdict_{};
};

#endif
