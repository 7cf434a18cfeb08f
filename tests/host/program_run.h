// Runs the built rpn as a subprocess and collects what it wrote.
#ifndef RPN_TESTS_PROGRAM_RUN_H
#define RPN_TESTS_PROGRAM_RUN_H

#include <string>
#include <vector>

struct ProgramResult {
    std::string out;
    std::string err;
    // The exit status, or -N when signal N ended the program.
    int status;
};

// What standard output is for the run.
enum class OutputTarget {
    kCaptured,    // a pipe the test reads
    kClosed,      // no descriptor 1 at all (>&-)
    kFull,        // /dev/full: every write fails with ENOSPC
    kReaderGone,  // a pipe whose reading end is already closed
    kSameAsError  // the pipe of standard error (2>&1)
};

struct ProgramSetup {
    std::vector<std::string> arguments;
    // Fed through a pipe on standard input, unless inputPath is set.
    std::string input;
    // Standard input opened from this path (a file, or a directory).
    std::string inputPath;
    // Once `input` is written the pipe stays open until rpn exits, as an
    // endless producer's would: a run that does not stop by itself hangs.
    bool inputNeverEnds = false;
    bool closeStandardInput = false;
    bool closeStandardError = false;
    OutputTarget out = OutputTarget::kCaptured;
    // SIGPIPE at its default action, which kills; otherwise ignored.
    bool brokenPipeKills = false;
};

ProgramResult RunProgram(const ProgramSetup &setup);

// Runs rpn with `arguments`, feeding `input` through a pipe on standard input
// (so standard input is never a terminal).
ProgramResult RunProgram(const std::vector<std::string> &arguments, const std::string &input = "");

// Runs rpn with standard input read from the file at `path`, which, unlike a
// pipe, can be sought in.
ProgramResult RunProgramOnFile(const std::vector<std::string> &arguments, const std::string &path);

#endif
