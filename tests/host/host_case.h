// One run of rpn and everything it must produce, for the table-driven tests.
#ifndef RPN_TESTS_HOST_CASE_H
#define RPN_TESTS_HOST_CASE_H

#include "program_run.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

struct HostCase {
    const char *name;
    std::vector<std::string> arguments;
    std::string input;
    std::string out;
    std::string err;
    int status;
};

inline void PrintTo(const HostCase &hostCase, std::ostream *os)
{
    *os << hostCase.name;
}

inline std::string CaseName(const testing::TestParamInfo<HostCase> &info)
{
    return info.param.name;
}

inline void ExpectRunMatches(const HostCase &hostCase)
{
    const ProgramResult result = RunProgram(hostCase.arguments, hostCase.input);
    EXPECT_EQ(result.out, hostCase.out);
    EXPECT_EQ(result.err, hostCase.err);
    EXPECT_EQ(result.status, hostCase.status);
}

// A run set up in full (streams, input file) and what it must produce.
struct SetupCase {
    const char *name;
    ProgramSetup setup;
    std::string out;
    std::string err;
    int status;
};

inline void PrintTo(const SetupCase &setupCase, std::ostream *os)
{
    *os << setupCase.name;
}

inline void ExpectRunMatches(const SetupCase &setupCase)
{
    const ProgramResult result = RunProgram(setupCase.setup);
    EXPECT_EQ(result.out, setupCase.out);
    EXPECT_EQ(result.err, setupCase.err);
    EXPECT_EQ(result.status, setupCase.status);
}

inline ProgramSetup ReadingFrom(const std::string &path)
{
    ProgramSetup setup;
    setup.inputPath = path;
    return setup;
}

inline ProgramSetup WithClosedInput()
{
    ProgramSetup setup;
    setup.closeStandardInput = true;
    return setup;
}

// An expression that pushes `count` values: 265 fit on the stack.
inline std::string Pushes(int count)
{
    std::string expression = "1";
    for (int i = 1; i < count; ++i) {
        expression += " 1";
    }
    return expression;
}

// Library output shared by several tables.
constexpr char kListingOfOneTwo[] = "\n---------\n2.000000\n1.000000\n---------\n";
constexpr char kUsageTail[] = "Try 'rpn --help' for more information.\n";

#endif
