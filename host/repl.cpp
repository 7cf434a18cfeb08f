#include "repl.h"

#include "desk.h"
#include "exit_status.h"
#include "history_file.h"
#include "interrupt.h"
#include "line_editor.h"
#include "notation_table.h"
#include "prompt_command.h"
#include "terminal.h"
#include "usage_text.h"

#include <cstring>
#include <string>

namespace {

constexpr char kPrompt[] = "rpn> ";

class Prompt {
public:
    Prompt(Session &session, Output &output)
        : output_(output), history_(HistoryFile::ChoosePath(pathNote_)), desk_(session, output, screen_)
    {
    }

    int Run();

private:
    void Obey(PromptCommand command, const std::string &line);
    void Remember(const std::string &line);
    void ReportHistoryFailure();

    Output &output_;
    Terminal screen_;
    // Set while the history's path is chosen, so declared before it.
    std::string pathNote_;
    HistoryFile history_;
    bool keepingHistory_ = false;
    bool historyFailed_ = false;
    unsigned long lineNumber_ = 0;
    Desk desk_;
};

int Prompt::Run()
{
    std::vector<std::string> recalled;
    if (!pathNote_.empty()) {
        output_.ToStandardError("rpn: " + pathNote_ + "\n");
    }
    if (!history_.path().empty()) {
        keepingHistory_ = true;
        recalled = history_.Load();
        if (!history_.note().empty()) {
            output_.ToStandardError("rpn: " + history_.note() + "\n");
        }
        ReportHistoryFailure();
    }
    CatchInterrupts();
    StartLineEditor(screen_.stream(), recalled);
    std::string line;
    for (;;) {
        output_.FlushAll();
        TakeInterrupt();
        int error = 0;
        const LineStatus status = ReadInteractiveLine(kPrompt, line, error);
        if (status == LineStatus::kInterrupted) {
            screen_.Show("\n");
            continue;
        }
        if (status != LineStatus::kLine) {
            // Ctrl-D leaves the cursor after the prompt; the shell's own
            // prompt belongs on a line of its own.
            screen_.Show("\n");
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
        if (line.empty()) {
            continue;
        }
        Remember(line);
        Obey(command, line);
    }
    return historyFailed_ ? kExitOwnFailure : kExitSuccess;
}

void Prompt::Obey(PromptCommand command, const std::string &line)
{
    switch (command) {
    case PromptCommand::kHelp:
        output_.FlushAll();
        screen_.Show(DescribeNotation() + PromptHelpText());
        return;
    case PromptCommand::kStack: desk_.ShowAll(); return;
    case PromptCommand::kClear: desk_.Clear(); return;
    case PromptCommand::kUndo: desk_.Undo(); return;
    case PromptCommand::kRedo: desk_.Redo(); return;
    case PromptCommand::kQuit:
    case PromptCommand::kNone: break;
    }
    desk_.Evaluate(line, lineNumber_);
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
    output_.ToStandardError("rpn: cannot keep history: " + history_.failure() +
                            " (RPN_HISTFILE= turns history off)\n");
    output_.FlushAll();
}

}  // namespace

int RunInteractiveSession(Session &session, Output &output)
{
    Prompt prompt(session, output);
    return prompt.Run();
}
