// The command line of rpn.
#ifndef RPN_OPTIONS_H
#define RPN_OPTIONS_H

#include "value_format.h"

#include <optional>
#include <string>
#include <vector>

enum class Action { kEvaluate, kShowHelp, kShowVersion, kUsageError };

// An expression argument or a file of expression lines (-f), in command-line
// order.
struct Source {
    enum class Kind { kExpression, kFile } kind;
    // The expression, or the file's name ("-" is standard input).
    std::string text;
    // Where the argument stands on the command line, as the shell's $N.
    int argumentNumber;
};

struct Options {
    Action action = Action::kEvaluate;
    bool keepGoing = false;
    bool quiet = false;
    bool keepStack = false;
    // --no-warnings turns them off.
    bool warnings = true;
    bool strict = false;
    // The --each formula; of several, the last one counts.
    std::optional<std::string> each;
    ValueFormat format;
    std::vector<Source> sources;
    // What was wrong when action is kUsageError, without "rpn: ".
    std::string usageError;
};

// Options may appear anywhere before "--". An argument is an option only if
// it starts with '-' followed by a letter or a second '-'; anything else,
// such as "-5 3 +" or "-", is an expression. Short options bundle ("-kq"),
// and one that takes a value takes the rest of its bundle or the next
// argument ("-d3", "-d 3"); long ones take "--decimals=3" or "--decimals 3".
// --help and --version act as soon as they are met; the first bad option is
// a usage error.
Options ParseOptions(int argc, const char *const *argv);

#endif
