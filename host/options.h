// The command line of rpn.
#ifndef RPN_OPTIONS_H
#define RPN_OPTIONS_H

#include <string>
#include <vector>

enum class Action { kEvaluate, kShowHelp, kShowVersion, kUsageError };

struct Options {
    Action action;
    bool keepGoing;
    bool quiet;
    std::vector<std::string> expressions;
    // The offending argument when action is kUsageError.
    std::string badOption;
};

// Options may appear anywhere before "--". An argument is an option only if
// it starts with '-' followed by a letter or a second '-'; anything else,
// such as "-5 3 +" or "-", is an expression. --help and --version act as
// soon as they are met; the first unknown option is a usage error.
Options ParseOptions(int argc, const char *const *argv);

#endif
