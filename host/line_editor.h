// Reading lines from a person at a terminal: with line editing and history
// where libedit was found at build time, plain reading otherwise.
#ifndef RPN_LINE_EDITOR_H
#define RPN_LINE_EDITOR_H

#include <string>

void StartLineEditor();

// Shows `prompt` and reads one line without its line end. Returns false at
// end of input (Ctrl-D on an empty line) and when a signal interrupted the
// reading.
bool ReadInteractiveLine(const char *prompt, std::string &line);

// Adds the line to the history that the arrow keys walk through.
void RememberLine(const std::string &line);

#endif
