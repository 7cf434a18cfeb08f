#include "prompt.h"

#include "desk.h"
#include "exit_status.h"
#include "history_file.h"
#include "line_editor.h"
#include "signals.h"

#include <cstring>
#include <utility>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kDefaultColumns = 80;
constexpr char kPromptOptions[] =
    "Options that change what the prompt shows (see rpn --help): -q, values alone\n"
    "on standard output; -d N and --shortest, how values are written, on the\n"
    "stack line too; --each FORMULA, run after every line; --no-warnings; --strict.\n";

// The terminal that standard input is, written to directly: the prompt, the
// stack line and what is typed stay there when standard output and standard
// error are redirected. Standard error when it cannot be opened by name.
std::FILE *OpenScreen()
{
#ifdef _WIN32
    std::FILE *screen = std::fopen("CONOUT$", "wb");
#else
    const char *name = ttyname(STDIN_FILENO);
    std::FILE *screen = name == nullptr ? nullptr : std::fopen(name, "we");
#endif
    return screen == nullptr ? stderr : screen;
}

// The window's width (on Windows, of the window, not of its scroll-back).
std::size_t Columns(std::FILE *screen)
{
#ifdef _WIN32
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(screen))), &info) != 0) {
        return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
    }
#else
    winsize size{};
    if (ioctl(fileno(screen), TIOCGWINSZ, &size) == 0 && size.ws_col != 0) {
        return size.ws_col;
    }
#endif
    return kDefaultColumns;
}

// Six decimals without the zeros that only pad them: 8, 0.25, 0.785398.
std::string ShortDecimal(double value)
{
    std::string decimal = ValueText(value, ValueFormat{});
    if (decimal.find('.') != std::string::npos) {
        decimal.erase(decimal.find_last_not_of('0') + 1);
        if (decimal.back() == '.') {
            decimal.pop_back();
        }
    }
    return decimal;
}

class Prompt {
public:
    Prompt(Evaluator &evaluator, Output &output)
        : evaluator_(evaluator), output_(output), screen_(OpenScreen())
    {
    }
    ~Prompt()
    {
        if (screen_ != stderr) {
            (void)std::fclose(screen_);
        }
    }
    Prompt(const Prompt &) = delete;
    Prompt &operator=(const Prompt &) = delete;

    int Run();

private:
    void Obey(PromptCommand command, const std::string &line);
    void Show(const std::string &text);
    void ShowStack() { Show(CompactStack(evaluator_.Stack(), evaluator_.format(), Columns(screen_))); }
    void Remember(const std::string &line);
    void ReportHistoryFailure();

    Evaluator &evaluator_;
    Output &output_;
    std::FILE *screen_;
    UndoHistory undo_;
    std::string pathNote_;
    HistoryFile history_{HistoryFile::ChoosePath(pathNote_)};
    bool keepingHistory_ = false;
    bool historyFailed_ = false;
    unsigned long lineNumber_ = 0;
};

int Prompt::Run()
{
    std::vector<std::string> recalled;
    if (!pathNote_.empty()) {
        output_.Err("rpn: " + pathNote_ + "\n");
    }
    if (!history_.path().empty()) {
        keepingHistory_ = true;
        recalled = history_.Load();
        if (!history_.note().empty()) {
            output_.Err("rpn: " + history_.note() + "\n");
        }
        ReportHistoryFailure();
    }
    CatchSignals();
    StartLineEditor(screen_, recalled);
    std::string line;
    for (;;) {
        output_.Flush();
        Came(Noted::kInterrupt);
        int error = 0;
        const LineStatus status = ReadInteractiveLine("rpn> ", line, error);
        if (status == LineStatus::kInterrupted) {
            Show("\n");
            continue;
        }
        if (status != LineStatus::kLine) {
            // After Ctrl-D the shell's prompt belongs on a line of its own.
            Show("\n");
            StopLineEditor();
            if (status == LineStatus::kError) {
                output_.Stop(std::string("read error: ") + std::strerror(error));
            }
            break;
        }
        ++lineNumber_;
        const PromptCommand command = PromptCommandOf(line);
        if (command == PromptCommand::kQuit) {
            StopLineEditor();
            break;
        }
        if (!line.empty()) {
            Remember(line);
            Obey(command, line);
        }
    }
    return historyFailed_ ? kExitOwnFailure : kExitSuccess;
}

void Prompt::Obey(PromptCommand command, const std::string &line)
{
    std::vector<double> stack = evaluator_.Stack();
    switch (command) {
    case PromptCommand::kHelp: Show(DescribeNotation() + PromptCommandsText() + kPromptOptions); return;
    case PromptCommand::kStack: Show(FullStack(stack, evaluator_.format())); return;
    case PromptCommand::kClear:
        if (!stack.empty()) {
            undo_.Changed(std::move(stack));
            evaluator_.Restore({});
        }
        break;
    case PromptCommand::kUndo:
    case PromptCommand::kRedo: {
        const bool undo = command == PromptCommand::kUndo;
        if (undo ? undo_.Undo(stack) : undo_.Redo(stack)) {
            evaluator_.Restore(stack);
        } else {
            Show(undo ? "nothing to undo\n" : "nothing to redo\n");
        }
        break;
    }
    case PromptCommand::kQuit:
    case PromptCommand::kNone: {
        const Verdict verdict = evaluator_.Evaluate(line, Place{"-", lineNumber_});
        if (verdict.status != kExitSuccess) {
            output_.Err(PointAt(verdict.offset, verdict.text));
        } else if (!SameStack(stack, evaluator_.Stack())) {
            undo_.Changed(std::move(stack));
        }
        break;
    }
    }
    ShowStack();
}

// After what the line wrote, so that the terminal shows it in order.
void Prompt::Show(const std::string &text)
{
    output_.Flush();
    std::fputs(text.c_str(), screen_);
    std::fflush(screen_);
}

void Prompt::Remember(const std::string &line)
{
    RememberLine(line);
    if (keepingHistory_) {
        history_.Append(line);
        ReportHistoryFailure();
    }
}

// Once, and the session goes on without saving.
void Prompt::ReportHistoryFailure()
{
    if (historyFailed_ || history_.failure().empty()) {
        return;
    }
    historyFailed_ = true;
    keepingHistory_ = false;
    output_.Err("rpn: cannot keep history: " + history_.failure() + " (RPN_HISTFILE= turns history off)\n");
    output_.Flush();
}

}  // namespace

std::string DescribeNotation()
{
    std::size_t count = 0;
    const kelvaro_rpn_command *commands = kelvaro_rpn_commands(&count);
    std::string table;
    for (std::size_t i = 0; i < count; ++i) {
        const kelvaro_rpn_command &command = commands[i];
        // The separators have names instead of a visible byte.
        const bool visible = command.byte > ' ' && command.byte <= '~';
        table += std::string("  ") + (visible ? command.byte : ' ') + "  " + command.name + ": " + command.meaning;
        if (command.example[0] != '\0') {
            kelvaro_rpn_outcome outcome{};
            const bool fails = kelvaro_rpn_evaluate(command.example, std::strlen(command.example), &outcome) != 0;
            table += std::string("; '") + command.example + (fails ? "' fails: " : "' gives ") +
                     (fails ? kelvaro_rpn_status_name(outcome.status) : ShortDecimal(outcome.value));
        }
        table += '\n';
    }
    return table;
}

std::string PromptCommandsText()
{
    return "At the prompt the stack is kept from line to line and shown after each one,\n"
           "the newest value last. A line that is one of these words alone is a command;\n"
           "any other line, such as 'clear 3', is an expression:\n"
           "  help        the notation and these commands\n"
           "  stack       every value on a line of its own, the top last as 1:\n"
           "  clear       empty the stack\n"
           "  undo        the stack before the last line that changed it (up to " +
           std::to_string(kUndoLevels) +
           " times)\n"
           "  redo        take back the last undo\n"
           "  quit, exit  end the session, as Ctrl-D does\n"
           "  Ctrl-C      abandon the line being typed\n";
}

int RunPrompt(Evaluator &evaluator, Output &output)
{
    Prompt prompt(evaluator, output);
    return prompt.Run();
}
