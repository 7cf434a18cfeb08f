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

// The command line, walked one argument at a time.
struct Walk {
    int argc;
    const char *const *argv;
    int index;
    Options options;

    void Fail(const std::string &why)
    {
        if (options.action != Action::kUsageError) {
            options.usageError = why;
            options.action = Action::kUsageError;
        }
    }

    // The value of an option that needs one: `attached` when the argument
    // carried it, otherwise the next argument. Null (and a usage error)
    // when there is none.
    const char *TakeValue(const char *attached, const std::string &name)
    {
        if (attached != nullptr && *attached != '\0') {
            return attached;
        }
        if (index + 1 < argc) {
            return argv[++index];
        }
        Fail("option '" + name + "' needs an argument");
        return nullptr;
    }

    void SetDecimals(const char *text)
    {
        int decimals = 0;
        const char *p = text;
        for (; std::isdigit(static_cast<unsigned char>(*p)) != 0 && p - text < 3; ++p) {
            decimals = decimals * 10 + (*p - '0');
        }
        if (p == text || *p != '\0' || decimals > kMostDecimals) {
            Fail(std::string("invalid number of decimals '") + text + "' (0 to " +
                 std::to_string(kMostDecimals) + ")");
            return;
        }
        options.format.decimals = decimals;
        options.format.shortest = false;
    }

    void AddFile(const char *name)
    {
        options.sources.push_back({Source::Kind::kFile, name, index});
    }

    void ApplyLong(const char *argument)
    {
        const char *equals = std::strchr(argument, '=');
        const std::string name(argument, equals == nullptr ? std::strlen(argument)
                                                           : static_cast<std::size_t>(equals - argument));
        const char *attached = equals == nullptr ? nullptr : equals + 1;
        if (name == "--file" || name == "--decimals" || name == "--each") {
            if (attached != nullptr && *attached == '\0') {
                Fail("option '" + name + "' needs an argument");
                return;
            }
            const char *value = TakeValue(attached, name);
            if (value == nullptr) {
                return;
            }
            if (name == "--file") {
                AddFile(value);
            } else if (name == "--each") {
                options.each = value;
            } else {
                SetDecimals(value);
            }
            return;
        }
        if (equals != nullptr || !ApplyLongFlag(name)) {
            Fail(std::string("unknown option '") + argument + "'");
        }
    }

    // Returns false when the option is unknown.
    bool ApplyLongFlag(const std::string &name)
    {
        if (name == "--keep-going") {
            options.keepGoing = true;
        } else if (name == "--quiet") {
            options.quiet = true;
        } else if (name == "--keep-stack") {
            options.keepStack = true;
        } else if (name == "--no-warnings") {
            options.warnings = false;
        } else if (name == "--strict") {
            options.strict = true;
        } else if (name == "--shortest") {
            options.format.shortest = true;
        } else if (name == "--help") {
            options.action = Action::kShowHelp;
        } else if (name == "--version") {
            options.action = Action::kShowVersion;
        } else {
            return false;
        }
        return true;
    }

    void ApplyShort(const char *argument)
    {
        for (const char *letter = argument + 1; *letter != '\0'; ++letter) {
            switch (*letter) {
            case 'k': options.keepGoing = true; break;
            case 'q': options.quiet = true; break;
            case 's': options.keepStack = true; break;
            case 'h': options.action = Action::kShowHelp; return;
            case 'f':
            case 'd': {
                const std::string name = std::string("-") + *letter;
                const char *value = TakeValue(letter + 1, name);
                if (value != nullptr && *letter == 'f') {
                    AddFile(value);
                } else if (value != nullptr) {
                    SetDecimals(value);
                }
                return;
            }
            default: Fail(std::string("unknown option '-") + *letter + "'"); return;
            }
        }
    }
};

}  // namespace

Options ParseOptions(int argc, const char *const *argv)
{
    Walk walk{argc, argv, 1, Options{}};
    bool optionsEnded = false;
    for (; walk.index < argc; ++walk.index) {
        const char *argument = argv[walk.index];
        if (optionsEnded || !LooksLikeOption(argument)) {
            walk.options.sources.push_back({Source::Kind::kExpression, argument, walk.index});
            continue;
        }
        if (std::strcmp(argument, "--") == 0) {
            optionsEnded = true;
            continue;
        }
        if (argument[1] == '-') {
            walk.ApplyLong(argument);
        } else {
            walk.ApplyShort(argument);
        }
        if (walk.options.action != Action::kEvaluate) {
            break;
        }
    }
    return walk.options;
}
