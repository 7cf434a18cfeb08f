// The interactive session on a terminal.
#ifndef RPN_REPL_H
#define RPN_REPL_H

#include "output.h"
#include "session.h"

// Prompts for lines on the terminal that standard input is, and evaluates
// each one on the stack the earlier lines left (the session keeps it): a
// failing line prints its message, where it failed and a caret under the
// failing byte, and the session goes on. After every line the terminal
// shows the stack. "help" describes the notation and the prompt's commands
// (stack, clear, undo, redo); "quit", "exit" or Ctrl-D ends the session.
// Returns 0, or 3 when the history could not be kept.
int RunInteractiveSession(Session &session, Output &output);

#endif
