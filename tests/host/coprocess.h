// Drives rpn as another program does: sends a line, waits for the answer,
// sends the next one. Standard input stays open between lines.
#ifndef RPN_TESTS_COPROCESS_H
#define RPN_TESTS_COPROCESS_H

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

class Coprocess {
public:
    // Standard input is a pipe, or a pseudo-terminal without echo in line
    // mode; standard output and standard error are pipes.
    enum class Input { kPipe, kTerminal };

    Coprocess(const std::vector<std::string> &arguments, Input input);
    ~Coprocess();
    Coprocess(const Coprocess &) = delete;
    Coprocess &operator=(const Coprocess &) = delete;

    bool Send(const std::string &text) const;

    // The next `count` bytes of standard output or standard error, or
    // fewer when no more arrived within `patience`.
    std::string ReadOutput(std::size_t count, std::chrono::milliseconds patience);
    std::string ReadError(std::size_t count, std::chrono::milliseconds patience);

    // Ends the input (Ctrl-D on the terminal), collects what is left of
    // both streams and returns the exit status (-N for signal N).
    int Finish(std::string &restOut, std::string &restErr);

private:
    void EndInput();

    pid_t child_ = -1;
    Input input_;
    int in_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string pendingOut_;
    std::string pendingErr_;
};

#endif
