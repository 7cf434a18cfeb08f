// The stacks that undo and redo at the prompt go back to.
#ifndef RPN_UNDO_HISTORY_H
#define RPN_UNDO_HISTORY_H

#include <cstddef>
#include <deque>
#include <vector>

// The oldest stack is forgotten beyond this many: a full stack of 265
// values takes about 2 KiB.
constexpr std::size_t kUndoLevels = 100;

class UndoHistory {
public:
    // A line took the stack from `before` to another one: undo goes back to
    // it, and what was undone can no longer be redone.
    void Changed(std::vector<double> before);

    // Replaces `current` with the stack before the last change, and keeps
    // `current` for redo. False, and `current` untouched, when there is
    // nothing to undo.
    bool Undo(std::vector<double> &current);
    // Replaces `current` with the stack the last undo left, and keeps
    // `current` for undo. False when there is nothing to redo.
    bool Redo(std::vector<double> &current);

private:
    void KeepForUndo(std::vector<double> stack);

    std::deque<std::vector<double>> undo_;
    std::vector<std::vector<double>> redo_;
};

// The same values bit for bit, so that a NaN equals the NaN it was and 0
// differs from -0: a line that changed only such a value changed the stack.
bool SameStack(const std::vector<double> &first, const std::vector<double> &second);

#endif
