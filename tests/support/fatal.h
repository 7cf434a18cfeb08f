// Helpers for checking what the library writes to standard output, and for
// checking the paths that end the process.
#ifndef KELVARO_TESTS_SUPPORT_FATAL_H
#define KELVARO_TESTS_SUPPORT_FATAL_H

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kelvaro_test {

#if defined(_WIN32)
// Windows keeps only the low 32 bits: -1 stays -1.
constexpr int kOverflowStatus = -1;
#else
constexpr int kOverflowStatus = 255;
#endif
constexpr int kFailureStatus = 1;

constexpr const char *kUnderflow = "you have a stack underflow!\n";
constexpr const char *kOverflow = "you have a stack overflow!\n";

// Everything `body` writes to standard output.
template <typename Body>
std::string StdoutOf(Body body)
{
    testing::internal::CaptureStdout();
    body();
    return testing::internal::GetCapturedStdout();
}

// A death test sees only the child's standard error, so the child sends its
// standard output there before the library runs, unchanged byte for byte.
inline void SendStdoutToStderr()
{
    std::fflush(stdout);
#if defined(_WIN32)
    _dup2(2, 1);
    _setmode(1, _O_BINARY);
    _setmode(2, _O_BINARY);
#else
    dup2(2, 1);
#endif
}

}  // namespace kelvaro_test

// Runs `statement` in a child process and expects it to end with `status`
// after writing exactly `output` to standard output.
#define EXPECT_FATAL(statement, status, output)                        \
    EXPECT_EXIT(                                                       \
        {                                                              \
            ::kelvaro_test::SendStdoutToStderr();                      \
            statement;                                                 \
        },                                                             \
        ::testing::ExitedWithCode(status), ::testing::StrEq(output))

#endif
