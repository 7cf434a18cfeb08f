// rpn on a pseudo-terminal that keeps running while the test does other
// things: starts another session, changes a file, waits with a deadline of
// its own.
#ifndef RPN_TESTS_LIVE_TERMINAL_H
#define RPN_TESTS_LIVE_TERMINAL_H

#include "terminal_session.h"

#include <chrono>
#include <string>
#include <sys/types.h>

class LiveTerminal {
public:
    // Starts rpn as RunOnTerminal does; `setup.keystrokes` are not used, nor
    // `setup.redirectOutput` (nothing would read that pipe).
    explicit LiveTerminal(const TerminalSetup &setup);
    // Kills rpn if it is still running.
    ~LiveTerminal();
    LiveTerminal(const LiveTerminal &) = delete;
    LiveTerminal &operator=(const LiveTerminal &) = delete;

    // Waits until the prompt after the keys typed so far is shown and rpn
    // waits for keys; false when that did not happen within `patience`.
    bool AwaitPrompt(std::chrono::milliseconds patience = std::chrono::seconds(20));
    // Types `keys` once that prompt is there; false when it did not come.
    bool Type(const std::string &keys, std::chrono::milliseconds patience = std::chrono::seconds(20));
    // Waits for rpn to end (killing it after 20 s) and tells what it did.
    TerminalSession Finish();

private:
    pid_t child_ = -1;
    int terminal_ = -1;
    int errRead_ = -1;
    std::size_t linesTyped_ = 0;
    TerminalSession session_{"", "", 0, true, ""};
};

#endif
