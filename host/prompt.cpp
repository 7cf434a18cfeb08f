#include "prompt.h"

#include "exit_status.h"
#include "history_file.h"
#include "line_editor.h"
#include "signals.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <iterator>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace {

using Word = std::pair<std::string_view, PromptCommand>;
constexpr Word kWords[] = {
    {"help", PromptCommand::kHelp},   {"quit", PromptCommand::kQuit},   {"exit", PromptCommand::kQuit},
    {"stack", PromptCommand::kStack}, {"clear", PromptCommand::kClear}, {"undo", PromptCommand::kUndo},
    {"redo", PromptCommand::kRedo},
};

constexpr char kEmptyLine[] = "stack: empty\n";

// When the terminal does not say how wide it is.
constexpr std::size_t kDefaultColumns = 80;

// The terminal of standard input, so that the prompt, the stack line and
// what is typed stay there when the output is redirected; standard error if
// it has no name.
std::FILE *OpenScreen()
{
    const char *name = ttyname(STDIN_FILENO);
    std::FILE *screen = name == nullptr ? nullptr : std::fopen(name, "we");
    return screen == nullptr ? stderr : screen;
}

std::size_t Columns(std::FILE *screen)
{
    winsize size{};
    return ioctl(fileno(screen), TIOCGWINSZ, &size) == 0 && size.ws_col != 0 ? size.ws_col : kDefaultColumns;
}

// What a line does, and what the terminal shows after it: the stack line,
// but for help and stack.
std::string Obey(PromptCommand command, const std::string &line, const Place &place, Evaluator &evaluator,
                 UndoHistory &undo, Output &output, std::size_t columns, const std::string &help)
{
    std::vector<double> stack = evaluator.Stack();
    const bool undoing = command == PromptCommand::kUndo;
    std::string said;
    if (command == PromptCommand::kHelp || command == PromptCommand::kStack) {
        return command == PromptCommand::kStack ? FullStack(stack, evaluator.format())
                                                : help;
    }
    if (command == PromptCommand::kClear && !stack.empty()) {
        undo.Changed(std::move(stack));
        evaluator.Restore({});
    } else if (undoing || command == PromptCommand::kRedo) {
        if (undoing ? undo.Undo(stack) : undo.Redo(stack)) {
            evaluator.Restore(stack);
        } else {
            said = undoing ? "nothing to undo\n" : "nothing to redo\n";
        }
    } else if (command == PromptCommand::kNone) {
        const Verdict verdict = evaluator.Evaluate(line, place);
        if (verdict.status != kExitSuccess) {
            output.Err(PointAt(verdict.offset, verdict.text));
        } else if (!SameStack(stack, evaluator.Stack())) {
            undo.Changed(std::move(stack));
        }
    }
    return said + CompactStack(evaluator.Stack(), evaluator.format(), columns);
}

}  // namespace

PromptCommand PromptCommandOf(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return PromptCommand::kNone;
    }
    const std::string_view word = line.substr(first, line.find_last_not_of(" \t") - first + 1);
    const auto *known = std::find_if(std::begin(kWords), std::end(kWords), [word](const Word &each) { return each.first == word; });
    return known == std::end(kWords) ? PromptCommand::kNone : known->second;
}

std::string_view PromptWordCompleting(std::string_view prefix)
{
    const auto starts = [prefix](const Word &each) { return each.first.substr(0, prefix.size()) == prefix; };
    const auto *found = std::find_if(std::begin(kWords), std::end(kWords), starts);
    const bool alone = found != std::end(kWords) && std::find_if(found + 1, std::end(kWords), starts) == std::end(kWords);
    return alone ? found->first : "";
}

void UndoHistory::Changed(std::vector<double> before)
{
    redo_.clear();
    undo_.push_back(std::move(before));
    if (undo_.size() > kUndoLevels) {
        undo_.pop_front();
    }
}

// Moves `current` onto `to` and takes the newest of `from` in its place.
bool UndoHistory::Step(std::deque<std::vector<double>> &from, std::deque<std::vector<double>> &to,
                       std::vector<double> &current)
{
    if (from.empty()) {
        return false;
    }
    to.push_back(std::move(current));
    current = std::move(from.back());
    from.pop_back();
    if (undo_.size() > kUndoLevels) {
        undo_.pop_front();
    }
    return true;
}

bool SameStack(const std::vector<double> &first, const std::vector<double> &second)
{
    return first.size() == second.size() &&
           (first.empty() || std::memcmp(first.data(), second.data(), first.size() * sizeof(double)) == 0);
}

std::string CompactStack(const std::vector<double> &values, const ValueFormat &format, std::size_t columns)
{
    std::string line;
    for (const double value : values) {
        line += ' ' + ValueText(value, format);
    }
    // A line as wide as the terminal would make it wrap: the values nearest
    // the top that fit, the top one always.
    if (!values.empty() && sizeof "stack:" + line.size() > columns) {
        const std::string count = " (" + std::to_string(values.size()) + " values) ...";
        std::size_t cut = line.rfind(' ');
        for (std::size_t next = cut; next != 0 && sizeof "stack:" + count.size() + line.size() - next <= columns;) {
            cut = next;
            next = line.rfind(' ', next - 1);
        }
        line = count + line.substr(cut);
    }
    return values.empty() ? kEmptyLine : "stack:" + line + '\n';
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

std::string PromptCommandsText()
{
    return "At the prompt the stack is kept from line to line and shown after each one,\n"
           "the newest value last. A line that is one of these words alone is a command;\n"
           "any other line, such as 'clear 3', is an expression:\n"
           "  help        what rpn --help shows\n"
           "  stack       every value on a line of its own, the top last as 1:\n"
           "  clear       empty the stack\n"
           "  undo        the stack before the last line that changed it (up to " +
           std::to_string(kUndoLevels) +
           " times)\n"
           "  redo        take back the last undo\n"
           "  quit, exit  end the session, as Ctrl-D does\n"
           "  Ctrl-C      abandon the line being typed\n";
}

int RunPrompt(Evaluator &evaluator, Output &output, const std::string &help)
{
    std::FILE *screen = OpenScreen();
    // After what the line wrote, so that the terminal shows it in order.
    const auto show = [&](const std::string &text) {
        output.Flush();
        std::fputs(text.c_str(), screen);
        std::fflush(screen);
    };
    // What the history file's user should know, said once: where a relative
    // path led, a file not trimmed, a file not kept (the session goes on
    // without saving).
    std::string note;
    HistoryFile history(HistoryFile::ChoosePath(note));
    const std::vector<std::string> recalled = history.path().empty() ? std::vector<std::string>{} : history.Load();
    bool failureSaid = false;
    const auto report = [&] {
        if (!failureSaid && !history.failure().empty()) {
            failureSaid = true;
            output.Err("rpn: cannot keep history: " + history.failure() + " (RPN_HISTFILE= turns history off)\n");
            output.Flush();
        }
    };
    for (const std::string &said : {note, history.note()}) {
        output.Err(said.empty() ? "" : "rpn: " + said + "\n");
    }
    report();
    CatchSignals();
    StartLineEditor(screen, recalled);
    UndoHistory undo;
    std::string line;
    for (unsigned long number = 1;; ++number) {
        output.Flush();
        Came(Noted::kInterrupt);
        int error = 0;
        const LineStatus status = ReadInteractiveLine("rpn> ", line, error);
        const PromptCommand command = status == LineStatus::kLine ? PromptCommandOf(line) : PromptCommand::kQuit;
        if (status == LineStatus::kInterrupted) {
            show("\n");
            --number;
        } else if (command == PromptCommand::kQuit) {
            // After Ctrl-D the shell's prompt belongs on a line of its own.
            show(status == LineStatus::kLine ? "" : "\n");
            if (status == LineStatus::kError) {
                output.Stop(std::string("read error: ") + std::strerror(error));
            }
            break;
        } else if (!line.empty()) {
            RememberLine(line);
            history.Append(line);
            report();
            show(Obey(command, line, Place{"-", number}, evaluator, undo, output, Columns(screen), help));
        }
    }
    if (screen != stderr) {
        (void)std::fclose(screen);
    }
    return history.failure().empty() ? kExitSuccess : kExitOwnFailure;
}
