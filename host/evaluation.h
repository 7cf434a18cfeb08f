// One call of CalculatorRPN, with the output routed as the options ask.
#ifndef RPN_EVALUATION_H
#define RPN_EVALUATION_H

#include <string>

struct OutputChoice {
    // Standard output gets only the returned text; the library's own lines
    // go to standard error.
    bool quiet;
};

// Evaluates in this process. Returns only when the expression succeeded: a
// failing one ends the process with the library's exit status.
void EvaluateHere(const std::string &expression, OutputChoice output);

#endif
