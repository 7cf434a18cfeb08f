// A Windows console has no signals to catch: Ctrl-C and Ctrl-Break come to a
// handler on a thread of their own. Ctrl-C is noted, as SIGINT is elsewhere;
// Ctrl-Break, closing the window and logging off keep their default, which
// ends rpn. Nothing stops and resumes rpn, and the console edits the line
// itself, so a new width concerns nobody here.
#include "signals.h"

#include <atomic>
#include <windows.h>

namespace {

std::atomic<bool> interrupted{false};

BOOL WINAPI NoteControlEvent(DWORD event)
{
    if (event != CTRL_C_EVENT) {
        return FALSE;
    }
    interrupted = true;
    return TRUE;
}

}  // namespace

void CatchSignals()
{
    SetConsoleCtrlHandler(NoteControlEvent, TRUE);
}

bool Came(Noted what, bool take)
{
    return what == Noted::kInterrupt && (take ? interrupted.exchange(false) : interrupted.load());
}
