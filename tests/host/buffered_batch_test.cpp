// Piped and file batch runs whose input is all there already: rpn never
// waits for input, so it writes its output in a few large writes rather
// than once per line (the flush before a read that would block is for
// drivers that send one line at a time; see coprocess_test.cpp).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kLines = 3000;

std::string Lines()
{
    std::string input;
    for (int i = 0; i < kLines; ++i) {
        input += std::to_string(i) + " 1 +\n";
    }
    return input;
}

// The write calls a finished child made, from /proc while it is a zombie;
// -1 when that cannot be read.
long WriteCalls(pid_t child)
{
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT) != 0) {
        return -1;
    }
    std::ifstream io("/proc/" + std::to_string(child) + "/io");
    long calls = -1;
    for (std::string name; io >> name;) {
        long value = 0;
        io >> value;
        if (name == "syscw:") {
            calls = value;
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? calls : -1;
}

// Runs rpn on `input` already in its standard input, both output streams
// to /dev/null.
long WriteCallsOn(const std::vector<std::string> &arguments, bool fromAFile)
{
    const std::string input = Lines();
    int source = -1;
    if (fromAFile) {
        char path[] = "/tmp/rpn-batch-test-XXXXXX";
        source = mkstemp(path);
        if (source < 0 || write(source, input.data(), input.size()) != static_cast<ssize_t>(input.size()) ||
            lseek(source, 0, SEEK_SET) != 0) {
            return -1;
        }
        std::remove(path);
    } else {
        int ends[2];
        // The lines fit in the pipe: all of them are there before rpn starts.
        if (pipe(ends) != 0 || write(ends[1], input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
            return -1;
        }
        close(ends[1]);
        source = ends[0];
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(source, STDIN_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        std::vector<char *> argv{const_cast<char *>(RPN_PROGRAM)};
        for (const std::string &argument : arguments) {
            argv.push_back(const_cast<char *>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(RPN_PROGRAM, argv.data());
        _exit(127);
    }
    close(source);
    return child < 0 ? -1 : WriteCalls(child);
}

struct BatchCase {
    const char *name;
    std::vector<std::string> arguments;
    bool fromAFile;
    // About 60 KiB of lines on each stream used: a 64 KiB buffer each.
    long mostWrites;
};

void PrintTo(const BatchCase &batchCase, std::ostream *os)
{
    *os << batchCase.name;
}

class BufferedBatch : public testing::TestWithParam<BatchCase> {
};

TEST_P(BufferedBatch, WritesInFewCalls)
{
    const BatchCase &batchCase = GetParam();
    const long calls = WriteCallsOn(batchCase.arguments, batchCase.fromAFile);
    ASSERT_GE(calls, 1) << "no count for the run";
    EXPECT_LE(calls, batchCase.mostWrites);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BufferedBatch,
    testing::Values(BatchCase{"Pipe", {}, false, 2}, BatchCase{"PipeQuiet", {"-q", "-k"}, false, 4},
                    BatchCase{"File", {}, true, 2}, BatchCase{"FileQuiet", {"-q", "-k"}, true, 4}),
    [](const testing::TestParamInfo<BatchCase> &info) { return std::string(info.param.name); });

}  // namespace
