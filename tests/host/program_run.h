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

// Runs rpn with `arguments`, feeding `input` through a pipe on standard input
// (so standard input is never a terminal).
ProgramResult RunProgram(const std::vector<std::string> &arguments, const std::string &input = "");

// Runs rpn with standard input read from the file at `path`, which, unlike a
// pipe, can be sought in.
ProgramResult RunProgramOnFile(const std::vector<std::string> &arguments, const std::string &path);

#endif
