// Without libedit the terminal's own line discipline edits the line: it
// echoes the keys, and Backspace, Ctrl-U and Ctrl-W work on what is shown.
// Arrow, Home, Delete and the other editing keys send escape sequences it
// cannot edit with: it shows them (as ^[[D) and passes them on. A line
// holding one is not what its user meant, so it is refused, and the user is
// told why; no escape byte ever reaches the evaluator.
//
// A Windows console edits the line itself, arrow keys and recall of the
// session's lines included, and hands it over whole, ending in CR LF.
#include "line_editor.h"

#include "signals.h"

#include <cerrno>
#include <unistd.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <termios.h>
#endif

namespace {

constexpr char kEscape = '\x1b';
// A terminal hands over at most a line per read; this holds most lines.
constexpr std::size_t kReadSize = 4096;
constexpr char kRefusal[] =
    "rpn: line not evaluated: it holds an arrow or another editing key, and this rpn "
    "has no line editing (built without libedit); Backspace, Ctrl-U and Ctrl-W edit\n";

#ifdef _WIN32
// Ctrl-Z then Enter: the console's end of input, as Ctrl-D is a terminal's.
constexpr char kConsoleEndOfInput = '\x1a';
#endif

std::FILE *promptScreen = nullptr;
// What was read past the end of the line returned last.
std::string unread;

void Show(const char *text)
{
    std::fputs(text, promptScreen);
    std::fflush(promptScreen);
}

// What was typed and not read yet.
void DropTypedInput()
{
#ifdef _WIN32
    FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
#else
    tcflush(STDIN_FILENO, TCIFLUSH);
#endif
    unread.clear();
}

// Ctrl-C typed makes the terminal drop what was typed on the line; a
// SIGINT sent by kill does not, and the old keys must not start the next
// line.
LineStatus AbandonLine()
{
    DropTypedInput();
    return LineStatus::kInterrupted;
}

// What the terminal still holds of a line typed before rpn was stopped
// cannot be shown again; taken with the next keys, the line evaluated would
// not be the one on the screen. The line starts afresh instead.
bool RestartAfterStop()
{
    if (!TakeResumption()) {
        return false;
    }
    DropTypedInput();
    return true;
}

// One line from the terminal, without its line end. Another signal that
// interrupts the read (a resized window) leaves the line as it is.
LineStatus ReadTerminalLine(const char *prompt, std::string &line, int &error)
{
    for (;;) {
        const std::size_t newline = unread.find('\n');
        if (newline != std::string::npos) {
            line.assign(unread, 0, newline);
            unread.erase(0, newline + 1);
            break;
        }
        char buffer[kReadSize];
#ifdef _WIN32
        SetLastError(ERROR_SUCCESS);
#endif
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count > 0) {
            unread.append(buffer, static_cast<std::size_t>(count));
            continue;
        }
#ifdef _WIN32
        // Ctrl-C ends the console's read so, while the handler that notes
        // it, on a thread of its own, may not have run yet.
        if (count <= 0 && GetLastError() == ERROR_OPERATION_ABORTED) {
            return AbandonLine();
        }
#endif
        if (count < 0 && errno == EINTR) {
            if (InterruptPending()) {
                return AbandonLine();
            }
            if (RestartAfterStop()) {
                Show(prompt);
            }
            continue;
        }
        if (count < 0) {
            error = errno;
            return LineStatus::kError;
        }
        // Ctrl-D: on an empty line the session ends; after some keys it
        // hands them over as they are.
        if (unread.empty()) {
            return LineStatus::kEnd;
        }
        line.swap(unread);
        unread.clear();
        break;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
#ifdef _WIN32
    if (!line.empty() && line.front() == kConsoleEndOfInput) {
        return LineStatus::kEnd;
    }
#endif
    return LineStatus::kLine;
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
    for (;;) {
        Show(prompt);
        const LineStatus status = ReadTerminalLine(prompt, line, error);
        if (status != LineStatus::kLine || line.find(kEscape) == std::string::npos) {
            return status;
        }
        Show(kRefusal);
    }
}

void RememberLine(const std::string &)
{
}
