// Lines typed at the prompt, through libedit's readline.
#ifndef RPN_LINE_EDITOR_H
#define RPN_LINE_EDITOR_H

#include <cstdio>
#include <string>
#include <vector>

enum class LineStatus { kLine, kInterrupted, kEnd, kError };

// Reads standard input, shows the prompt and the keys on `screen`;
// `recalled`: earlier sessions' lines, oldest first, for the arrow keys.
void StartLineEditor(std::FILE *screen, const std::vector<std::string> &recalled);

// One line without its end. kInterrupted: Ctrl-C abandoned it; kEnd: Ctrl-D
// on an empty line, or the end of input; kError: `error` says why.
LineStatus ReadInteractiveLine(const char *prompt, std::string &line, int &error);

// Adds the line to what the arrow keys walk through.
void RememberLine(const std::string &line);

#endif
