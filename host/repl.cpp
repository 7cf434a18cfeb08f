#include "repl.h"

#include "exit_status.h"
#include "isolation.h"
#include "line_editor.h"

#include <csignal>
#include <cstdio>
#include <string>

namespace {

constexpr char kPrompt[] = "rpn> ";

// Words that end the session, with any spaces or tabs around them. Neither
// could be an expression: 'q' and 'e' are not commands.
bool IsQuitCommand(const std::string &line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return false;
    }
    const std::size_t last = line.find_last_not_of(" \t");
    const std::string word = line.substr(first, last - first + 1);
    return word == "quit" || word == "exit";
}

volatile std::sig_atomic_t interrupted = 0;

void NoteInterrupt(int)
{
    interrupted = 1;
}

// Ctrl-C abandons the line being typed instead of the whole session: the
// handler does not restart the interrupted read, so the line editor gives up
// on the line. A child that is evaluating finishes its (short) work.
void CatchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = NoteInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int RunInteractiveSession(OutputChoice output)
{
    CatchInterrupts();
    StartLineEditor();
    std::string line;
    for (;;) {
        interrupted = 0;
        if (!ReadInteractiveLine(kPrompt, line)) {
            if (interrupted != 0) {
                std::fputs("\n", stdout);
                continue;
            }
            // Ctrl-D leaves the cursor after the prompt; the shell's own
            // prompt belongs on a line of its own.
            std::fputs("\n", stdout);
            break;
        }
        if (IsQuitCommand(line)) {
            break;
        }
        if (line.empty()) {
            continue;
        }
        RememberLine(line);
        const int status = EvaluateIsolated(line, output);
        if (status != kExitSuccess) {
            std::fprintf(stderr, "[exit status %d]\n", status);
        }
    }
    return kExitSuccess;
}
