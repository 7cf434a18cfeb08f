// Without libedit the terminal's line discipline edits: Backspace, Ctrl-U
// and Ctrl-W work on what is shown. Arrows and Home send escape sequences
// it shows (^[[D) and passes on: such a line is not what its user meant,
// so it is refused.
#include "line_editor.h"

#include "signals.h"

#include <cerrno>
#include <optional>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr char kRefusal[] =
    "rpn: line not evaluated: it holds an arrow or another editing key, and this rpn "
    "has no line editing (built without libedit); Backspace, Ctrl-U and Ctrl-W edit\n";
std::FILE *promptScreen = nullptr;

void Show(const char *text)
{
    std::fputs(text, promptScreen);
    std::fflush(promptScreen);
}

// A read that gave no byte: the end of input, an error, or a signal, which
// interrupts only a read that waits (stdio holds nothing then). Ctrl-C drops
// what was typed, a SIGINT by kill does not: dropped here. After a stop what
// was typed is no longer the line on the screen. Nothing: read on.
std::optional<LineStatus> AfterNoByte(const char *prompt, std::string &line, int &error)
{
    const bool failed = std::ferror(stdin) != 0;
    std::clearerr(stdin);
    const bool interrupted = failed && errno == EINTR && Came(Noted::kInterrupt, false);
    if (interrupted || (failed && errno == EINTR && Came(Noted::kResumed))) {
        tcflush(STDIN_FILENO, TCIFLUSH);
        line.clear();
        if (interrupted) {
            return LineStatus::kInterrupted;
        }
        Show(prompt);
    } else if (!failed || errno != EINTR) {
        error = failed ? errno : 0;
        // Ctrl-D after some keys hands them over as they are.
        return failed ? LineStatus::kError : line.empty() ? LineStatus::kEnd : LineStatus::kLine;
    }
    return std::nullopt;
}

LineStatus ReadTerminalLine(const char *prompt, std::string &line, int &error)
{
    line.clear();
    for (int c = 0; c != '\n';) {
        if ((c = std::getc(stdin)) != EOF) {
            line.append(c != '\n' ? 1 : 0, static_cast<char>(c));
        } else if (const std::optional<LineStatus> status = AfterNoByte(prompt, line, error)) {
            return *status;
        }
    }
    return LineStatus::kLine;
}

}  // namespace

void StartLineEditor(std::FILE *screen, const std::vector<std::string> &)
{
    promptScreen = screen;
}

void StopLineEditor() {}

LineStatus ReadInteractiveLine(const char *prompt, std::string &line, int &error)
{
    LineStatus status = LineStatus::kLine;
    for (Show(prompt); (status = ReadTerminalLine(prompt, line, error)) == LineStatus::kLine &&
                       line.find('\x1b') != std::string::npos;
         Show(prompt)) {
        Show(kRefusal);
    }
    return status;
}

void RememberLine(const std::string &) {}
