#include "line_editor.h"

#include "line_source.h"

#include <cstdio>
#include <unistd.h>

namespace {

LineSource terminal = OpenLineSource(STDIN_FILENO, true);

}  // namespace

void StartLineEditor()
{
}

bool ReadInteractiveLine(const char *prompt, std::string &line)
{
    std::fputs(prompt, stdout);
    std::fflush(stdout);
    return ReadLine(terminal, line);
}

void RememberLine(const std::string &)
{
}
