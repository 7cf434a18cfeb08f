// rpn's own failures: output it cannot write, input it cannot read. Each
// prints "rpn: ..." on standard error and ends rpn with status 3, or, for a
// reader that went away, with SIGPIPE where that is not ignored.
#include "host_case.h"

#include <csignal>
#include <ostream>

namespace {

using FailureCase = SetupCase;

class OwnFailures : public testing::TestWithParam<FailureCase> {
};

TEST_P(OwnFailures, ReportedWithStatus)
{
    ExpectRunMatches(GetParam());
}

ProgramSetup Setup(std::vector<std::string> arguments, OutputTarget out = OutputTarget::kCaptured)
{
    ProgramSetup setup;
    setup.arguments = std::move(arguments);
    setup.out = out;
    return setup;
}

// Far more output than the buffers and the pipe hold, and input that never
// ends: rpn has to stop on its failed writes, or it waits forever.
ProgramSetup EndlessInputToGoneReader(std::vector<std::string> arguments, bool brokenPipeKills)
{
    ProgramSetup setup = Setup(std::move(arguments), OutputTarget::kReaderGone);
    for (int i = 0; i < 20000; ++i) {
        setup.input += "1 2 +\n";
    }
    setup.inputNeverEnds = true;
    setup.brokenPipeKills = brokenPipeKills;
    return setup;
}

ProgramSetup QuietlyToGoneReader(bool brokenPipeKills)
{
    ProgramSetup setup = EndlessInputToGoneReader({"-q", "-k"}, brokenPipeKills);
    setup.closeStandardError = true;
    return setup;
}

const std::string kNoSpace = "rpn: write error: No space left on device\n";
const std::string kBrokenPipe = "rpn: write error: Broken pipe\n";
const std::string kBadDescriptor = "rpn: write error: Bad file descriptor\n";

INSTANTIATE_TEST_SUITE_P(
    WriteErrors, OwnFailures,
    testing::Values(
        FailureCase{"FullDevice", Setup({"1 2 +"}, OutputTarget::kFull), "", kNoSpace, 3},
        FailureCase{"FullDeviceKeepGoing", Setup({"-k", "1 2 +", "3"}, OutputTarget::kFull), "", kNoSpace, 3},
        // What went to standard error before the failure stays there.
        FailureCase{"FullDeviceQuiet",
                    Setup({"-q", "1 2 +"}, OutputTarget::kFull),
                    "",
                    kNoSpace,
                    3},
        FailureCase{"FullDeviceHelp", Setup({"--help"}, OutputTarget::kFull), "", kNoSpace, 3},
        FailureCase{"FullDeviceVersion", Setup({"--version"}, OutputTarget::kFull), "", kNoSpace, 3},
        // The failure of the expression never reaches its status: writing
        // its message failed first.
        FailureCase{"FullDeviceOnAFailure", Setup({"3 ?"}, OutputTarget::kFull), "",
                    "rpn: argument 1:3: invalid character '?'\n" + kNoSpace, 3},
        FailureCase{"ClosedOutput", Setup({"1 2 +"}, OutputTarget::kClosed), "", kBadDescriptor, 3},
        FailureCase{"ClosedOutputQuiet",
                    Setup({"-q", "1"}, OutputTarget::kClosed),
                    "",
                    kBadDescriptor,
                    3},
        FailureCase{"ClosedOutputHelp", Setup({"--help"}, OutputTarget::kClosed), "", kBadDescriptor, 3}),
    [](const testing::TestParamInfo<FailureCase> &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    ReaderGone, OwnFailures,
    testing::Values(
        FailureCase{"Plain", EndlessInputToGoneReader({}, false), "", kBrokenPipe, 3},
        FailureCase{"KeepGoing", EndlessInputToGoneReader({"-k"}, false), "", kBrokenPipe, 3},
        // Standard error, which gets the result lines, is closed: what
        // ends rpn is the write to standard output.
        FailureCase{"Quiet", QuietlyToGoneReader(false), "", "", 3},
        FailureCase{"PlainKilled", EndlessInputToGoneReader({}, true), "", "", -SIGPIPE},
        FailureCase{"KeepGoingKilled", EndlessInputToGoneReader({"-k"}, true), "", "", -SIGPIPE},
        FailureCase{"QuietKilled", QuietlyToGoneReader(true), "", "", -SIGPIPE}),
    [](const testing::TestParamInfo<FailureCase> &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    ReadErrors, OwnFailures,
    testing::Values(
        FailureCase{"StandardInputIsADirectory", ReadingFrom("/"), "", "rpn: read error: Is a directory\n", 3},
        FailureCase{"StandardInputClosed", WithClosedInput(), "", "rpn: read error: Bad file descriptor\n", 3},
        // Expressions before the file have run and are written out first;
        // those after it never run.
        FailureCase{"FileDoesNotExist",
                    Setup({"1", "-f", "/nonexistent/exprs.txt", "2"}),
                    "result = 1.000000\n",
                    "rpn: /nonexistent/exprs.txt: No such file or directory\n",
                    3},
        FailureCase{"FileIsADirectory",
                    Setup({"-k", "-f", "/", "2"}),
                    "",
                    "rpn: /: read error: Is a directory\n",
                    3}),
    [](const testing::TestParamInfo<FailureCase> &info) { return std::string(info.param.name); });

}  // namespace
