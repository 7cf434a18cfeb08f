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
// its value; `offset` is where its token starts in the text. A number and the
// two-value command after it may be one step: then `commandOffset` is where
// the command's token starts.
struct Step {
    Value number;
    std::size_t offset;
    std::size_t commandOffset;
    std::uint8_t token;
};

// The tokens of a number fused with the two-value command after it, "b op
// number": the same arithmetic in the same order, one dispatch instead of two.
// Numbered right after the machine's tokens (engine/machine.h).
constexpr std::uint8_t kAddNumber = 24;
constexpr std::uint8_t kSubtractNumber = 25;
constexpr std::uint8_t kMultiplyNumber = 26;
constexpr std::uint8_t kDivideNumber = 27;
constexpr std::uint8_t kRemainderNumber = 28;
constexpr std::uint8_t kPowerNumber = 29;
// After the last step of a compiled program (not counted in its steps).
constexpr std::uint8_t kEndStep = 30;

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

// Whether the steps list anything ('#' or '@').
bool HasListings(const Step *steps, std::size_t count);

// Runs the steps on `stack` as the text would run: the same failures at the
// same offsets, the same listings. KELVARO_RPN_OK leaves the value unset.
kelvaro_rpn_outcome RunSteps(ValueStack &stack, const Step *steps, std::size_t count,
                             const kelvaro_rpn_listing *listing);

}  // namespace kelvaro

#endif
