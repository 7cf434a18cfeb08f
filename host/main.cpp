// rpn: evaluates arithmetic in reverse Polish notation through the
// KelvaroRPN library, from arguments, files, piped lines or a terminal.
#include "batch.h"
#include "evaluation.h"
#include "exit_status.h"
#include "output.h"
#include "prompt.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unistd.h>

namespace {

enum class Flag { kKeepGoing, kQuiet, kKeepStack, kFile, kEach, kNoWarnings, kStrict, kDecimals, kShortest, kHelp, kVersion };

// The options, for the parser and the help alike; the manual page describes
// them in full.
struct OptionEntry {
    char letter;  // '\0': long form only
    const char *name;
    const char *value;  // what it takes, or nullptr
    Flag flag;
    const char *summary;
};

constexpr OptionEntry kOptions[] = {
    {'k', "keep-going", nullptr, Flag::kKeepGoing, "go on after a failing expression"},
    {'q', "quiet", nullptr, Flag::kQuiet, "standard output gets only each value"},
    {'s', "keep-stack", nullptr, Flag::kKeepStack, "carry the stack from one expression to the next"},
    {'f', "file", "FILE", Flag::kFile, "evaluate every line of FILE ('-': standard input)"},
    {'\0', "each", "FORMULA", Flag::kEach, "run FORMULA after every expression, on what it left"},
    {'\0', "no-warnings", nullptr, Flag::kNoWarnings, "do not write warnings"},
    {'\0', "strict", nullptr, Flag::kStrict, "a warning is an error: the expression does not run"},
    {'d', "decimals", "N", Flag::kDecimals, "write values with N digits after the point"},
    {'\0', "shortest", nullptr, Flag::kShortest, "write values as the shortest exact text"},
    {'h', "help", nullptr, Flag::kHelp, "show this help and exit"},
    {'\0', "version", nullptr, Flag::kVersion, "show the versions of rpn and of the library and exit"},
};

struct Options {
    Settings settings;
    bool keepGoing = false;
    bool help = false;
    bool version = false;
    std::vector<Source> sources;
    std::string error;  // a usage error, without "rpn: "
};

void Apply(Options &options, Flag flag, const char *value, int index)
{
    Settings &settings = options.settings;
    switch (flag) {
    case Flag::kKeepGoing: options.keepGoing = true; break;
    case Flag::kQuiet: settings.quiet = true; break;
    case Flag::kKeepStack: settings.keepStack = true; break;
    case Flag::kFile: options.sources.push_back({true, value, index}); break;
    case Flag::kEach: settings.formula = value; break;
    case Flag::kNoWarnings: settings.warnings = false; break;
    case Flag::kStrict: settings.strict = true; break;
    case Flag::kShortest: settings.format.shortest = true; break;
    case Flag::kHelp: options.help = true; break;
    case Flag::kVersion: options.version = true; break;
    case Flag::kDecimals:
        char *end = nullptr;
        const long decimals = std::strtol(value, &end, 10);
        if (!std::isdigit(static_cast<unsigned char>(*value)) || *end != '\0' || decimals > KELVARO_RPN_MAX_DECIMALS) {
            options.error = std::string("invalid number of decimals '") + value + "' (0 to " +
                            std::to_string(KELVARO_RPN_MAX_DECIMALS) + ")";
        }
        settings.format = ValueFormat{static_cast<int>(decimals), false};
        break;
    }
}

// Options may appear anywhere before "--". An argument is an option only if
// it starts with '-' followed by a letter or a second '-': "-5 3 +" and "-"
// are expressions. Short options bundle ("-kq"), and one that takes a value
// takes the rest of its bundle or the next argument ("-d3", "-d 3"); long
// ones "--decimals=3" or "--decimals 3". --help and --version act as soon
// as they are met; the first bad option is a usage error.
Options Parse(int argc, char **argv)
{
    Options options;
    bool ended = false;
    for (int i = 1; i < argc && options.error.empty() && !options.help && !options.version; ++i) {
        const char *argument = argv[i];
        if (ended || argument[0] != '-' || (argument[1] != '-' && !std::isalpha(static_cast<unsigned char>(argument[1])))) {
            options.sources.push_back({false, argument, i});
            continue;
        }
        ended = std::strcmp(argument, "--") == 0;
        const bool isLong = argument[1] == '-';
        // Each letter of a bundle in turn; a long option is one "letter".
        for (const char *at = argument + 1; !ended && *at != '\0' && options.error.empty() && !options.help;) {
            const char *equals = isLong ? std::strchr(argument, '=') : nullptr;
            const std::string name = isLong ? std::string(argument + 2, equals == nullptr ? std::strlen(argument + 2)
                                                                                          : static_cast<std::size_t>(equals - argument - 2))
                                            : std::string(1, *at);
            const OptionEntry *entry = nullptr;
            for (const OptionEntry &each : kOptions) {
                entry = (isLong ? name == each.name : *at == each.letter) ? &each : entry;
            }
            const std::string shown = (isLong ? "--" : "-") + name;
            const char *attached = isLong ? (equals == nullptr ? nullptr : equals + 1) : (at[1] == '\0' ? nullptr : at + 1);
            if (entry == nullptr || (isLong && equals != nullptr && entry->value == nullptr)) {
                options.error = "unknown option '" + (isLong ? std::string(argument) : shown) + "'";
            } else if (entry->value == nullptr) {
                Apply(options, entry->flag, nullptr, i);
            } else if (attached != nullptr ? *attached == '\0' : i + 1 >= argc) {
                options.error = "option '" + shown + "' needs an argument";
            } else {
                const char *value = attached != nullptr ? attached : argv[++i];
                Apply(options, entry->flag, value, i);
                break;
            }
            at = isLong ? "" : at + 1;
        }
    }
    return options;
}

std::string HelpText()
{
    std::string text =
        "Usage: rpn [OPTION]... [EXPRESSION]...\n"
        "Evaluate arithmetic in reverse Polish notation with the KelvaroRPN library:\n"
        "the EXPRESSIONs and the lines of each -f FILE in command-line order; without\n"
        "them, one expression per line of standard input, or, at a terminal, a prompt\n"
        "\"rpn> \" with line editing, history and a stack kept from line to line.\n"
        "The manual page rpn(1) describes every option, the prompt, the warnings and\n"
        "the history in full.\n\nOptions:\n";
    for (const OptionEntry &entry : kOptions) {
        std::string form = entry.letter != '\0' ? std::string("-") + entry.letter + ", --" : "    --";
        form += entry.name;
        form += entry.value != nullptr ? std::string("=") + entry.value : "";
        text += "  " + form + std::string(form.size() < 20 ? 20 - form.size() : 1, ' ') + entry.summary + "\n";
    }
    text += "  --                  end of options: every later argument is an expression\n"
            "\nNotation: a token starts at the beginning or after a space or tab, and only\n"
            "its first byte counts. a is the top of the stack, b the value below it:\n" +
            DescribeNotation() + "The value of an expression is the top of the stack at its end.\n\n" +
            PromptCommandsText() +
            "\nEnvironment: RPN_HISTFILE, the prompt's history file (empty: none);\n"
            "otherwise $XDG_STATE_HOME/rpn/history (~/.local/state/rpn/history).\n"
            "\nExit status:\n"
            "  0    every expression succeeded\n"
            "  1    \"Invalid character: 'c'\" or \"you have a stack underflow!\"\n"
            "  255  \"you have a stack overflow!\"\n"
            "  2    usage error\n"
            "  3    rpn failed: a write or read error, a file, the history\n"
            "  4    --strict: an expression had a warning and did not run\n"
            "  128+N  rpn was killed by signal N\n";
    return text;
}

int Run(int argc, char **argv)
{
    Output output;
    Options options = Parse(argc, argv);
    if (!options.error.empty()) {
        output.Err("rpn: " + options.error + "\n" + kUsageHint);
        return kExitUsage;
    }
    if (options.help || options.version) {
        output.Out(options.help ? HelpText()
                                : std::string("rpn ") + RPN_PROGRAM_VERSION + "\nKelvaroCalculatorRPN " +
                                      kelvaro_rpn_version() + "\n");
        return output.Finish(kExitSuccess);
    }
    // At the prompt rpn is a desk calculator: the stack stays.
    const bool interactive = options.sources.empty() && IsTerminal(STDIN_FILENO);
    Settings &settings = options.settings;
    settings.lineForEveryExpression = options.keepGoing || interactive;
    settings.keepStack = settings.keepStack || interactive;
    Evaluator evaluator(settings, output);
    const int formula = evaluator.CheckFormula();
    if (formula != kExitSuccess) {
        return formula;
    }
    return output.Finish(interactive ? RunPrompt(evaluator, output)
                                     : RunBatch(evaluator, output, options.sources, options.keepGoing));
}

}  // namespace

int main(int argc, char **argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc &) {
        std::fputs("rpn: out of memory\n", stderr);
        return kExitOwnFailure;
    }
}
