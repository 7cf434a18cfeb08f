// Where rpn writes: standard output, whose failures end rpn, and standard
// error, which is written when it can be and never lets output through to
// standard output.
#ifndef RPN_OUTPUT_H
#define RPN_OUTPUT_H

#include "output_buffer.h"
#include "standard_descriptors.h"

#include <string>
#include <string_view>

class Output {
public:
    explicit Output(const StandardDescriptors &descriptors);

    // A failed write ends rpn at once: "rpn: write error: REASON" on
    // standard error and status 3.
    void ToStandardOutput(std::string_view text);
    // Dropped when standard error is closed or refuses it.
    void ToStandardError(std::string_view text);

    // Ends an expression: what a person is watching on a terminal is shown
    // now rather than when a buffer fills.
    void ExpressionDone();
    void FlushAll();

    // Flushes and closes standard output (close reports late write errors
    // on some file systems) and returns `status`, or ends rpn with a write
    // error.
    int Finish(int status);

    // Writes what is pending, then "rpn: MESSAGE" on standard error, and
    // ends rpn with status 3.
    [[noreturn]] void Stop(const std::string &message);

private:
    [[noreturn]] void StopOnWriteError(int error);
    void FlushStandardError();

    OutputBuffer out_;
    OutputBuffer err_;
    // &out_ when both descriptors lead to the same file, so that the two
    // kinds of line keep their order there; &err_ otherwise.
    OutputBuffer *errorLines_;
    bool errorUsable_;
    bool flushOutEachExpression_;
    bool flushErrEachExpression_;
};

#endif
