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
    // Points closed standard descriptors at the null device, so that no file
    // rpn opens takes their number; using them is still an error.
    Output();

    void Out(std::string_view text)
    {
#ifdef __GLIBC__
        // A line that fits goes straight into the buffer: fwrite's checks
        // cost more than the copy.
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
    // Before rpn waits for input: a coprocess waits for its answer.
    void Flush();
    // At a terminal an expression's lines are shown as soon as it is done.
    void ExpressionDone()
    {
        if (outTerminal_) {
            Flush();
        }
    }
    // Closes standard output (some file systems report write errors only
    // then) and returns `status`, or ends rpn.
    int Finish(int status);
    // What is pending, then "rpn: MESSAGE" on standard error; status 3.
    [[noreturn]] void Stop(const std::string &message);

    bool inputClosed() const { return inputClosed_; }

private:
    [[noreturn]] void StopOnWriteError() const;

    bool inputClosed_ = false;
    bool outputClosed_ = false;
    bool outTerminal_ = false;
};

// Whether `fd` is a terminal a person types at (on Windows, a console: the
// NUL device is a character device too).
bool IsTerminal(int fd);

#endif
