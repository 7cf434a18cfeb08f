// Readable names for table-driven cases, built from the expression they test.
#ifndef KELVARO_TESTS_SUPPORT_CASE_NAME_H
#define KELVARO_TESTS_SUPPORT_CASE_NAME_H

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <type_traits>

namespace kelvaro_test {

// The case's index, then its expression with every byte that a test name
// cannot hold spelled out ("3 4 +" becomes "7_3_4_plus").
template <typename Char>
std::string CaseName(std::size_t index, const Char *expression)
{
    std::string name = std::to_string(index) + "_";
    if (expression == nullptr) {
        return name + "null";
    }
    for (std::size_t i = 0; expression[i] != 0 && name.size() < 48; ++i) {
        const auto c = static_cast<unsigned long>(static_cast<std::make_unsigned_t<Char>>(expression[i]));
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            name += static_cast<char>(c);
            continue;
        }
        switch (c) {
        case ' ': name += '_'; break;
        case '+': name += "_plus_"; break;
        case '-': name += "_minus_"; break;
        case '*': name += "_times_"; break;
        case '/': name += "_over_"; break;
        case '.': name += "_dot_"; break;
        default: name += "_x" + std::to_string(c) + "_"; break;
        }
    }
    return name;
}

// For INSTANTIATE_TEST_SUITE_P over cases with an `expression` member.
struct ExpressionName {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case> &info) const
    {
        return CaseName(info.index, info.param.expression);
    }
};

}  // namespace kelvaro_test

#endif
