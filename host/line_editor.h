// The line editor seam: lines from a person at a terminal, through libedit's
// readline where it was found at build time, the terminal's own line
// discipline otherwise.
#ifndef RPN_LINE_EDITOR_H
#define RPN_LINE_EDITOR_H

#include <cstdio>
#include <string>
#include <vector>

enum class LineStatus { kLine, kInterrupted, kEnd, kError };

// Reads standard input and shows the prompt and what is typed on `screen`.
// `recalled`: the lines of earlier sessions, oldest first, for the arrow keys.
void StartLineEditor(std::FILE *screen, const std::vector<std::string> &recalled);
void StopLineEditor();

// Shows `prompt` and reads one line without its line end. kInterrupted:
// Ctrl-C abandoned the line; kEnd: Ctrl-D on an empty line or the end of
// input; kError: reading failed, with the reason in `error`.
LineStatus ReadInteractiveLine(const char *prompt, std::string &line, int &error);

// Adds the line to what the arrow keys walk through.
void RememberLine(const std::string &line);

#endif
