// The interactive session on a terminal.
#ifndef RPN_REPL_H
#define RPN_REPL_H

#include "output.h"
#include "session.h"

// Prompts for lines on the terminal that standard input is, and evaluates
// each one: a failing line prints its message, where it failed and a caret
// under the failing byte, and the session goes on. "help" describes the
// notation; "quit", "exit" or Ctrl-D ends the session. Returns 0, or 3 when
// the history could not be kept.
int RunInteractiveSession(Session &session, Output &output);

#endif
