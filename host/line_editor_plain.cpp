#include "line_editor.h"

#include "line_reader.h"

#include <memory>
#include <unistd.h>

namespace {

std::FILE *promptScreen = nullptr;
std::unique_ptr<LineReader> terminal;

}  // namespace

void StartLineEditor(std::FILE *screen, const std::vector<std::string> &)
{
    promptScreen = screen;
    terminal = std::make_unique<LineReader>(STDIN_FILENO, true);
}

void StopLineEditor()
{
    terminal.reset();
}

LineStatus ReadInteractiveLine(const char *prompt, std::string &line, int &error)
{
    std::fputs(prompt, promptScreen);
    std::fflush(promptScreen);
    std::string_view text;
    switch (terminal->Next(text)) {
    case LineReader::Result::kLine: line.assign(text); return LineStatus::kLine;
    case LineReader::Result::kInterrupted: return LineStatus::kInterrupted;
    case LineReader::Result::kEnd: return LineStatus::kEnd;
    case LineReader::Result::kError: break;
    }
    error = terminal->error();
    return LineStatus::kError;
}

void RememberLine(const std::string &)
{
}
