#include "signals.h"

#include <cerrno>
#include <csignal>
#include <termios.h>
#include <unistd.h>

// The handlers and what they call make only async-signal-safe calls.
namespace {

// Signals that end the process and come from outside, not from a fault.
constexpr int kEndingSignals[] = {SIGHUP, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2};
constexpr int kStatusOfSignalBase = 128;  // a shell's status for death by signal N is 128+N

volatile std::sig_atomic_t noted[3] = {};
termios modeAtStart{};
volatile std::sig_atomic_t modeAtStartKnown = 0;

void GiveTerminalBack()
{
    if (modeAtStartKnown != 0) {
        tcsetattr(STDIN_FILENO, TCSANOW, &modeAtStart);
    }
}

// One handler at a time: an ending signal waits while rpn is stopped. No
// SA_RESTART: the terminal's read returns, and the line editor sees it.
void SetDisposition(int number, void (*handler)(int), struct sigaction *previous = nullptr)
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (const int other : kEndingSignals) {
        sigaddset(&action.sa_mask, other);
    }
    sigaddset(&action.sa_mask, SIGTSTP);
    sigaction(number, &action, previous);
}

void Unblock(int number, sigset_t *previous)
{
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, number);
    sigprocmask(SIG_UNBLOCK, &only, previous);
}

void Note(int number)
{
    noted[static_cast<int>(number == SIGINT ? Noted::kInterrupt : Noted::kResized)] = 1;
}

// Sent again with kill(0, ...), the signal would end the whole process group
// as well; raised, it reaches rpn alone.
void EndBySignal(int number)
{
    GiveTerminalBack();
    // The shell's words on a line of their own; the terminal is most often
    // open for writing too, and if not, nothing is lost.
    if (write(STDIN_FILENO, "\n", 1) < 0) {
        // rpn is ending.
    }
    SetDisposition(number, SIG_DFL);
    Unblock(number, nullptr);
    (void)raise(number);
    // cppcheck-suppress unreachableCode
    _exit(kStatusOfSignalBase + number);
}

void StopUntilContinued(int)
{
    const int savedErrno = errno;
    termios editing{};
    const bool editingKnown = tcgetattr(STDIN_FILENO, &editing) == 0;
    GiveTerminalBack();
    struct sigaction ours {};
    SetDisposition(SIGTSTP, SIG_DFL, &ours);
    sigset_t mask;
    Unblock(SIGTSTP, &mask);
    // Stopped here until SIGCONT; in an orphaned process group the system
    // drops the signal and rpn goes straight on.
    (void)raise(SIGTSTP);
    // cppcheck-suppress unreachableCode
    sigprocmask(SIG_SETMASK, &mask, nullptr);
    sigaction(SIGTSTP, &ours, nullptr);
    if (editingKnown) {
        tcsetattr(STDIN_FILENO, TCSANOW, &editing);
    }
    noted[static_cast<int>(Noted::kResumed)] = 1;
    errno = savedErrno;
}

// One that was ignored when rpn started (nohup) stays ignored.
void CatchUnlessIgnored(int number, void (*handler)(int))
{
    struct sigaction current {};
    if (sigaction(number, nullptr, &current) != 0 || current.sa_handler != SIG_IGN) {
        SetDisposition(number, handler);
    }
}

}  // namespace

void CatchSignals()
{
    modeAtStartKnown = tcgetattr(STDIN_FILENO, &modeAtStart) == 0 ? 1 : 0;
    SetDisposition(SIGINT, Note);
    SetDisposition(SIGWINCH, Note);
    for (const int number : kEndingSignals) {
        CatchUnlessIgnored(number, EndBySignal);
    }
    CatchUnlessIgnored(SIGTSTP, StopUntilContinued);
}

bool Came(Noted what, bool take)
{
    volatile std::sig_atomic_t &note = noted[static_cast<int>(what)];
    const bool came = note != 0;
    note = take ? 0 : note;
    return came;
}
