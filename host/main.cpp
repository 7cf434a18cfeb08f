// rpn: evaluates arithmetic in reverse Polish notation through the
// KelvaroRPN library, from arguments, files, piped lines or a terminal.
#include "batch.h"
#include "evaluation.h"
#include "exit_status.h"
#include "output.h"
#ifdef RPN_PROMPT
#include "prompt.h"
#endif

#include <algorithm>
#include <cctype>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <climits>
#include <getopt.h>
#include <new>
#include <unistd.h>

namespace {

enum class Flag { kKeepGoing, kQuiet, kKeepStack, kFile, kNoWarnings, kStrict, kDecimals, kShortest, kHelp, kVersion };

// For the parser and the help alike; the manual page describes them in full.
struct OptionEntry {
    const char *name;
    const char *value;  // what it takes, or nullptr
    const char *summary;
    Flag flag;
    char letter;  // '\0': long form only
};
constexpr std::size_t kSummaryColumn = 20;  // where the help's summaries start

constexpr OptionEntry kOptions[] = {
    {"keep-going", nullptr, "go on after a failing expression", Flag::kKeepGoing, 'k'},
    {"quiet", nullptr, "standard output gets only each value", Flag::kQuiet, 'q'},
    {"keep-stack", nullptr, "carry the stack from one expression to the next", Flag::kKeepStack, 's'},
    {"file", "FILE", "evaluate every line of FILE ('-': standard input)", Flag::kFile, 'f'},
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

// An argument is an option only if it starts with '-' followed by a letter
// or a second '-': "-5 3 +" and "-" are expressions.
bool IsOption(const char *argument)
{
    return argument[0] == '-' && (argument[1] == '-' || std::isalpha(static_cast<unsigned char>(argument[1])) != 0);
}

// The entry a letter ("-k") or a long name stands for; a long name may be
// cut short. getopt_long's answers alone do not say it: for "--quiet=yes"
// glibc's is '?' and mingw's ':'.
const OptionEntry *EntryNamed(const std::string &name, bool isLong)
{
    return std::find_if(std::begin(kOptions), std::end(kOptions), [&](const OptionEntry &each) {
        return isLong ? std::strncmp(each.name, name.c_str() + 2, name.size() - 2) == 0
                      : name[1] == each.letter && each.letter != '\0';
    });
}

// One answer of getopt_long: `argument` is the one it read (a bundle of
// letters until its last), `optionValue` its optarg and `value` the text
// that stands for it on the command line.
void Take(Options &options, int code, const char *argument, const char *optionValue, const char *value, int index)
{
    const bool isLong = std::strncmp(argument, "--", 2) == 0;
    const bool refused = code == '?' || code == ':';
    const std::string name = isLong ? std::string(argument, std::strcspn(argument, "="))
                                    : std::string("-") + static_cast<char>(refused ? optopt : code);
    const OptionEntry *entry = EntryNamed(name, isLong);
    const bool takesValue = entry != std::end(kOptions) && entry->value != nullptr;
    if (code == 1) {
        options.sources.push_back({false, argument, index});
    } else if (takesValue && (code == ':' || (!refused && *optionValue == '\0'))) {
        options.error = "option '" + name + "' needs an argument";
    } else if (refused) {
        options.error = "unknown option '" + (isLong ? std::string(argument) : name) + "'";
    } else {
        Apply(options, entry->flag, value, index);
    }
}

// getopt_long in order, options anywhere before "--", an expression that
// starts with '-' hidden from it. --help and --version act when met; the
// first bad option is a usage error.
Options Parse(int argc, char **argv)
{
    char hidden[] = "expression";  // what getopt_long sees of an expression
    std::vector<char *> arguments(argv, argv + argc + 1);
    for (int i = 1; i < argc; ++i) {
        arguments[i] = IsOption(argv[i]) ? argv[i] : hidden;
    }
    std::string letters = "-:";
    std::vector<option> longOptions;
    for (const OptionEntry &entry : kOptions) {
        // A long-only option's code is its place in the table, past any byte.
        const int code = entry.letter != '\0' ? entry.letter : static_cast<int>(&entry - kOptions) + UCHAR_MAX + 1;
        longOptions.push_back({entry.name, entry.value != nullptr ? required_argument : no_argument, nullptr, code});
        letters += entry.letter != '\0' ? std::string(1, entry.letter) + (entry.value != nullptr ? ":" : "") : "";
    }
    longOptions.push_back({});
    Options options;
    opterr = 0;
    const auto going = [&options] { return options.error.empty() && !options.help && !options.version; };
    while (going()) {
        const char *argument = argv[optind < argc ? optind : argc - 1];
        const int code = getopt_long(argc, arguments.data(), letters.c_str(), longOptions.data(), nullptr);
        if (code == -1) {
            break;
        }
        Take(options, code, argument, optarg, optarg == hidden ? argv[optind - 1] : optarg, optind - 1);
    }
    for (int i = optind; i < argc && going(); ++i) {
        options.sources.push_back({false, argv[i], i});
    }
    return options;
}

// A line per command of the library's table: "  +  add: b + a; '5 3 +' gives 8".
std::string DescribeNotation()
{
    std::size_t count = 0;
    const kelvaro_rpn_command *commands = kelvaro_rpn_commands(&count);
    std::string table;
    for (std::size_t i = 0; i < count; ++i) {
        const kelvaro_rpn_command &command = commands[i];
        // The separators have names instead of a visible byte.
        const bool visible = command.byte > ' ' && command.byte <= '~';
        table += std::string("  ") + (visible ? command.byte : ' ') + "  " + command.name + ": " + command.meaning;
        if (command.example[0] != '\0') {  // each succeeds, as the help's test checks
            kelvaro_rpn_outcome outcome{};
            (void)kelvaro_rpn_evaluate(command.example, std::strlen(command.example), &outcome);
            table += std::string("; '") + command.example + "' gives " + ValueText(outcome.value, ValueFormat{0, true});
        }
        table += '\n';
    }
    return table;
}

std::string HelpText()
{
    std::string text =
        "Usage: rpn [OPTION]... [EXPRESSION]...\n"
        "Evaluate arithmetic in reverse Polish notation with the KelvaroRPN library:\n"
        "the EXPRESSIONs and the lines of each -f FILE in command-line order; without\n"
#ifndef RPN_PROMPT
        "them, one expression per line of standard input, a terminal's too.\n"
#else
        "them, one expression per line of standard input, or, at a terminal, a prompt\n"
        "\"rpn> \" with line editing, history and a stack kept from line to line.\n"
        "The manual page rpn(1) describes every option, the prompt, the warnings and\n"
        "the history in full.\n"
#endif
        "\nOptions:\n";
    for (const OptionEntry &entry : kOptions) {
        std::string form = entry.letter != '\0' ? std::string("-") + entry.letter + ", --" : "    --";
        form += entry.name;
        form += entry.value != nullptr ? std::string("=") + entry.value : "";
        text += "  " + form + std::string(form.size() < kSummaryColumn ? kSummaryColumn - form.size() : 1, ' ') + entry.summary + "\n";
    }
    text += "  --                  end of options: every later argument is an expression\n"
            "\nNotation: a token starts at the beginning or after a space or tab, and only\n"
            "its first byte counts. a is the top of the stack, b the value below it:\n" +
            DescribeNotation() + "The value of an expression is the top of the stack at its end.\n";
#ifdef RPN_PROMPT
    text += "\n" + PromptCommandsText() +
            "\nEnvironment: RPN_HISTFILE, the prompt's history file (empty: none);\n"
            "otherwise $XDG_STATE_HOME/rpn/history (~/.local/state/rpn/history).\n";
#endif
    return text +
           "\nExit status:\n"
           "  0    every expression succeeded\n"
           "  1    \"Invalid character: 'c'\" or \"you have a stack underflow!\"\n"
           "  255  \"you have a stack overflow!\"\n"
           "  2    usage error\n"
           "  3    rpn failed: a write or read error, a file, the history\n"
           "  4    --strict: an expression had a warning and did not run\n"
           "  128+N  rpn was killed by signal N\n";
}

int Run(int argc, char **argv)
{
    Output output;
    Options options = Parse(argc, argv);
    if (!options.error.empty()) {
        output.Err("rpn: " + options.error + "\nTry 'rpn --help' for more information.\n");
        return kExitUsage;
    }
    if (options.help || options.version) {
        output.Out(options.help ? HelpText()
                                : std::string("rpn ") + RPN_PROGRAM_VERSION + "\nKelvaroCalculatorRPN " +
                                      kelvaro_rpn_version() + "\n");
        return output.Finish(kExitSuccess);
    }
    Settings &settings = options.settings;
#ifdef RPN_PROMPT
    // At the prompt rpn is a desk calculator: the stack stays.
    if (options.sources.empty() && IsTerminal(STDIN_FILENO)) {
        settings.lineForEveryExpression = settings.keepStack = true;
        Evaluator evaluator(settings, output);
        return output.Finish(RunPrompt(evaluator, output, HelpText()));
    }
#endif
    settings.lineForEveryExpression = options.keepGoing;
    Evaluator evaluator(settings, output);
    return output.Finish(RunBatch(evaluator, output, options.sources, options.keepGoing));
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
