// The terminal that standard input is, written to directly: the prompt and
// the echo of what is typed stay there when standard output and standard
// error are redirected.
#ifndef RPN_TERMINAL_H
#define RPN_TERMINAL_H

#include <cstdio>
#include <string>

class Terminal {
public:
    // Standard error when the terminal cannot be opened by name.
    Terminal();
    ~Terminal();
    Terminal(const Terminal &) = delete;
    Terminal &operator=(const Terminal &) = delete;

    std::FILE *stream() const { return stream_; }
    void Show(const std::string &text);

private:
    std::FILE *stream_;
    bool owned_;
};

// Whether `fd` is a terminal a person types at (on Windows, a console:
// the NUL device is a character device too, and not one).
bool IsTerminal(int fd);

#endif
