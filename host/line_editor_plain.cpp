// Without libedit the terminal's line discipline edits: Backspace, Ctrl-U
// and Ctrl-W work on what is shown. Arrows, Home, Delete send escape
// sequences it shows (^[[D) and passes on: such a line is not what its user
// meant, so it is refused with the reason. A Windows console edits the line
// itself, recall included, and hands it over ending in CR LF.
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

constexpr char kRefusal[] =
    "rpn: line not evaluated: it holds an arrow or another editing key, and this rpn "
    "has no line editing (built without libedit); Backspace, Ctrl-U and Ctrl-W edit\n";

// A terminal hands over at most a line per read; this holds most lines.
constexpr std::size_t kReadSize = 4096;
std::FILE *promptScreen = nullptr;
// What was read past the end of the line returned last.
std::string unread;

void Show(const char *text)
{
    std::fputs(text, promptScreen);
    std::fflush(promptScreen);
}

// What was typed and not read: Ctrl-C drops it, a SIGINT by kill does not;
// after a stop it is no longer the line on the screen.
void DropTypedInput()
{
#ifdef _WIN32
    FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
#else
    tcflush(STDIN_FILENO, TCIFLUSH);
#endif
    unread.clear();
}

LineStatus ReadTerminalLine(const char *prompt, std::string &line, int &error)
{
    for (std::size_t newline = unread.find('\n'); newline == std::string::npos; newline = unread.find('\n')) {
        char buffer[kReadSize];
#ifdef _WIN32
        SetLastError(ERROR_SUCCESS);
#endif
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
#ifdef _WIN32
        // Ctrl-C ends the console's read so, maybe before its handler ran.
        if (count <= 0 && GetLastError() == ERROR_OPERATION_ABORTED) {
            DropTypedInput();
            return LineStatus::kInterrupted;
        }
#endif
        if (count > 0) {
            unread.append(buffer, static_cast<std::size_t>(count));
        } else if (count < 0 && errno == EINTR && Came(Noted::kInterrupt, false)) {
            DropTypedInput();
            return LineStatus::kInterrupted;
        } else if (count < 0 && errno == EINTR) {
            // Another signal (a resized window) leaves the line as it is.
            if (Came(Noted::kResumed)) {
                DropTypedInput();
                Show(prompt);
            }
        } else if (count < 0) {
            error = errno;
            return LineStatus::kError;
        } else if (unread.empty()) {
            return LineStatus::kEnd;
        } else {
            // Ctrl-D after some keys hands them over as they are.
            unread += '\n';
        }
    }
    const std::size_t newline = unread.find('\n');
    line.assign(unread, 0, newline);
    unread.erase(0, newline + 1);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
#ifdef _WIN32
    // Ctrl-Z then Enter: the console's end of input, as Ctrl-D is a terminal's.
    if (!line.empty() && line.front() == '\x1a') {
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
        if (status != LineStatus::kLine || line.find('\x1b') == std::string::npos) {
            return status;
        }
        Show(kRefusal);
    }
}

void RememberLine(const std::string &) {}
