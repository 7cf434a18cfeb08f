// rpn: evaluates arithmetic in reverse Polish notation through the
// KelvaroRPN library, from arguments, files, piped lines or a terminal.
#include "batch.h"
#include "evaluation.h"
#include "exit_status.h"
#include "output.h"
#include "prompt.h"

#include <algorithm>
#include <cctype>
#include <iterator>
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
    const char *name;
    const char *value;  // what it takes, or nullptr
    const char *summary;
    Flag flag;
    char letter;  // '\0': long form only
};
// Where the help's summaries start.
constexpr std::size_t kSummaryColumn = 20;

constexpr OptionEntry kOptions[] = {
    {"keep-going", nullptr, "go on after a failing expression", Flag::kKeepGoing, 'k'},
    {"quiet", nullptr, "standard output gets only each value", Flag::kQuiet, 'q'},
    {"keep-stack", nullptr, "carry the stack from one expression to the next", Flag::kKeepStack, 's'},
    {"file", "FILE", "evaluate every line of FILE ('-': standard input)", Flag::kFile, 'f'},
    {"each", "FORMULA", "run FORMULA after every expression, on what it left", Flag::kEach, '\0'},
    {"no-warnings", nullptr, "do not write warnings", Flag::kNoWarnings, '\0'},
    {"strict", nullptr, "a warning is an error: the expression does not run", Flag::kStrict, '\0'},
    {"decimals", "N", "write values with N digits after the point", Flag::kDecimals, 'd'},
    {"shortest", nullptr, "write values as the shortest exact text", Flag::kShortest, '\0'},
    {"help", nullptr, "show this help and exit", Flag::kHelp, 'h'},
    {"version", nullptr, "show the versions of rpn and of the library and exit", Flag::kVersion, '\0'},
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
        if (std::isdigit(static_cast<unsigned char>(*value)) == 0 || *end != '\0' || decimals > KELVARO_RPN_MAX_DECIMALS) {
            options.error = std::string("invalid number of decimals '") + value + "' (0 to " +
                            std::to_string(KELVARO_RPN_MAX_DECIMALS) + ")";
        }
        settings.format = ValueFormat{static_cast<int>(decimals), false};
        break;
    }
}

// One option and its value, if it takes one: `attached` when the argument
// carried it ("-d3", "--decimals=3"), otherwise the next argument.
void Take(Options &options, const OptionEntry *entry, const std::string &shown, const char *attached, int argc,
          char **argv, int &index)
{
    if (entry == nullptr) {
        options.error = "unknown option '" + shown + "'";
    } else if (entry->value == nullptr) {
        Apply(options, entry->flag, "", index);
    } else if (attached != nullptr ? *attached == '\0' : index + 1 >= argc) {
        options.error = "option '" + shown + "' needs an argument";
    } else {
        const char *value = attached != nullptr ? attached : argv[++index];
        Apply(options, entry->flag, value, index);
    }
}

const OptionEntry *Find(std::string_view name, char letter)
{
    const auto *found = std::find_if(std::begin(kOptions), std::end(kOptions), [&](const OptionEntry &entry) {
        return letter != '\0' ? entry.letter == letter : name == entry.name;
    });
    return found == std::end(kOptions) ? nullptr : found;
}

// "--name", "--name=value" or "--name value".
void ParseLong(Options &options, int argc, char **argv, int &index)
{
    const char *argument = argv[index];
    const char *equals = std::strchr(argument, '=');
    const std::string name = equals == nullptr ? argument + 2 : std::string(argument + 2, equals);
    const OptionEntry *entry = Find(name, '\0');
    const bool known = entry != nullptr && (entry->value != nullptr || equals == nullptr);
    Take(options, known ? entry : nullptr, known ? "--" + name : argument, equals == nullptr ? nullptr : equals + 1,
         argc, argv, index);
}

// A bundle of letters, up to the first that takes a value: it takes the
// rest, or the next argument.
void ParseShort(Options &options, int argc, char **argv, int &index)
{
    const int at = index;
    for (const char *letter = argv[index] + 1; *letter != '\0' && index == at && options.error.empty() && !options.help;
         ++letter) {
        const OptionEntry *entry = Find("", *letter);
        Take(options, entry, std::string("-") + *letter, letter[1] == '\0' ? nullptr : letter + 1, argc, argv, index);
        if (entry != nullptr && entry->value != nullptr) {
            break;
        }
    }
}

// Options may appear anywhere before "--". An argument is an option only if
// it starts with '-' followed by a letter or a second '-': "-5 3 +" and "-"
// are expressions. --help and --version act as soon as they are met; the
// first bad option is a usage error.
Options Parse(int argc, char **argv)
{
    Options options;
    bool ended = false;
    for (int i = 1; i < argc && options.error.empty() && !options.help && !options.version; ++i) {
        const char *argument = argv[i];
        const bool isOption = argument[0] == '-' && (argument[1] == '-' || std::isalpha(static_cast<unsigned char>(argument[1])) != 0);
        if (ended || !isOption) {
            options.sources.push_back({false, argument, i});
        } else if (std::strcmp(argument, "--") == 0) {
            ended = true;
        } else if (argument[1] == '-') {
            ParseLong(options, argc, argv, i);
        } else {
            ParseShort(options, argc, argv, i);
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
        text += "  " + form + std::string(form.size() < kSummaryColumn ? kSummaryColumn - form.size() : 1, ' ') + entry.summary + "\n";
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
