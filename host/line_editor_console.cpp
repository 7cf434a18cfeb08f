// At a Windows console the console itself edits the line (the arrow keys,
// Backspace, Esc, and F7 and the arrows for the lines typed before) and
// hands it over whole, Enter as CR LF. Ctrl-Z at the start of a line is the
// end of input there, as Ctrl-D is on a terminal.
#include "line_editor.h"

#include "interrupt.h"

#include <cerrno>
#include <unistd.h>
#include <windows.h>

namespace {

constexpr char kEndOfInput = '\x1a';
// The console hands over at most a line per read; this holds most lines.
constexpr std::size_t kReadSize = 4096;

std::FILE *promptScreen = nullptr;
// What was read past the end of the line returned last.
std::string unread;

void Show(const char *text)
{
    std::fputs(text, promptScreen);
    std::fflush(promptScreen);
}

// The console drops what was typed on the line at Ctrl-C and ends the read
// with ERROR_OPERATION_ABORTED, while its handler, on another thread, may
// not have run yet: the read's own failure is what says so.
bool ReadWasInterrupted()
{
    return GetLastError() == ERROR_OPERATION_ABORTED || InterruptPending();
}

}  // namespace

void StartLineEditor(std::FILE *screen, const std::vector<std::string> &)
{
    promptScreen = screen;
    unread.clear();
}

void StopLineEditor()
{
    unread.clear();
}

LineStatus ReadInteractiveLine(const char *prompt, std::string &line, int &error)
{
    Show(prompt);
    for (;;) {
        const std::size_t newline = unread.find('\n');
        if (newline != std::string::npos) {
            line.assign(unread, 0, newline);
            unread.erase(0, newline + 1);
            break;
        }
        char buffer[kReadSize];
        SetLastError(ERROR_SUCCESS);
        const int count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count > 0) {
            unread.append(buffer, static_cast<std::size_t>(count));
            continue;
        }
        if (ReadWasInterrupted()) {
            FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
            unread.clear();
            return LineStatus::kInterrupted;
        }
        if (count < 0) {
            error = errno;
            return LineStatus::kError;
        }
        return LineStatus::kEnd;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (!line.empty() && line.front() == kEndOfInput) {
        return LineStatus::kEnd;
    }
    return LineStatus::kLine;
}

void RememberLine(const std::string &)
{
}
