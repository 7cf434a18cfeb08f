#include "undo_history.h"

#include <cstring>
#include <utility>

void UndoHistory::Changed(std::vector<double> before)
{
    KeepForUndo(std::move(before));
    redo_.clear();
}

bool UndoHistory::Undo(std::vector<double> &current)
{
    if (undo_.empty()) {
        return false;
    }
    redo_.push_back(std::move(current));
    current = std::move(undo_.back());
    undo_.pop_back();
    return true;
}

bool UndoHistory::Redo(std::vector<double> &current)
{
    if (redo_.empty()) {
        return false;
    }
    KeepForUndo(std::move(current));
    current = std::move(redo_.back());
    redo_.pop_back();
    return true;
}

void UndoHistory::KeepForUndo(std::vector<double> stack)
{
    undo_.push_back(std::move(stack));
    if (undo_.size() > kUndoLevels) {
        undo_.pop_front();
    }
}

bool SameStack(const std::vector<double> &first, const std::vector<double> &second)
{
    return first.size() == second.size() &&
           (first.empty() || std::memcmp(first.data(), second.data(), first.size() * sizeof(double)) == 0);
}
