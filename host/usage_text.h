// What rpn says about itself: --help, --version and usage errors.
#ifndef RPN_USAGE_TEXT_H
#define RPN_USAGE_TEXT_H

#include <string>

std::string HelpText();

// What "help" at the prompt says after the notation: the prompt's own
// commands and the options that change what it shows.
std::string PromptHelpText();
std::string VersionText();

// The line after a usage error: where to read more.
std::string UsageHint();

// "rpn: WHY" and where to read more, for standard error.
std::string UsageErrorText(const std::string &why);

#endif
