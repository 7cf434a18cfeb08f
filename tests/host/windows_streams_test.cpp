// What Windows does differently underneath and rpn.exe must not show: the
// NUL device is a character device yet no console, a missing standard
// handle is a closed descriptor, and the C runtime's text mode (CR LF on
// the way out, ^Z as the end of input) is never on.
#include "host_case.h"

namespace {

using StreamCase = SetupCase;

class WindowsStreams : public testing::TestWithParam<StreamCase> {
};

TEST_P(WindowsStreams, SameBytesAndStatusAsOnLinux)
{
    ExpectRunMatches(GetParam());
}

ProgramSetup Setup(std::vector<std::string> arguments, std::string input)
{
    ProgramSetup setup;
    setup.arguments = std::move(arguments);
    setup.input = std::move(input);
    return setup;
}

INSTANTIATE_TEST_SUITE_P(
    Streams, WindowsStreams,
    testing::Values(
        // A prompt would wait for a console that is not there.
        StreamCase{"NulIsNoConsole", ReadingFrom("NUL"), "", "", 0},
        StreamCase{"NoStandardInput", WithClosedInput(), "", "rpn: read error: Bad file descriptor\n", 3},
        // Text mode would end the input at ^Z and never evaluate 2.
        StreamCase{"ControlZIsAByte",
                   Setup({"-k"}, "\x1a\n2\n"),
                   "Invalid character: '\x1a'\nresult = 2.000000\n",
                   "rpn: -:1:1: invalid character '\\x1a'\n",
                   1},
        // Text mode would write each LF out as CR LF.
        StreamCase{"LineEndsAsTheyCame",
                   Setup({"-k"}, "1\r\n2\n\r\n3 ?\r\n"),
                   "result = 1.000000\nresult = 2.000000\nInvalid character: '?'\n",
                   "rpn: -:4:3: invalid character '?'\n",
                   1},
        // The command line rpn.exe parses back into its arguments.
        StreamCase{"ArgumentsKeepQuotesAndBackslashes",
                   Setup({"-k", "\"", "2 \\"}, ""),
                   "Invalid character: '\"'\nInvalid character: '\\'\n",
                   "rpn: argument 2:1: invalid character '\"'\nrpn: argument 3:3: invalid character '\\\\'\n",
                   1},
        StreamCase{"FileThatDoesNotExist",
                   Setup({"1", "-f", "C:\\nonexistent\\exprs.txt", "2"}, ""),
                   "result = 1.000000\n",
                   "rpn: C:\\nonexistent\\exprs.txt: No such file or directory\n",
                   3}),
    [](const testing::TestParamInfo<StreamCase> &info) { return std::string(info.param.name); });

}  // namespace
