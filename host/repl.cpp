#include "repl.h"

#include "exit_status.h"
#include "isolation.h"
#include "line_editor.h"

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

}  // namespace

int RunInteractiveSession(OutputChoice output)
{
    StartLineEditor();
    std::string line;
    for (;;) {
        if (!ReadInteractiveLine(kPrompt, line)) {
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
