// Ctrl-C at the prompt: it abandons the line being typed, not the session.
#ifndef RPN_INTERRUPT_H
#define RPN_INTERRUPT_H

// Notes SIGINT instead of dying of it. The handler does not restart an
// interrupted read, so the line editor gives up on the line.
void CatchInterrupts();

// Whether SIGINT came since the last call; clears the note.
bool TakeInterrupt();

// Whether SIGINT came, leaving the note for TakeInterrupt.
bool InterruptPending();

#endif
