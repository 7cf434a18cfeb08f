// Drives rpn through a pseudo-terminal, as a person at a terminal would.
#ifndef RPN_TESTS_TERMINAL_SESSION_H
#define RPN_TESTS_TERMINAL_SESSION_H

#include <cstddef>
#include <optional>
#include <string>
#include <sys/types.h>
#include <termios.h>
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
    // Where rpn starts; "" for the test's own directory.
    std::string directory;
};

TerminalSession RunOnTerminal(const TerminalSetup &setup);

// Starts rpn with `arguments` on a terminal of type `term` and types each of
// `keystrokes` after the next "rpn> " prompt appears.
TerminalSession RunOnTerminal(const std::vector<std::string> &arguments,
                              const std::vector<std::string> &keystrokes,
                              const std::string &term = "dumb");

// A session driven one step at a time through a shell, for what keystrokes
// alone cannot show: signals sent to rpn, the terminal's mode, the
// processes around rpn.
class TerminalDriver {
public:
    // Runs `sh -c script` on a new terminal of type dumb, with the program
    // as "$RPN" and RPN_HISTFILE empty.
    explicit TerminalDriver(const std::string &script);
    // Kills whatever is left of a session that was not finished.
    ~TerminalDriver();
    TerminalDriver(const TerminalDriver &) = delete;
    TerminalDriver &operator=(const TerminalDriver &) = delete;

    // Until `count` prompts in all were shown and rpn waits for keys.
    bool AwaitPrompts(std::size_t count);
    // Until the terminal shows `text` after everything it showed before.
    bool AwaitScreen(const std::string &text);
    // Until rpn, after a stop, waits for keys again in the mode it edits in.
    bool AwaitReading() const;
    // Types `keys` and waits until the terminal shows them (those before
    // the first control key, which the terminal echoes otherwise) and rpn
    // waits again.
    bool Type(const std::string &keys);
    // To rpn alone, not to the shell.
    void Signal(int number) const;
    // The terminal's mode as the programs on it see it.
    termios Mode() const;
    // Reads until no program holds the terminal any more; the status is
    // the shell's.
    TerminalSession Finish();

private:
    int terminal_ = -1;
    pid_t shell_ = -1;
    pid_t rpn_ = -1;
    std::size_t seen_ = 0;
    bool finished_ = false;
    TerminalSession session_{"", "", 0, true, ""};
};

// Prompts that start a line. The line editor may redraw a prompt within a
// line (after a tab on a dumb terminal); those do not count.
std::size_t PromptsShown(const std::string &screen);

#endif
