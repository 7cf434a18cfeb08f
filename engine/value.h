// The number type every operand, stack entry and result shares, and the one
// way the engine fails.
#ifndef KELVARO_ENGINE_VALUE_H
#define KELVARO_ENGINE_VALUE_H

namespace kelvaro {

using Value = double;

// Exit statuses of the fatal paths.
constexpr int kStatusInvalidOrUnderflow = 1;
constexpr int kStatusOverflow = -1;

// Flushes every C output stream, then ends the process at once with `status`;
// the host's exit handlers do not run. The caller has already printed the
// message line. Lives in its own source file so that a build which must keep
// running (the fuzzers) can link a replacement.
[[noreturn]] void FatalStop(int status);

}  // namespace kelvaro

#endif
