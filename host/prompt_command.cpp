#include "prompt_command.h"

#include <algorithm>
#include <iterator>

namespace {

// cppcheck 2.10 misses the read of `command` through find_if's iterator.
struct Word {
    std::string_view text;
    // cppcheck-suppress unusedStructMember
    PromptCommand command;
};

constexpr Word kWords[] = {
    {"help", PromptCommand::kHelp},   {"quit", PromptCommand::kQuit},
    {"exit", PromptCommand::kQuit},   {"stack", PromptCommand::kStack},
    {"clear", PromptCommand::kClear}, {"undo", PromptCommand::kUndo},
    {"redo", PromptCommand::kRedo},
};

}  // namespace

PromptCommand PromptCommandOf(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return PromptCommand::kNone;
    }
    const std::size_t last = line.find_last_not_of(" \t");
    const std::string_view word = line.substr(first, last - first + 1);
    const auto *known = std::find_if(std::begin(kWords), std::end(kWords),
                                     [word](const Word &each) { return each.text == word; });
    return known == std::end(kWords) ? PromptCommand::kNone : known->command;
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
