// One run of a program's steps on a stack that cannot meet a bound, its top
// held apart from the rest so that it stays in a register from step to step:
// inline, because a run of a few steps costs about what a call does.
#ifndef KELVARO_ENGINE_RUN_ONCE_H
#define KELVARO_ENGINE_RUN_ONCE_H

#include "engine/machine.h"
#include "engine/program.h"

#include <cstring>
#include <utility>

namespace kelvaro {

// The run of the steps on a stack that starts as the `inputCount` values at
// `inputs`, without a bound check and without listings: KELVARO_RPN_OK, the
// top they leave, and the offset of the kEndStep they end with (which spares
// the loop a count of its own). The shape must fit (ProgramShape):
// inputCount >= needs, inputCount + rise within the capacity and
// inputCount + change > 0. The same arithmetic as RunSteps, bit for bit.
KELVARO_ALWAYS_INLINE kelvaro_rpn_outcome RunOnceUnchecked(const Step *steps,
                                                           const Value *inputs,
                                                           std::size_t inputCount)
{
    // below[1 .. end) holds the values under the top; below[0] takes the
    // undefined top that the first push onto an empty stack saves.
    Value below[kStackCapacity + 1];
    Value top = 0;
    Value *end = below + 1;
    if (inputCount == 1) {  // the common case first, without a call to memcpy
        top = inputs[0];
    } else if (inputCount > 1) {
        std::memcpy(below + 1, inputs, (inputCount - 1) * sizeof(Value));
        end = below + inputCount;
        top = inputs[inputCount - 1];
    }
    // The values below the top exist because the program's shape says so,
    // which the static analyser cannot follow.
    // NOLINTBEGIN(clang-analyzer-core.uninitialized.Assign,clang-analyzer-core.CallAndMessage)
    for (const Step *step = steps;; ++step) {
        switch (step->token) {
        case kEndStep: return kelvaro_rpn_outcome{KELVARO_RPN_OK, top, step->offset};
        case kDigitToken:
            *end++ = top;
            top = step->number;
            break;
        case TokenOf(Operation::kConstant):
            *end++ = top;
            top = kConstantP;
            break;
        case kAddNumber: top = arithmetic::kAdd(top, step->number); break;
        case kSubtractNumber: top = arithmetic::kSubtract(top, step->number); break;
        case kMultiplyNumber: top = arithmetic::kMultiply(top, step->number); break;
        case kDivideNumber: top = arithmetic::kDivide(top, step->number); break;
        case kRemainderNumber: top = arithmetic::kRemainder(top, step->number); break;
        case kPowerNumber: top = arithmetic::kPower(top, step->number); break;
        case kMinusToken: --end; top = arithmetic::kSubtract(*end, top); break;
        case TokenOf(Operation::kAdd): --end; top = arithmetic::kAdd(*end, top); break;
        case TokenOf(Operation::kMultiply): --end; top = arithmetic::kMultiply(*end, top); break;
        case TokenOf(Operation::kDivide): --end; top = arithmetic::kDivide(*end, top); break;
        case TokenOf(Operation::kRemainder): --end; top = arithmetic::kRemainder(*end, top); break;
        case TokenOf(Operation::kPower): --end; top = arithmetic::kPower(*end, top); break;
        case TokenOf(Operation::kSine): top = arithmetic::kSine(top); break;
        case TokenOf(Operation::kCosine): top = arithmetic::kCosine(top); break;
        case TokenOf(Operation::kTangent): top = arithmetic::kTangent(top); break;
        case TokenOf(Operation::kArcsine): top = arithmetic::kArcsine(top); break;
        case TokenOf(Operation::kArccosine): top = arithmetic::kArccosine(top); break;
        case TokenOf(Operation::kArctangent): top = arithmetic::kArctangent(top); break;
        case TokenOf(Operation::kLogarithm): top = arithmetic::kLogarithm(top); break;
        case TokenOf(Operation::kExponential): top = arithmetic::kExponential(top); break;
        case TokenOf(Operation::kFactorial): top = arithmetic::kFactorial(top); break;
        case TokenOf(Operation::kExchange): std::swap(top, end[-1]); break;
        case TokenOf(Operation::kDrop): --end; top = *end; break;
        case TokenOf(Operation::kShowTop):
        case TokenOf(Operation::kShowStack): break;  // nothing to list here
        default:
            // A compiled step has no other token (CompileSteps); saying so
            // spares the dispatch its range check.
#if defined(__GNUC__)
            __builtin_unreachable();
#else
            break;
#endif
        }
    }
    // NOLINTEND(clang-analyzer-core.uninitialized.Assign,clang-analyzer-core.CallAndMessage)
}

}  // namespace kelvaro

#endif
