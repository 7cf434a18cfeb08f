// Evaluating expressions one after another and writing what each one gives.
#ifndef RPN_SESSION_H
#define RPN_SESSION_H

#include "diagnostic.h"
#include "output.h"
#include "value_format.h"

#include <kelvaro/rpn.h>

#include <string_view>

struct SessionSettings {
    // Standard output gets only values; the library's lines (listings,
    // result lines, failure messages) go to standard error.
    bool quiet;
    // A failed expression still gets its (empty) line on standard output
    // in quiet mode, so that output line N answers expression N.
    bool lineForEveryExpression;
    // The stack carries over from one expression to the next.
    bool keepStack;
    ValueFormat format;
};

class Session {
public:
    Session(const SessionSettings &settings, Output &output);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Evaluates `text` and writes its listing and its result line, or its
    // failure message and, on standard error, where it failed.
    kelvaro_rpn_outcome Evaluate(std::string_view text, const Place &place);

private:
    static void TakeListingLine(void *context, const char *text, std::size_t length);
    static void TakeListingValues(void *context, char command, const double *values,
                                  std::size_t count);

    void WriteLibraryLine(std::string_view line);
    void WriteValueLine(std::string_view prefix, double value);
    // PREFIX VALUE and a newline, written into `line` (kValueLineSize
    // bytes).
    std::string_view ValueLine(char *line, std::string_view prefix, double value) const;
    void ReportValue(double value);
    void ReportFailure(const kelvaro_rpn_outcome &outcome, std::string_view text,
                       const Place &place);

    SessionSettings settings_;
    Output &output_;
    kelvaro_rpn_calculator *calculator_ = nullptr;
    kelvaro_rpn_listing listing_{};
};

#endif
