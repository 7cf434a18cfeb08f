// Evaluating the expressions of the command line, of files and of piped
// input.
#ifndef RPN_BATCH_H
#define RPN_BATCH_H

#include "line_reader.h"
#include "options.h"
#include "output.h"
#include "session.h"

#include <string>
#include <vector>

struct Batch {
    Session &session;
    Output &output;
    // A failure prints its message and the next expression still runs.
    bool keepGoing;
    // Reading standard input fails as reading a closed descriptor does.
    bool standardInputClosed;
};

// Runs the expressions and files in order. Returns 0 when every expression
// succeeded, otherwise the status of the first failure (1, 4 or 255), where
// rpn stops unless it keeps going. A file that does not open or read ends
// rpn with status 3.
int RunSources(const Batch &batch, const std::vector<Source> &sources);

// Runs every line of standard input as an expression.
int RunStandardInput(const Batch &batch);

#endif
