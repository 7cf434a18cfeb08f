// Values a calculator holds before the input runs on it, taken from the
// input itself so that the fuzzer steers them.
#ifndef KELVARO_FUZZ_PREFILL_H
#define KELVARO_FUZZ_PREFILL_H

#include <string>
#include <string_view>

namespace kelvaro_fuzz {

// A text that pushes values onto an empty stack and does nothing else. The
// first byte of `input` picks how many: a full stack, one short of full, two,
// or a quarter of the byte's value plus one. The values come from the
// input's first bytes in turn: (byte - 128) / 8, or NaN, infinity or minus
// infinity for the three highest bytes. Empty for an empty input.
std::string PrefillText(std::string_view input);

// How many values PrefillText(input) pushes.
std::size_t PrefillDepth(std::string_view input);

}  // namespace kelvaro_fuzz

#endif
