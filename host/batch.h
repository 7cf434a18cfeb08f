// The batch modes: the expressions and files of the command line, and
// piped lines.
#ifndef RPN_BATCH_H
#define RPN_BATCH_H

#include "evaluation.h"
#include "output.h"

#include <string>
#include <vector>

// An expression argument, or a file of expression lines (-f; "-" is
// standard input), and its place on the command line as the shell's $N.
struct Source {
    bool isFile;
    std::string text;
    int argumentNumber;
};

// The sources in order, or standard input's lines when there are none.
// Returns the first failure's status (rpn stops there unless it keeps
// going), or 0. A file that does not open or read ends rpn with status 3.
int RunBatch(Evaluator &evaluator, Output &output, const std::vector<Source> &sources, bool keepGoing);

#endif
