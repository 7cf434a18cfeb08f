// What every pseudo-terminal driver of these tests shares: starting rpn on
// a terminal, reading what the terminal shows, and waiting until rpn sleeps
// in its read of the keys.
#ifndef RPN_TESTS_TERMINAL_IO_H
#define RPN_TESTS_TERMINAL_IO_H

#include "terminal_session.h"

#include <chrono>
#include <string>
#include <sys/types.h>

using Deadline = std::chrono::steady_clock::time_point;

// Appends what the terminal shows within 100 ms; false once the program
// has closed the terminal or the deadline has passed.
bool ReadScreen(int terminal, std::string &screen, Deadline deadline);

// Waits until the program sleeps (or has gone); false at the deadline.
bool AwaitSleeping(pid_t program, Deadline deadline);

// Keys typed before the line editor leaves line mode would be taken by the
// terminal's own line discipline, and a Ctrl-C before rpn sleeps in its
// read would interrupt nothing: waits for both. False at the deadline.
bool AwaitKeysWanted(int terminal, pid_t program, Deadline deadline);

// Everything left to read on `fd`, up to its end.
std::string ReadAll(int fd);

struct StartedTerminal {
    pid_t child;
    int terminal;
    // Standard error's pipe (and standard output's, when redirected), or -1.
    int errRead;
    int outRead;
};

// Starts RPN_PROGRAM on a new pseudo-terminal as `setup` says (its
// keystrokes are not used); throws std::runtime_error when it cannot.
StartedTerminal StartOnTerminal(const TerminalSetup &setup);

#endif
