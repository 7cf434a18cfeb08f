#include "engine/block_run.h"

#include "engine/machine.h"
#include "engine/vector_math.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace kelvaro {
namespace {

// The loops of a block: the same function per value as one run calls, in the
// same order, so that an exact block is one run per value, bit for bit.
template <typename Function>
KELVARO_ALWAYS_INLINE void EachValue(Value *values, std::size_t size, Function function)
{
    for (std::size_t i = 0; i < size; ++i) {
        values[i] = function(values[i]);
    }
}

template <typename Function>
KELVARO_ALWAYS_INLINE void EachPair(Value *below, const Value *top, std::size_t size,
                                    Function function)
{
    for (std::size_t i = 0; i < size; ++i) {
        below[i] = function(below[i], top[i]);
    }
}

template <typename Function>
KELVARO_ALWAYS_INLINE void WithNumber(Value *values, std::size_t size, Value number,
                                      Function function)
{
    for (std::size_t i = 0; i < size; ++i) {
        values[i] = function(values[i], number);
    }
}

void Fill(Value *values, std::size_t size, Value value)
{
    for (std::size_t i = 0; i < size; ++i) {
        values[i] = value;
    }
}

struct ExactMath {
    static void Function(std::uint8_t token, Value *values, std::size_t size)
    {
        vector_math::ExactFunction(token, values, size);
    }
    static void Power(Value *bases, const Value *exponents, std::size_t size)
    {
        EachPair(bases, exponents, size, arithmetic::kPower);
    }
    static void PowerOfNumber(Value *bases, std::size_t size, Value exponent)
    {
        WithNumber(bases, size, exponent, arithmetic::kPower);
    }
};

struct FastMath {
    static void Function(std::uint8_t token, Value *values, std::size_t size)
    {
        vector_math::Function(token, values, size);
    }
    static void Power(Value *bases, const Value *exponents, std::size_t size)
    {
        vector_math::Power(bases, exponents, size);
    }
    static void PowerOfNumber(Value *bases, std::size_t size, Value exponent)
    {
        vector_math::PowerOfNumber(bases, exponent, size);
    }
};

// The block's runs: `size` of them, run i on inputs[i * inputCount ...],
// their values to results[0 .. size). slot[k] is the column of stack slot
// k, `size` values; an exchange swaps two columns, so no value moves. Every
// input is read first.
template <typename Math>
void RunBlock(const Step *steps, std::size_t count, Value **slot, std::size_t size,
              const Value *inputs, std::size_t inputCount, Value *results)
{
    if (inputCount == 1) {
        std::memcpy(slot[0], inputs, size * sizeof(Value));
    } else {
        for (std::size_t j = 0; j < inputCount; ++j) {
            Value *const column = slot[j];
            for (std::size_t i = 0; i < size; ++i) {
                column[i] = inputs[i * inputCount + j];
            }
        }
    }
    std::size_t depth = inputCount;
    // The program's shape proves every slot below is there (ProgramShape),
    // which the static analyser cannot follow.
    // NOLINTBEGIN(clang-analyzer-core.uninitialized.Assign,clang-analyzer-core.CallAndMessage)
    for (std::size_t k = 0; k < count; ++k) {
        const Step &step = steps[k];
        switch (step.token) {
        case kDigitToken: Fill(slot[depth++], size, step.number); break;
        case TokenOf(Operation::kConstant): Fill(slot[depth++], size, kConstantP); break;
        case kAddNumber: WithNumber(slot[depth - 1], size, step.number, arithmetic::kAdd); break;
        case kSubtractNumber:
            WithNumber(slot[depth - 1], size, step.number, arithmetic::kSubtract);
            break;
        case kMultiplyNumber:
            WithNumber(slot[depth - 1], size, step.number, arithmetic::kMultiply);
            break;
        case kDivideNumber:
            WithNumber(slot[depth - 1], size, step.number, arithmetic::kDivide);
            break;
        case kRemainderNumber:
            WithNumber(slot[depth - 1], size, step.number, arithmetic::kRemainder);
            break;
        case kPowerNumber: Math::PowerOfNumber(slot[depth - 1], size, step.number); break;
        case kMinusToken:
            --depth;
            EachPair(slot[depth - 1], slot[depth], size, arithmetic::kSubtract);
            break;
        case TokenOf(Operation::kAdd):
            --depth;
            EachPair(slot[depth - 1], slot[depth], size, arithmetic::kAdd);
            break;
        case TokenOf(Operation::kMultiply):
            --depth;
            EachPair(slot[depth - 1], slot[depth], size, arithmetic::kMultiply);
            break;
        case TokenOf(Operation::kDivide):
            --depth;
            EachPair(slot[depth - 1], slot[depth], size, arithmetic::kDivide);
            break;
        case TokenOf(Operation::kRemainder):
            --depth;
            EachPair(slot[depth - 1], slot[depth], size, arithmetic::kRemainder);
            break;
        case TokenOf(Operation::kPower):
            --depth;
            Math::Power(slot[depth - 1], slot[depth], size);
            break;
        case TokenOf(Operation::kSine):
        case TokenOf(Operation::kCosine):
        case TokenOf(Operation::kTangent):
        case TokenOf(Operation::kArcsine):
        case TokenOf(Operation::kArccosine):
        case TokenOf(Operation::kArctangent):
        case TokenOf(Operation::kLogarithm):
        case TokenOf(Operation::kExponential):
            Math::Function(step.token, slot[depth - 1], size);
            break;
        case TokenOf(Operation::kFactorial):
            EachValue(slot[depth - 1], size, arithmetic::kFactorial);
            break;
        case TokenOf(Operation::kExchange): std::swap(slot[depth - 1], slot[depth - 2]); break;
        case TokenOf(Operation::kDrop): --depth; break;
        default: break;  // '#' and '@': run_many lists nothing
        }
    }
    std::memcpy(results, slot[depth - 1], size * sizeof(Value));
    // NOLINTEND(clang-analyzer-core.uninitialized.Assign,clang-analyzer-core.CallAndMessage)
}

template <typename Math>
void RunAll(const Step *steps, std::size_t count, std::size_t slots, const Value *inputs,
            std::size_t inputCount, std::size_t runs, Value *results)
{
    // Aligned for the vector routines' loads, AVX's 32 bytes.
    constexpr std::size_t kVectorAlignment = 32;
    alignas(kVectorAlignment) Value room[kBlockRoom];
    std::size_t block = kBlockRoom / slots < kBlockRuns ? kBlockRoom / slots : kBlockRuns;
    // Whole vectors where there is room for them.
    block = block >= 4 ? block / 4 * 4 : block;
    // Slots the program never reaches share the first column, so that every
    // one points somewhere.
    Value *slot[kStackCapacity];
    for (std::size_t i = 0; i < slots; ++i) {
        slot[i] = room + i * block;
    }
    std::fill(slot + slots, slot + kStackCapacity, static_cast<Value *>(room));
    const std::size_t pivot = FirstForwardRun(inputs, inputCount, runs, results);
    std::size_t size = 0;
    for (std::size_t first = pivot; first < runs; first += size) {
        size = runs - first < block ? runs - first : block;
        RunBlock<Math>(steps, count, slot, size, inputs + first * inputCount, inputCount,
                       results + first);
    }
    for (std::size_t end = pivot; end > 0; end -= size) {
        size = end < block ? end : block;
        const std::size_t first = end - size;
        RunBlock<Math>(steps, count, slot, size, inputs + first * inputCount, inputCount,
                       results + first);
    }
}

}  // namespace

std::size_t FirstForwardRun(const Value *inputs, std::size_t inputCount, std::size_t runs,
                            const Value *results)
{
    // In bytes: run i reads [i * read, (i + 1) * read) from `in` and writes
    // [i * written, (i + 1) * written) from `out`.
    const auto in = reinterpret_cast<std::uintptr_t>(inputs);
    const auto out = reinterpret_cast<std::uintptr_t>(results);
    const std::size_t read = inputCount * sizeof(Value);
    const std::size_t written = sizeof(Value);
    if (inputCount == 0 || out <= in || out >= in + runs * read) {
        return 0;  // the writes trail the reads, or never meet them
    }
    // Writes ahead of the reads by `lead` bytes. Reads gain read - written a
    // run: from run lead / (read - written) on the writes fall behind the
    // reads, and before it each write lands on inputs of a later run, so
    // those runs go backward, after the rest.
    const std::size_t lead = out - in;
    if (read == written) {
        return runs;
    }
    const std::size_t pivot = lead / (read - written);
    return pivot < runs ? pivot : runs;
}

void RunBlocks(Precision precision, const Step *steps, std::size_t count, std::size_t slots,
               const Value *inputs, std::size_t inputCount, std::size_t runs, Value *results)
{
    if (precision == Precision::kFast) {
        RunAll<FastMath>(steps, count, slots, inputs, inputCount, runs, results);
    } else {
        RunAll<ExactMath>(steps, count, slots, inputs, inputCount, runs, results);
    }
}

}  // namespace kelvaro
