// What rpn says about itself: --help, --version and usage errors.
#ifndef RPN_USAGE_TEXT_H
#define RPN_USAGE_TEXT_H

#include <string>

void PrintHelp();
void PrintVersion();

// The short message for an unknown option, on standard error.
void PrintUsageError(const std::string &badOption);

#endif
