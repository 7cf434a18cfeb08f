#include "usage_text.h"

#include "notation_table.h"
#include "undo_history.h"

#include <kelvaro/rpn.h>

#include <vector>

namespace {

#define RPN_TEXT_OF(number) #number
#define RPN_TEXT(number) RPN_TEXT_OF(number)

constexpr char kIntroduction[] =
    "Usage: rpn [OPTION]... [EXPRESSION]...\n"
    "Evaluate arithmetic in reverse Polish notation with the KelvaroRPN library.\n"
    "\n"
    "rpn evaluates the EXPRESSIONs and the lines of each -f FILE in command-line\n"
    "order. Without either, it reads one expression per line from standard input\n"
    "or, when standard input is a terminal, starts an interactive session with a\n"
    "prompt \"rpn> \", line editing and history: a desk calculator, whose stack is\n"
    "kept from line to line and shown after each one, with clear, undo, redo and\n"
    "stack as commands; type \"help\" there. In a file or on standard input a CR\n"
    "before the newline is dropped, a last line without a newline counts and empty\n"
    "lines are skipped.\n"
    "\n"
    "Standard output gets the library's lines: any listing the expression asks\n"
    "for, then \"result = VALUE\". A failing expression prints the library's message\n"
    "there instead, and on standard error where it failed:\n"
    "  rpn: FILE:LINE:COLUMN: invalid character '?'   (FILE '-': standard input)\n"
    "  rpn: argument N:COLUMN: stack underflow        (the Nth argument, as $N)\n"
    "Then rpn ends, with the library's exit status. At the prompt the session\n"
    "goes on, and a caret on standard error points at the failing byte.\n"
    "\n"
    "Before it runs, each expression is checked for what it probably does not\n"
    "mean, and standard error gets a warning for each finding (standard output\n"
    "stays as it is):\n"
    "  rpn: argument 1:4: warning: 'qrt' after 's' is skipped (only a token's\n"
    "       first byte counts)\n"
    "  rpn: -:2:4: warning: 'x' after the number 2.5 is skipped (a number ends at\n"
    "       its last digit)\n"
    "  rpn: -:3:6: warning: 2 values are left below the result   (not with -s\n"
    "       or at the prompt, which keep the stack)\n"
    "\n"
    "Options:\n"
    "  -k, --keep-going    go on after a failing expression\n"
    "  -q, --quiet         standard output gets only each VALUE, one line per\n"
    "                      expression (an empty line for one that failed, with -k\n"
    "                      and at the prompt), and no result line is written; the\n"
    "                      listings of # and @, failure messages and warnings go\n"
    "                      to standard error\n"
    "  -s, --keep-stack    carry the stack over from one expression to the next, as\n"
    "                      the prompt always does; a failing expression leaves it\n"
    "                      as it was, and one that leaves it empty prints \"stack\n"
    "                      empty\" instead of a result line (with -q, an empty line)\n"
    "  -f, --file=FILE     evaluate every line of FILE ('-': standard input)\n"
    "      --each=FORMULA  after every expression run FORMULA on what it left, as\n"
    "                      if it followed the expression after a space:\n"
    "                      --each '9 * 5 / 32 +' turns Celsius into Fahrenheit; a\n"
    "                      failure in it is 'rpn: PLACE: --each:COLUMN: ...', an\n"
    "                      invalid character in it a usage error\n"
    "      --no-warnings   do not write warnings\n"
    "      --strict        do not run an expression that has a warning: it fails\n"
    "                      with status 4 and its warnings say 'error:' (nothing on\n"
    "                      standard output; with -q and -k an empty line)\n"
    "  -d, --decimals=N    write values with N digits after the point, 0 to "
    RPN_TEXT(KELVARO_RPN_MAX_DECIMALS) "\n"
    "                      (6, the library's \"%f\", unless asked)\n"
    "      --shortest      write values as the shortest text that reads back as\n"
    "                      the same double: '0.1 0.2 +' gives 0.30000000000000004\n"
    "  -h, --help          show this help and exit\n"
    "      --version       show the versions of rpn and of the library and exit\n"
    "  --                  end of options: every later argument is an expression\n"
    "An argument is an option only if it starts with '-' followed by a letter or a\n"
    "second '-'; so '-5 3 +' is an expression. Of -d and --shortest the last one\n"
    "counts, and of several --each the last one.\n"
    "\n"
    "Notation: numbers and one-byte commands. A token starts at the beginning of\n"
    "the expression or after a space or tab, and only its first byte counts: 'sin'\n"
    "is 's', and in '3 4+' the '+' is skipped. Numbers look like 12, 2.5, -4 or\n"
    "1e3 (a '-' directly before a digit is a sign). In the table a is the top of\n"
    "the stack and b the value below it; the stack holds 265 values.\n"
    "\n";

constexpr char kValueOfExpression[] =
    "The value of an expression is the top of the stack at its end.\n"
    "\n";

struct PromptEntry {
    const char *keys;
    std::string meaning;
};

// The prompt's commands, for --help and for "help" at the prompt.
std::vector<PromptEntry> PromptEntries()
{
    return {
        {"help", "the notation and these commands"},
        {"stack", "every value on a line of its own, the top last as 1:"},
        {"clear", "empty the stack"},
        {"undo", "the stack before the last line that changed it (up to " +
                     std::to_string(kUndoLevels) + " times)"},
        {"redo", "take back the last undo"},
        {"quit, exit", "end the session, as Ctrl-D does"},
        {"Ctrl-C", "abandon the line being typed"},
    };
}

std::string PromptCommandsText()
{
    constexpr std::size_t kKeysWidth = 12;
    std::string text =
        "At the prompt the stack is kept from line to line and shown after each one,\n"
        "the newest value last. A line that is one of these words alone is a command;\n"
        "any other line, such as 'clear 3', is an expression:\n";
    for (const PromptEntry &entry : PromptEntries()) {
        const std::string keys = entry.keys;
        text += "  " + keys + std::string(kKeysWidth - keys.size(), ' ') + entry.meaning + "\n";
    }
    return text;
}

constexpr char kPromptOptions[] =
    "Options that change what the prompt shows (see rpn --help): -q, values alone\n"
    "on standard output; -d N and --shortest, how values are written, on the\n"
    "stack line too; --each FORMULA, run after every line; --no-warnings; --strict.\n";

constexpr char kClosing[] =
    "\n"
    "Environment:\n"
    "  RPN_HISTFILE    the prompt's history file; set and empty, or /dev/null:\n"
    "                  keep no history\n"
    "  XDG_STATE_HOME  otherwise history goes to $XDG_STATE_HOME/rpn/history\n"
    "                  (~/.local/state/rpn/history when unset)\n"
    "\n"
    "Exit status:\n"
    "  0    every expression succeeded; the prompt was left with quit or Ctrl-D\n"
    "  1    \"Invalid character: 'c'\" or \"you have a stack underflow!\"\n"
    "  255  \"you have a stack overflow!\" (more than 265 values)\n"
    "  2    usage error: an unknown option or a bad value\n"
    "  3    rpn failed: a write or read error, a file that does not open, a\n"
    "       history that cannot be kept\n"
    "  4    --strict: an expression had a warning and did not run\n"
    "  128+N  rpn was killed by signal N (141: SIGPIPE, its reader went away)\n"
    "With --keep-going, the status of the first expression that failed.\n";

}  // namespace

std::string HelpText()
{
    return kIntroduction + DescribeNotation() + kValueOfExpression + PromptCommandsText() +
           kClosing;
}

std::string PromptHelpText()
{
    return PromptCommandsText() + kPromptOptions;
}

std::string VersionText()
{
    return std::string("rpn ") + RPN_PROGRAM_VERSION + "\nKelvaroCalculatorRPN " +
           kelvaro_rpn_version() + "\n";
}

std::string UsageHint()
{
    return "Try 'rpn --help' for more information.\n";
}

std::string UsageErrorText(const std::string &why)
{
    return "rpn: " + why + "\n" + UsageHint();
}
