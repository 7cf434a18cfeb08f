// The interactive session on a terminal.
#ifndef RPN_REPL_H
#define RPN_REPL_H

#include "evaluation.h"

// Prompts for lines and evaluates each in a child process of its own, so a
// mistake prints its message, and "[exit status N]" on standard error, and
// the session goes on. "quit", "exit" or Ctrl-D ends it; returns 0.
int RunInteractiveSession(OutputChoice output);

#endif
