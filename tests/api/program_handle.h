// Compiled programs in tests: owned by a unique_ptr, and doubles compared by
// their bits (NaN payloads and -0 included).
#ifndef KELVARO_TESTS_API_PROGRAM_HANDLE_H
#define KELVARO_TESTS_API_PROGRAM_HANDLE_H

#include <kelvaro/rpn.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace kelvaro_test {

struct ProgramDeleter {
    void operator()(kelvaro_rpn_program *program) const { kelvaro_rpn_program_destroy(program); }
};
using Program = std::unique_ptr<kelvaro_rpn_program, ProgramDeleter>;

// Null where the text does not compile; `outcome` may be null.
inline Program Compile(const std::string &text, kelvaro_rpn_outcome *outcome = nullptr)
{
    kelvaro_rpn_program *program = nullptr;
    kelvaro_rpn_compile(text.data(), text.size(), &program, outcome);
    return Program(program);
}

inline std::uint64_t Bits(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The same double, bit for bit, where a NaN may come through with the other
// operand's sign: when both operands of + or * are NaN, which one the sum or
// product carries is the compiler's choice of operand order (IEEE 754 leaves
// it open), so two ways of running a text may differ there and only there.
inline bool SameValue(double a, double b)
{
    return Bits(a) == Bits(b) || (a != a && b != b);
}

}  // namespace kelvaro_test

#endif
