// A text compiled once into the commands it runs, to be run on many stacks.
#ifndef KELVARO_ENGINE_PROGRAM_H
#define KELVARO_ENGINE_PROGRAM_H

#include <kelvaro/rpn.h>

#include "engine/value.h"
#include "engine/value_stack.h"

#include <cstddef>
#include <cstdint>

namespace kelvaro {

// One command of a program: a token (engine/machine.h) and, for a number,
// its value; `offset` is where its token starts in the text.
struct Step {
    Value number;
    std::size_t offset;
    std::uint8_t token;
};

// What a program does to the stack, known before it runs: it pops at most
// `needs` values that were there before it, and holds at most `rise` more
// than it started with; `change` is its net effect on the depth.
struct ProgramShape {
    std::size_t needs;
    std::size_t rise;
    std::ptrdiff_t change;
};

// The steps of the `length` bytes at `text`: separators run nothing and are
// left out. Writes at most `capacity` steps into `steps` (which may be NULL
// with capacity 0) and returns how many the text has; on an invalid
// character, outcome is that failure (the offset of the first one) and
// nothing counts. outcome.status is KELVARO_RPN_OK otherwise.
std::size_t CompileSteps(const char *text, std::size_t length, Step *steps, std::size_t capacity,
                         kelvaro_rpn_outcome &outcome);

ProgramShape ShapeOf(const Step *steps, std::size_t count);

// Runs the steps on `stack` as the text would run: the same failures at the
// same offsets, the same listings. KELVARO_RPN_OK leaves the value unset.
kelvaro_rpn_outcome RunSteps(ValueStack &stack, const Step *steps, std::size_t count,
                             const kelvaro_rpn_listing *listing);

// Runs steps whose shape fits the `depth` values at the bottom of `values`
// (depth >= needs and depth + rise within the capacity) without a single
// bound check, and without listings; returns the depth they leave.
std::size_t RunStepsUnchecked(Value (&values)[kStackCapacity], std::size_t depth,
                              const Step *steps, std::size_t count);

}  // namespace kelvaro

#endif
