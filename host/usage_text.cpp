#include "usage_text.h"

#include <kelvaro/calculator_rpn.h>

#include <cstdio>

namespace {

// Every example in the command table is checked against the library by the
// host tests: keep the form '<expression>' gives <value>.
constexpr char kHelp[] =
    "Usage: rpn [OPTION]... [EXPRESSION]...\n"
    "Evaluate arithmetic in reverse Polish notation with the KelvaroCalculatorRPN\n"
    "library.\n"
    "\n"
    "With EXPRESSIONs, rpn evaluates each one in order. Without them it reads one\n"
    "expression per line from standard input (empty lines are skipped; CRLF line\n"
    "ends are fine), or, when standard input is a terminal, starts an interactive\n"
    "session: a prompt \"rpn> \", line editing and history. There every line runs\n"
    "on its own, so a failing line prints its message and \"[exit status N]\" on\n"
    "standard error and the session goes on. Ctrl-C abandons the line being\n"
    "typed; \"quit\" or Ctrl-D ends the session.\n"
    "\n"
    "Standard output carries exactly what the library prints: any listing the\n"
    "expression asks for, then \"result = VALUE\". An error prints its message and\n"
    "ends rpn there with the library's exit status.\n"
    "\n"
    "Options:\n"
    "  -k, --keep-going  evaluate every expression in a process of its own, so an\n"
    "                    error prints its message and the next expression still runs\n"
    "  -q, --quiet       standard output gets only each VALUE, one line per\n"
    "                    expression; what the library prints goes to standard error\n"
    "  -h, --help        show this help and exit\n"
    "      --version     show the versions of rpn and of the library and exit\n"
    "  --                end of options: every later argument is an expression\n"
    "An argument is an option only if it starts with '-' followed by a letter or a\n"
    "second '-'; so '-5 3 +' is an expression.\n"
    "\n"
    "Notation: numbers and one-character commands. A token starts at the beginning\n"
    "of the expression or after a space or tab, and only its first byte counts:\n"
    "'sin' is 's', and in '3 4+' the '+' is skipped. Numbers look like 12, 2.5,\n"
    "-4 or 1e3 (a '-' directly before a digit is a sign, not subtraction).\n"
    "\n"
    "  +  add                           '3 4 +'      gives 7\n"
    "  -  subtract                      '5 3 -'      gives 2\n"
    "  *  multiply                      '6 7 *'      gives 42\n"
    "  /  divide                        '1 4 /'      gives 0.25\n"
    "  %  remainder, with the left sign '-7 4 %'     gives -3\n"
    "  ^  power                         '2 10 ^'     gives 1024\n"
    "  s  sine (radians)                'p 2 / s'    gives 1\n"
    "  c  cosine                        '0 c'        gives 1\n"
    "  t  tangent                       '1 T t'      gives 1\n"
    "  S  arcsine                       '1 S'        gives 1.570796\n"
    "  C  arccosine                     '1 C'        gives 0\n"
    "  T  arctangent                    '1 T'        gives 0.785398\n"
    "  l  natural logarithm             '100 l'      gives 4.605170\n"
    "  L  exponential, e to the power   '1 L'        gives 2.718282\n"
    "  !  factorial of the integer part '5.7 !'      gives 120\n"
    "     (32-bit arithmetic: wraps above 12)\n"
    "  p  the constant 3.1415 (not pi)  'p 2 *'      gives 6.283\n"
    "  ]  exchange the top two values   '1 2 ] -'    gives 1\n"
    "  x  drop the top value            '1 2 x'      gives 1\n"
    "  #  print \"Top of stack: VALUE\"   '1 2 + #'    gives 3\n"
    "  @  print the stack, top first    '1 2 @'      gives 2\n"
    "The value of an expression is the top of the stack at its end.\n"
    "\n"
    "Exit status:\n"
    "  0    every expression succeeded\n"
    "  1    \"Invalid character: 'c'\" or \"you have a stack underflow!\"\n"
    "  255  \"you have a stack overflow!\" (more than 265 values)\n"
    "  2    usage error (unknown option)\n"
    "  3    the system refused a process or a descriptor\n"
    "With --keep-going, the status of the first expression that failed. An\n"
    "interactive session ends with 0.\n";

}  // namespace

void PrintHelp()
{
    std::fputs(kHelp, stdout);
}

void PrintVersion()
{
    std::printf("rpn %s\nKelvaroCalculatorRPN %s\n", RPN_PROGRAM_VERSION, KELVARO_RPN_VERSION);
}

void PrintUsageError(const std::string &badOption)
{
    std::fprintf(stderr,
                 "rpn: unknown option '%s'\n"
                 "Try 'rpn --help' for more information.\n",
                 badOption.c_str());
}
