#include "repl.h"

#include "exit_status.h"
#include "history_file.h"
#include "interrupt.h"
#include "line_editor.h"
#include "notation_table.h"
#include "terminal.h"

#include <cstring>
#include <string>

namespace {

constexpr char kPrompt[] = "rpn> ";
constexpr std::string_view kStandardInputName = "-";

constexpr char kPromptCommands[] =
    "At the prompt:\n"
    "  help        this list\n"
    "  quit, exit  end the session, as Ctrl-D does\n"
    "  Ctrl-C      abandon the line being typed\n";

// A prompt command with any spaces or tabs around it, or "".
std::string CommandWord(const std::string &line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    const std::size_t last = line.find_last_not_of(" \t");
    return line.substr(first, last - first + 1);
}

// Neither word could be an expression: 'q', 'e' and 'h' are not commands.
bool IsQuitCommand(const std::string &word)
{
    return word == "quit" || word == "exit";
}

class Prompt {
public:
    Prompt(Session &session, Output &output)
        : session_(session), output_(output), history_(HistoryFile::ChoosePath())
    {
    }

    int Run();

private:
    void Evaluate(const std::string &line);
    void Remember(const std::string &line);
    void ReportHistoryFailure();

    Session &session_;
    Output &output_;
    Terminal screen_;
    HistoryFile history_;
    bool keepingHistory_ = false;
    bool historyFailed_ = false;
    unsigned long lineNumber_ = 0;
};

int Prompt::Run()
{
    std::vector<std::string> recalled;
    if (!history_.path().empty()) {
        keepingHistory_ = true;
        recalled = history_.Load();
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
        const std::string word = CommandWord(line);
        if (IsQuitCommand(word)) {
            StopLineEditor();
            break;
        }
        if (line.empty()) {
            continue;
        }
        Remember(line);
        if (word == "help") {
            output_.FlushAll();
            screen_.Show(DescribeNotation() + kPromptCommands);
        } else {
            Evaluate(line);
        }
    }
    return historyFailed_ ? kExitOwnFailure : kExitSuccess;
}

void Prompt::Evaluate(const std::string &line)
{
    const Verdict verdict = session_.Evaluate(line, Place{kStandardInputName, lineNumber_});
    if (verdict.status != kExitSuccess) {
        output_.ToStandardError(PointAt(verdict.offset, verdict.text));
    }
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
