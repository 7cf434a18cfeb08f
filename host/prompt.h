// The interactive session at a terminal: a desk calculator whose stack is
// kept from line to line and shown after each one, its command words, the
// stacks undo and redo go back to, and the stack line.
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

// A command is a line that holds its word alone, with nothing but spaces or
// tabs around it; any other line, "clear 3" among them, is an expression.
// None of the words is an expression a person would mean: 'c' of "clear" is
// a cosine and 's' of "stack" a sine, the rest of the word skipped.
PromptCommand PromptCommandOf(std::string_view line);

// The one command word that starts with `prefix` ("" when none does, or
// more than one), for completing it at the prompt.
std::string_view PromptWordCompleting(std::string_view prefix);

// The oldest stack is forgotten beyond this many: a full stack of 265
// values takes about 2 KiB.
constexpr std::size_t kUndoLevels = 100;

class UndoHistory {
public:
    // A line took the stack from `before` to another one: undo goes back to
    // it, and what was undone can no longer be redone.
    void Changed(std::vector<double> before);
    // Swap `current` with the stack before the last change (or after the
    // last undo); false, and `current` untouched, when there is none.
    bool Undo(std::vector<double> &current) { return Step(undo_, redo_, current); }
    bool Redo(std::vector<double> &current) { return Step(redo_, undo_, current); }

private:
    bool Step(std::deque<std::vector<double>> &from, std::deque<std::vector<double>> &to, std::vector<double> &current);

    std::deque<std::vector<double>> undo_;
    std::deque<std::vector<double>> redo_;
};

// The same values bit for bit, so that a NaN equals the NaN it was and 0
// differs from -0: a line that changed only such a value changed the stack.
bool SameStack(const std::vector<double> &first, const std::vector<double> &second);

// One line, the bottom first: "stack: 1.000000 7.000000\n", or "stack:
// empty\n". A line that would not fit in `columns` keeps the values nearest
// the top that do (always the top one) after the count of them all:
// "stack: (40 values) ... 39.000000 40.000000\n".
std::string CompactStack(const std::vector<double> &values, const ValueFormat &format, std::size_t columns);

// Every value on a line of its own, the top last, after its level counted
// from the top as 1: "  2: 1.000000\n  1: 7.000000\n"; "stack: empty\n".
std::string FullStack(const std::vector<double> &values, const ValueFormat &format);

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
