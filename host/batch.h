// The batch modes: the expressions and files of the command line, and
// piped lines.
#ifndef RPN_BATCH_H
#define RPN_BATCH_H

#include "evaluation.h"
#include "output.h"

#include <string>
#include <vector>

// An expression argument or a file of expression lines (-f), in
// command-line order.
struct Source {
    bool isFile;
    // The expression, or the file's name ("-" is standard input).
    std::string text;
    // Where the argument stands on the command line, as the shell's $N.
    int argumentNumber;
};

// Runs the sources in order, or every line of standard input when there are
// none. Returns 0 when every expression succeeded, otherwise the status of
// the first failure, where rpn stops unless it keeps going. A file that does
// not open or read ends rpn with status 3.
int RunBatch(Evaluator &evaluator, Output &output, const std::vector<Source> &sources, bool keepGoing);

#endif
