// Compiled programs and text checks against one-shot evaluations.
#ifndef KELVARO_FUZZ_PROGRAM_CHECKS_H
#define KELVARO_FUZZ_PROGRAM_CHECKS_H

#include "api_evaluation.h"

#include <string_view>

namespace kelvaro_fuzz {

// Compiles `text`: a text whose one-shot evaluation reached an invalid byte,
// or that holds one after its failure, must not compile and must name the
// first invalid byte; any other text compiles, and its program run on no
// inputs, alone and through run_many, must end exactly as `oneShot` did,
// listings included; run on inputs, as the text evaluated on a calculator
// holding them.
void CheckProgram(std::string_view text, const ApiEvaluation &oneShot);

// kelvaro_rpn_check: every warning lies inside the text (a VALUES_LEFT at its
// end), in text order, without overlaps, and the count does not depend on the
// capacity.
void CheckWarnings(std::string_view text);

}  // namespace kelvaro_fuzz

#endif
