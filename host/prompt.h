// The interactive session at a terminal: a desk calculator whose stack is
// kept from line to line and shown after each one, its command words, undo
// and redo, and the stack line.
#ifndef RPN_PROMPT_H
#define RPN_PROMPT_H

#include "evaluation.h"
#include "output.h"

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

enum class PromptCommand { kNone, kHelp, kQuit, kStack, kClear, kUndo, kRedo };

// A command is its word alone on a line, spaces or tabs around it; any other
// line ("clear 3") is an expression. No word is an expression a person would
// mean: "clear" is a cosine and "stack" a sine, the rest skipped.
PromptCommand PromptCommandOf(std::string_view line);
// The one command word that starts with `prefix`, or "", for completion.
std::string_view PromptWordCompleting(std::string_view prefix);

// Beyond this many the oldest stack is forgotten; a full one takes 2 KiB.
constexpr std::size_t kUndoLevels = 100;

class UndoHistory {
public:
    // A line changed the stack from `before`; nothing undone can be redone.
    void Changed(std::vector<double> before);
    // Swap `current` with the stack before the last change (or after the
    // last undo); false, `current` untouched, when there is none.
    bool Undo(std::vector<double> &current) { return Step(undo_, redo_, current); }
    bool Redo(std::vector<double> &current) { return Step(redo_, undo_, current); }

private:
    bool Step(std::deque<std::vector<double>> &from, std::deque<std::vector<double>> &to, std::vector<double> &current);

    std::deque<std::vector<double>> undo_;
    std::deque<std::vector<double>> redo_;
};

// The same values bit for bit: a NaN equals the NaN it was, 0 is not -0.
bool SameStack(const std::vector<double> &first, const std::vector<double> &second);
// "stack: 1.000000 7.000000\n", the bottom first, or "stack: empty\n"; past
// `columns`, "stack: (40 values) ... 39.000000 40.000000\n".
std::string CompactStack(const std::vector<double> &values, const ValueFormat &format, std::size_t columns);
// A line per value after its level, the top last as 1: "  2: 1.000000\n".
std::string FullStack(const std::vector<double> &values, const ValueFormat &format);

// The prompt's commands, for --help and "help".
std::string PromptCommandsText();

// Prompts on the terminal of standard input; "help" shows `help`. A failing
// line gets its message and a caret under the failing byte, and the session
// goes on; "quit", "exit" or Ctrl-D end it. Returns 0, or 3 when the history
// could not be kept.
int RunPrompt(Evaluator &evaluator, Output &output, const std::string &help);

#endif
