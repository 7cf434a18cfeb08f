#include "desk.h"

#include "exit_status.h"
#include "stack_view.h"

#include <utility>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#endif

namespace {

constexpr std::string_view kStandardInputName = "-";
// When the terminal does not say how wide it is.
constexpr std::size_t kDefaultColumns = 80;

#ifdef _WIN32
// The width of the console window, not of its scroll-back buffer.
std::size_t Columns(std::FILE *screen)
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const auto console = reinterpret_cast<HANDLE>(_get_osfhandle(fileno(screen)));
    if (GetConsoleScreenBufferInfo(console, &info) == 0) {
        return kDefaultColumns;
    }
    return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}
#else
std::size_t Columns(std::FILE *screen)
{
    winsize size{};
    if (ioctl(fileno(screen), TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return kDefaultColumns;
    }
    return size.ws_col;
}
#endif

}  // namespace

Desk::Desk(Session &session, Output &output, Terminal &screen)
    : session_(session), output_(output), screen_(screen)
{
}

void Desk::Evaluate(const std::string &line, unsigned long number)
{
    std::vector<double> before = session_.Stack();
    const Verdict verdict = session_.Evaluate(line, Place{kStandardInputName, number});
    if (verdict.status != kExitSuccess) {
        output_.ToStandardError(PointAt(verdict.offset, verdict.text));
    } else if (!SameStack(before, session_.Stack())) {
        history_.Changed(std::move(before));
    }
    ShowStack();
}

void Desk::Clear()
{
    std::vector<double> before = session_.Stack();
    if (!before.empty()) {
        history_.Changed(std::move(before));
        session_.Restore({});
    }
    ShowStack();
}

void Desk::Undo()
{
    std::vector<double> stack = session_.Stack();
    if (history_.Undo(stack)) {
        session_.Restore(stack);
    } else {
        Show("nothing to undo\n");
    }
    ShowStack();
}

void Desk::Redo()
{
    std::vector<double> stack = session_.Stack();
    if (history_.Redo(stack)) {
        session_.Restore(stack);
    } else {
        Show("nothing to redo\n");
    }
    ShowStack();
}

void Desk::ShowAll()
{
    Show(FullStack(session_.Stack(), session_.format()));
}

// After what the line wrote, so that the terminal shows it in order.
void Desk::Show(const std::string &text)
{
    output_.FlushAll();
    screen_.Show(text);
}

void Desk::ShowStack()
{
    Show(CompactStack(session_.Stack(), session_.format(), Columns(screen_.stream())));
}
