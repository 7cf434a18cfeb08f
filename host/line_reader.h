// Reading expressions one line at a time from a file descriptor.
#ifndef RPN_LINE_READER_H
#define RPN_LINE_READER_H

#include <cstddef>
#include <string_view>
#include <vector>

class LineReader {
public:
    enum class Result { kLine, kEnd, kError, kInterrupted };

    // With stopOnSignal, a signal that interrupts a read gives up on the
    // line (Ctrl-C at a prompt) instead of reading on.
    explicit LineReader(int fd, bool stopOnSignal = false);

    // Makes the first read fail with `error`, as reading a descriptor that
    // was never open does.
    void Break(int error);

    // `hook(context)` runs before every read that would wait for input: a
    // program that sends a line and waits for its answer must get it, and
    // input that is already there is read without it.
    void BeforeWaiting(void (*hook)(void *), void *context);

    // The next line without its newline, and without a carriage return
    // before it (CRLF files) or at the end of a last line that has no
    // newline. `line` stays valid until the next call. kError leaves the
    // reason in error().
    Result Next(std::string_view &line);

    int error() const { return error_; }

private:
    enum class Fill { kMore, kEnd, kError, kInterrupted };
    Fill ReadMore();
    bool InputWaiting() const;

    int fd_;
    bool stopOnSignal_;
    std::vector<char> data_;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    int error_ = 0;
    void (*beforeWaiting_)(void *) = nullptr;
    void *beforeWaitingContext_ = nullptr;
};

#endif
