#include "prompt_command.h"

namespace {

struct Word {
    std::string_view text;
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
    for (const Word &known : kWords) {
        if (word == known.text) {
            return known.command;
        }
    }
    return PromptCommand::kNone;
}
