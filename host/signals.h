// Signals while rpn prompts at a terminal. Ctrl-C abandons the line being
// typed, not the session. A signal that ends rpn ends rpn alone, never the
// rest of its process group (a shell script around it, the reader of its
// output): the terminal gets back the mode it had when the session started,
// then rpn dies of that very signal, so that a shell reports 128+N.
#ifndef RPN_SIGNALS_H
#define RPN_SIGNALS_H

// Takes the mode of the terminal that standard input is, to give it back,
// and sets up the handlers: SIGINT and SIGWINCH are noted, and interrupt a
// read instead of restarting it. SIGHUP, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1
// and SIGUSR2 end rpn as said above, unless ignored when rpn started
// (nohup). SIGTSTP (Ctrl-Z) gives the terminal its mode back while rpn is
// stopped and takes up the editing mode again when rpn continues.
void CatchSignals();

// What the handlers noted: Ctrl-C, a stop and continue (what the prompt
// showed may have been written over), a new window size.
enum class Noted { kInterrupt, kResumed, kResized };
// Whether it came since it was last taken; `take` clears the note.
bool Came(Noted what, bool take = true);

#endif
