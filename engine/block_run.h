// Programs run over blocks of inputs: each step once for many runs, every
// stack slot a column of the block's values.
#ifndef KELVARO_ENGINE_BLOCK_RUN_H
#define KELVARO_ENGINE_BLOCK_RUN_H

#include "engine/program.h"
#include "engine/value.h"

#include <cstddef>

namespace kelvaro {

// Exact: every value bit for bit as one run on its own stack (the same libm
// call, the same order of operations). Fast: the functions and the power may
// come from vector routines and multiplication (engine/vector_math.h).
enum class Precision { kExact, kFast };

// The most runs in one block, and the values all of a block's columns share
// on the machine stack: a program that holds more slots runs smaller blocks.
constexpr std::size_t kBlockRuns = 256;
constexpr std::size_t kBlockRoom = 2048;

// RunManyUnchecked's runs (engine/program.h), in blocks. `slots` is the most
// values the stack holds, inputCount + the shape's rise. Every input of a
// block is read before any of its results is written, and the blocks run in
// an order that reads every input before a result overwrites it, wherever
// results lies in or beside the inputs.
void RunBlocks(Precision precision, const Step *steps, std::size_t count, std::size_t slots,
               const Value *inputs, std::size_t inputCount, std::size_t runs, Value *results);

// Which runs go first, for results at `results` and the runs' inputs at
// `inputs`: runs [pivot, runs) forward, then [0, pivot) backward, each block
// of either part read whole before it is written (RunBlocks' order).
std::size_t FirstForwardRun(const Value *inputs, std::size_t inputCount, std::size_t runs,
                            const Value *results);

}  // namespace kelvaro

#endif
