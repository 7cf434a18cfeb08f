// Reading standard input one line at a time.
#ifndef RPN_LINE_SOURCE_H
#define RPN_LINE_SOURCE_H

#include <string>

// Reads straight from a file descriptor rather than through stdio: a child
// process that flushes every stream on its way out must not be able to move
// the shared file offset of our input.
struct LineSource {
    int fd;
    std::string pending;
    bool atEnd;
    // A signal gives up on the line being read instead of reading on.
    bool stopOnSignal;
};

LineSource OpenLineSource(int fd, bool stopOnSignal = false);

// Stores the next line in `line` without its newline, and without a carriage
// return before the newline (CRLF files), or at the end of a last line that
// has no newline. Returns false when the input is exhausted, or when a signal
// interrupted the read and the source stops on signals.
bool ReadLine(LineSource &source, std::string &line);

#endif
