// The words the prompt takes as its own commands rather than expressions.
#ifndef RPN_PROMPT_COMMAND_H
#define RPN_PROMPT_COMMAND_H

#include <string_view>

enum class PromptCommand { kNone, kHelp, kQuit, kStack, kClear, kUndo, kRedo };

// A command is a line that holds its word alone, with nothing but spaces or
// tabs around it; any other line, "clear 3" among them, is an expression.
// None of the words means anything a person would type as an expression:
// 'c' of "clear" takes a cosine and 's' of "stack" a sine, with the rest of
// the word skipped; 'h', 'q', 'e', 'u' and 'r' are no commands at all.
PromptCommand PromptCommandOf(std::string_view line);

// The one command word that starts with `prefix` ("" when none does, or
// more than one), for completing it at the prompt.
std::string_view PromptWordCompleting(std::string_view prefix);

#endif
