#include "interrupt.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t interrupted = 0;

void NoteInterrupt(int)
{
    interrupted = 1;
}

}  // namespace

void CatchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = NoteInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
}

bool TakeInterrupt()
{
    const bool was = interrupted != 0;
    interrupted = 0;
    return was;
}

bool InterruptPending()
{
    return interrupted != 0;
}
