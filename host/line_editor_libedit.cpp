#include "line_editor.h"

#include <cstdlib>
#include <editline/readline.h>

void StartLineEditor()
{
    rl_readline_name = "rpn";
    rl_initialize();
    using_history();
    // A tab separates tokens like a space; it must not start file name
    // completion.
    rl_bind_key('\t', rl_insert);
}

bool ReadInteractiveLine(const char *prompt, std::string &line)
{
    char *text = readline(prompt);
    if (text == nullptr) {
        return false;
    }
    line = text;
    std::free(text);
    return true;
}

void RememberLine(const std::string &line)
{
    add_history(line.c_str());
}
