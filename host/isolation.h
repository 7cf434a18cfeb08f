// Evaluation in a child process, so that a failure ends only the child.
#ifndef RPN_ISOLATION_H
#define RPN_ISOLATION_H

#include "evaluation.h"

#include <string>

// Evaluates in a child process and waits for it. Returns the child's exit
// status: 0 on success, the library's status (1 or 255) on failure. All the
// child's output has been written when this returns.
int EvaluateIsolated(const std::string &expression, OutputChoice output);

#endif
