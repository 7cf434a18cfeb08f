// The interactive session at a terminal: a desk calculator whose stack is
// kept from line to line and shown after each one.
#ifndef RPN_PROMPT_H
#define RPN_PROMPT_H

#include "evaluation.h"
#include "output.h"

#include <string>

// One line per command of the library's table: "  +  add: b + a; '5 3 +'
// gives 8", each example's value worked out by the library.
std::string DescribeNotation();

// The prompt's commands, for --help and for "help" at the prompt.
std::string PromptCommandsText();

// Prompts on the terminal that standard input is. A failing line prints its
// message, where it failed and a caret under the failing byte, and the
// session goes on. "quit", "exit" or Ctrl-D end it. Returns 0, or 3 when the
// history could not be kept.
int RunPrompt(Evaluator &evaluator, Output &output);

#endif
