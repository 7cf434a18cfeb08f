#include "desk.h"

#include <cstring>
#include <utility>

namespace {

struct Word {
    std::string_view text;
    PromptCommand command;
};

constexpr Word kWords[] = {
    {"help", PromptCommand::kHelp},   {"quit", PromptCommand::kQuit},   {"exit", PromptCommand::kQuit},
    {"stack", PromptCommand::kStack}, {"clear", PromptCommand::kClear}, {"undo", PromptCommand::kUndo},
    {"redo", PromptCommand::kRedo},
};

constexpr char kEmptyLine[] = "stack: empty\n";

}  // namespace

PromptCommand PromptCommandOf(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return PromptCommand::kNone;
    }
    const std::string_view word = line.substr(first, line.find_last_not_of(" \t") - first + 1);
    for (const Word &each : kWords) {
        if (each.text == word) {
            return each.command;
        }
    }
    return PromptCommand::kNone;
}

std::string_view PromptWordCompleting(std::string_view prefix)
{
    std::string_view found;
    for (const Word &each : kWords) {
        if (each.text.substr(0, prefix.size()) == prefix) {
            if (!found.empty()) {
                return "";
            }
            found = each.text;
        }
    }
    return found;
}

void UndoHistory::Changed(std::vector<double> before)
{
    Keep(std::move(before));
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
    Keep(std::move(current));
    current = std::move(redo_.back());
    redo_.pop_back();
    return true;
}

void UndoHistory::Keep(std::vector<double> stack)
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

std::string CompactStack(const std::vector<double> &values, const ValueFormat &format, std::size_t columns)
{
    if (values.empty()) {
        return kEmptyLine;
    }
    std::vector<std::string> texts;
    std::size_t width = 6;  // "stack:"
    for (const double value : values) {
        texts.push_back(ValueText(value, format));
        width += 1 + texts.back().size();
    }
    // A line as wide as the terminal would make it wrap.
    std::size_t first = 0;
    std::string line = "stack:";
    if (width >= columns) {
        line += " (" + std::to_string(values.size()) + " values) ...";
        width = line.size();
        first = texts.size();
        while (first > 0 && (first == texts.size() || width + 1 + texts[first - 1].size() < columns)) {
            width += 1 + texts[--first].size();
        }
    }
    for (std::size_t i = first; i < texts.size(); ++i) {
        line += ' ' + texts[i];
    }
    return line + '\n';
}

std::string FullStack(const std::vector<double> &values, const ValueFormat &format)
{
    if (values.empty()) {
        return kEmptyLine;
    }
    const std::size_t levelWidth = std::to_string(values.size()).size();
    std::string listing;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string level = std::to_string(values.size() - i);
        listing += "  " + std::string(levelWidth - level.size(), ' ') + level + ": " + ValueText(values[i], format) + '\n';
    }
    return listing;
}
