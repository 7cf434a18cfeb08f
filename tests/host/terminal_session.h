// Drives rpn through a pseudo-terminal, as a person at a terminal would.
#ifndef RPN_TESTS_TERMINAL_SESSION_H
#define RPN_TESTS_TERMINAL_SESSION_H

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct TerminalSession {
    // Everything the terminal showed: prompts, echoed keys, the library's
    // lines; the terminal turns "\n" into "\r\n".
    std::string screen;
    // Standard error, kept apart from the terminal through a pipe.
    std::string err;
    int status;
    // False when a prompt did not come within the time limit.
    bool answered;
    // Standard output when it was redirected away from the terminal.
    std::string out;
};

struct TerminalSetup {
    std::vector<std::string> arguments;
    // Each is typed once the next "rpn> " prompt appears.
    std::vector<std::string> keystrokes;
    std::string term = "dumb";
    // Set (or, without a value, unset) in rpn's environment. RPN_HISTFILE is
    // empty unless set here, so that no session touches the real history.
    std::vector<std::pair<std::string, std::optional<std::string>>> environment;
    // Standard output goes to a pipe instead of the terminal.
    bool redirectOutput = false;
    // Standard error stays on the terminal (and `err` stays empty).
    bool errorOnTerminal = false;
    // The terminal's width; 0 leaves it unset, as a terminal that does not
    // know its size.
    unsigned short columns = 0;
};

TerminalSession RunOnTerminal(const TerminalSetup &setup);

// Starts rpn with `arguments` on a terminal of type `term` and types each of
// `keystrokes` after the next "rpn> " prompt appears.
TerminalSession RunOnTerminal(const std::vector<std::string> &arguments,
                              const std::vector<std::string> &keystrokes,
                              const std::string &term = "dumb");

// Prompts that start a line. The line editor may redraw a prompt within a
// line (after a tab on a dumb terminal); those do not count.
std::size_t PromptsShown(const std::string &screen);

#endif
