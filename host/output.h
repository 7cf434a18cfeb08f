// Where rpn writes, through stdio: standard output, whose write errors end
// rpn (status 3), and standard error, written when it can be.
#ifndef RPN_OUTPUT_H
#define RPN_OUTPUT_H

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

class Output {
public:
    // Points every closed standard descriptor at the null device first, so
    // that no file rpn opens later takes its number; writing to a closed
    // standard output is still a write error, reading a closed standard
    // input a read error.
    Output();

    void Out(std::string_view text)
    {
#ifdef __GLIBC__
        // putc_unlocked's own path for a whole line that fits in the buffer:
        // fwrite's checks cost more than the copy.
        if (stdout->_IO_write_end - stdout->_IO_write_ptr > static_cast<std::ptrdiff_t>(text.size()) &&
            !outputClosed_) {
            std::memcpy(stdout->_IO_write_ptr, text.data(), text.size());
            stdout->_IO_write_ptr += text.size();
            return;
        }
#endif
        if (outputClosed_ || std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
            StopOnWriteError();
        }
    }
    void Err(std::string_view text);
    // Before rpn waits for input: a program that sends a line and waits for
    // its answer must get it.
    void Flush();
    // An expression is done: at a terminal it is shown now.
    void ExpressionDone()
    {
        if (outTerminal_) {
            Flush();
        }
    }
    // Flushes and closes standard output (close reports late write errors
    // on some file systems) and returns `status`, or ends rpn.
    int Finish(int status);
    // Writes what is pending, then "rpn: MESSAGE" on standard error, and
    // ends rpn with status 3.
    [[noreturn]] void Stop(const std::string &message);

    bool inputClosed() const { return inputClosed_; }

private:
    // errno, or EBADF for a standard output that was closed.
    [[noreturn]] void StopOnWriteError() const;

    bool inputClosed_ = false;
    bool outputClosed_ = false;
    bool outTerminal_ = false;
    // stdout when both lead to the same file, so that the two kinds of line
    // keep their order there.
    std::FILE *err_ = stderr;
};

// Whether `fd` is a terminal a person types at (on Windows, a console: the
// NUL device is a character device too).
bool IsTerminal(int fd);

#endif
