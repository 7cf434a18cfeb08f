#include "options.h"

#include <cctype>
#include <cstring>

namespace {

bool LooksLikeOption(const char *argument)
{
    if (argument[0] != '-') {
        return false;
    }
    const auto next = static_cast<unsigned char>(argument[1]);
    return next == '-' || std::isalpha(next) != 0;
}

// Returns false when the option is unknown.
bool ApplyLongOption(const char *argument, Options &options)
{
    if (std::strcmp(argument, "--keep-going") == 0) {
        options.keepGoing = true;
    } else if (std::strcmp(argument, "--quiet") == 0) {
        options.quiet = true;
    } else if (std::strcmp(argument, "--help") == 0) {
        options.action = Action::kShowHelp;
    } else if (std::strcmp(argument, "--version") == 0) {
        options.action = Action::kShowVersion;
    } else {
        options.badOption = argument;
        options.action = Action::kUsageError;
        return false;
    }
    return true;
}

// Short options bundle: "-kq" is "-k -q".
bool ApplyShortOptions(const char *argument, Options &options)
{
    for (const char *letter = argument + 1; *letter != '\0'; ++letter) {
        switch (*letter) {
        case 'k': options.keepGoing = true; break;
        case 'q': options.quiet = true; break;
        case 'h': options.action = Action::kShowHelp; return true;
        default:
            options.badOption = std::string("-") + *letter;
            options.action = Action::kUsageError;
            return false;
        }
    }
    return true;
}

}  // namespace

Options ParseOptions(int argc, const char *const *argv)
{
    Options options{Action::kEvaluate, false, false, {}, {}};
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if (optionsEnded || !LooksLikeOption(argument)) {
            options.expressions.emplace_back(argument);
            continue;
        }
        if (std::strcmp(argument, "--") == 0) {
            optionsEnded = true;
            continue;
        }
        const bool known = argument[1] == '-' ? ApplyLongOption(argument, options)
                                              : ApplyShortOptions(argument, options);
        if (!known || options.action != Action::kEvaluate) {
            return options;
        }
    }
    return options;
}
