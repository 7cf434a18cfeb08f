// The engine's tables: expressions with the value, listing or failure they
// must give. The engine, the reentrant API and the legacy export are each
// checked against the same rows.
#ifndef KELVARO_TESTS_SUPPORT_EXPRESSION_TABLES_H
#define KELVARO_TESTS_SUPPORT_EXPRESSION_TABLES_H

#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

namespace kelvaro_test {

struct ValueCase {
    const char *expression;
    const char *result;  // "%f" of the value left on top
};

struct ListingCase {
    const char *expression;
    const char *output;  // the '#' and '@' lines
    const char *result;
};

// The numbers of kelvaro_rpn_status.
constexpr int kInvalidCharacter = 1;
constexpr int kStackUnderflow = 2;
constexpr int kStackOverflow = 3;

constexpr const char *kUnderflowLine = "you have a stack underflow!\n";
constexpr const char *kOverflowLine = "you have a stack overflow!\n";
constexpr int kCapacity = 265;

// In the order a table row reads best, not the most compact one.
struct FailureCase {  // NOLINT(clang-analyzer-optin.performance.Padding)
    const char *expression;
    int status;
    std::size_t offset;
    char byte;           // at the offset; 0 for an underflow at the end
    const char *output;  // the legacy lines, the message last
};

// Texts too long to spell out: they fill the stack.
struct OverflowCase {
    const char *name;
    std::string expression;
    std::size_t offset;
    char byte;
    std::string output;
};

extern const ValueCase kArithmetic[14];
extern const ValueCase kNumbers[31];
extern const ValueCase kScanning[17];
extern const ValueCase kFunctions[24];
extern const ValueCase kFactorial[22];
extern const ValueCase kStackCommands[5];
extern const ListingCase kListings[7];
extern const FailureCase kFailures[32];
const std::vector<OverflowCase> &OverflowCases();

// Every ValueCase table, for tests that walk them all.
struct ValueTable {
    const char *name;
    const ValueCase *cases;
    std::size_t count;
};
std::vector<ValueTable> ValueTables();

// The expression of every case in every table above, overflows included.
std::vector<std::string> AllTableTexts();

}  // namespace kelvaro_test

#endif
