// How a fuzz target reports a failed check: on stderr, with the text that was
// evaluated and the output in question, then abort(), which libFuzzer records
// as a finding together with the input.
#ifndef KELVARO_FUZZ_REQUIRE_H
#define KELVARO_FUZZ_REQUIRE_H

#include <string_view>

namespace kelvaro_fuzz {

// Reports `what`, `text` and `output` (either may be empty) and aborts.
[[noreturn]] void Fail(const char *what, std::string_view text, std::string_view output);

// Fails unless `condition` holds. Inline, so that the static analysers see
// that nothing after a failed check runs.
inline void Require(bool condition, const char *what, std::string_view text,
                    std::string_view output = {})
{
    if (!condition) {
        Fail(what, text, output);
    }
}

}  // namespace kelvaro_fuzz

#endif
