#include "signals.h"

#include <cerrno>
#include <csignal>
#include <termios.h>
#include <unistd.h>

namespace {

// Signals whose default action ends the process, and that come from
// outside (kill, a hangup, a timer) rather than from a fault of rpn's own.
constexpr int kEndingSignals[] = {SIGHUP, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2};
// A shell reports a death by signal N as 128+N.
constexpr int kStatusOfSignalBase = 128;

volatile std::sig_atomic_t interrupted = 0;
volatile std::sig_atomic_t resumed = 0;
volatile std::sig_atomic_t resized = 0;

termios modeAtStart{};
volatile std::sig_atomic_t modeAtStartKnown = 0;

// The handlers and what they call make only async-signal-safe calls.

void GiveTerminalBack()
{
    if (modeAtStartKnown != 0) {
        tcsetattr(STDIN_FILENO, TCSANOW, &modeAtStart);
    }
}

void SetDisposition(int number, void (*handler)(int), struct sigaction *previous = nullptr)
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // One handler at a time: an ending signal that comes while rpn is
    // stopped waits until the terminal has been taken up again.
    for (const int other : kEndingSignals) {
        sigaddset(&action.sa_mask, other);
    }
    sigaddset(&action.sa_mask, SIGTSTP);
    // No SA_RESTART: the read of the terminal returns, so that the line
    // editor sees what came.
    action.sa_flags = 0;
    sigaction(number, &action, previous);
}

void Unblock(int number, sigset_t *previous)
{
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, number);
    sigprocmask(SIG_UNBLOCK, &only, previous);
}

void NoteInterrupt(int)
{
    interrupted = 1;
}

void NoteResize(int)
{
    resized = 1;
}

// Sent again with kill(0, ...), the signal would end the whole process
// group as well; raised, it reaches rpn alone.
void EndBySignal(int number)
{
    GiveTerminalBack();
    // The shell's next words go on a line of their own, not after the
    // prompt. Standard input is the terminal, most often open for writing
    // too; when it is not, the write fails and nothing is lost.
    if (write(STDIN_FILENO, "\n", 1) < 0) {
        // Nothing to do about it: rpn is ending.
    }
    SetDisposition(number, SIG_DFL);
    Unblock(number, nullptr);
    (void)raise(number);
    // Not reached: the default action of every ending signal ends rpn.
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
    // rpn stops here until SIGCONT. In an orphaned process group the
    // system drops the signal and rpn goes straight on.
    (void)raise(SIGTSTP);
    // cppcheck takes raise for a function that never returns; a stop
    // signal returns once rpn continues.
    // cppcheck-suppress unreachableCode
    sigprocmask(SIG_SETMASK, &mask, nullptr);
    sigaction(SIGTSTP, &ours, nullptr);
    if (editingKnown) {
        tcsetattr(STDIN_FILENO, TCSANOW, &editing);
    }
    resumed = 1;
    errno = savedErrno;
}

// A signal that was ignored when rpn started (nohup, a job run with
// SIGHUP ignored) stays ignored.
void CatchUnlessIgnored(int number, void (*handler)(int))
{
    struct sigaction current {};
    if (sigaction(number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
        return;
    }
    SetDisposition(number, handler);
}

bool Take(volatile std::sig_atomic_t &note)
{
    const bool was = note != 0;
    note = 0;
    return was;
}

}  // namespace

void CatchSignals()
{
    modeAtStartKnown = tcgetattr(STDIN_FILENO, &modeAtStart) == 0 ? 1 : 0;
    SetDisposition(SIGINT, NoteInterrupt);
    for (const int number : kEndingSignals) {
        CatchUnlessIgnored(number, EndBySignal);
    }
    CatchUnlessIgnored(SIGTSTP, StopUntilContinued);
    SetDisposition(SIGWINCH, NoteResize);
}

bool TakeInterrupt()
{
    return Take(interrupted);
}

bool InterruptPending()
{
    return interrupted != 0;
}

bool TakeResumption()
{
    return Take(resumed);
}

bool TakeResize()
{
    return Take(resized);
}
