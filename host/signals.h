// Signals at the prompt. Ctrl-C abandons the line being typed. A signal that
// ends rpn ends rpn alone, never its process group (a script around it, the
// reader of its output): the terminal gets its mode back, then rpn dies of
// that very signal, so that a shell reports 128+N.
#ifndef RPN_SIGNALS_H
#define RPN_SIGNALS_H

// Takes the terminal's mode, to give it back. SIGINT and SIGWINCH are noted
// and interrupt a read. SIGHUP, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1 and
// SIGUSR2 end rpn as above, unless ignored at the start (nohup). While
// SIGTSTP (Ctrl-Z) stops rpn the terminal has its mode back.
void CatchSignals();

// Ctrl-C, a stop and continue (the screen may have been written over), a
// new window size: whether it came since it was last taken (and cleared).
enum class Noted { kInterrupt, kResumed, kResized };
bool Came(Noted what, bool take = true);

#endif
