// Evaluating the expressions of the command line or of piped input.
#ifndef RPN_BATCH_H
#define RPN_BATCH_H

#include "evaluation.h"
#include "line_source.h"

#include <string>
#include <vector>

struct RunChoice {
    // Each expression in a child process of its own, so a failure ends only
    // that expression.
    bool keepGoing;
    OutputChoice output;
};

// Both return 0 when every expression succeeded, otherwise the exit status
// of the first failure. Without keepGoing a failure ends the process there
// with the library's status, so they return only 0.
int EvaluateArguments(const std::vector<std::string> &expressions, RunChoice choice);

// Empty lines hold no expression and are skipped.
int EvaluateLines(LineSource &source, RunChoice choice);

#endif
