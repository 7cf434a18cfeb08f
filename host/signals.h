// Signals while rpn prompts at a terminal. Ctrl-C abandons the line being
// typed, not the session. A signal that ends rpn ends rpn alone, never the
// rest of its process group (a shell script around it, the reader of its
// output): the terminal gets back the mode it had when the session started,
// then rpn dies of that very signal, so that a shell reports 128+N.
#ifndef RPN_SIGNALS_H
#define RPN_SIGNALS_H

// Takes the mode of the terminal that standard input is, to give it back,
// and sets up the handlers:
// - SIGINT is noted. The handler does not restart an interrupted read, so
//   the line editor gives up on the line.
// - SIGHUP, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1 and SIGUSR2 end rpn as said
//   above. One that was ignored when rpn started (nohup) stays ignored.
// - SIGTSTP (Ctrl-Z) gives the terminal its mode back while rpn is stopped
//   and takes up the editing mode again when rpn continues.
// - SIGWINCH is noted, for the line editor to learn the new width.
void CatchSignals();

// Whether SIGINT came since the last call; clears the note.
bool TakeInterrupt();

// Whether SIGINT came, leaving the note for TakeInterrupt.
bool InterruptPending();

// Whether rpn was stopped and has continued since the last call: what the
// prompt showed may have been written over meanwhile.
bool TakeResumption();

// Whether the terminal's window changed size since the last call.
bool TakeResize();

#endif
