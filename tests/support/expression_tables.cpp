#include "support/expression_tables.h"

#include <algorithm>
#include <iterator>

namespace kelvaro_test {

const ValueCase kArithmetic[] = {
    {"3 4 +", "7.000000"},       {"5 3 -", "2.000000"},      {"3 4 *", "12.000000"},
    {"6 3 /", "2.000000"},       {"2 3 /", "0.666667"},      {"2 10 ^", "1024.000000"},
    {"7 4 %", "3.000000"},       {"-7 4 %", "-3.000000"},    {"7 -4 %", "3.000000"},
    {"7.5 2 %", "1.500000"},     {"2 0.5 ^", "1.414214"},    {"3 4 + 2 *", "14.000000"},
    {"1 2 3 4 + + +", "10.000000"}, {"10 2 8 * + 3 -", "23.000000"},
};

const ValueCase kNumbers[] = {
    {"1e3 1 +", "1001.000000"}, {"-2.5", "-2.500000"},  {"7.", "7.000000"},
    {"2.5x", "2.500000"},       {"12abc", "12.000000"}, {"1E2", "100.000000"},
    {"1e+2", "100.000000"},     {"1e-2", "0.010000"},   {"1e", "1.000000"},
    {"1e+", "1.000000"},        {"1ex", "1.000000"},    {"0x10", "0.000000"},
    {"-0", "-0.000000"},        {"00012", "12.000000"}, {"1.5e3.7", "1500.000000"},
    {"0.0000004", "0.000000"},  {"0.0000005", "0.000000"}, {"0.00000051", "0.000001"}, {"-0.0000001", "-0.000000"},
    {"123456789012345678901234567890", "123456789012345677877719597056.000000"},
    {"1e400", "inf"},           {"-1e400", "-inf"},     {"1e-400", "0.000000"},
    {"-1e-400", "-0.000000"},   {"0.000e999999", "0.000000"},
    {"1e99999999999999999999", "inf"}, {"1e-99999999999999999999", "0.000000"},
    {"4e-324 1e300 *", "0.000000"}, {"4e-324 1e300 * 1e24 *", "4.940656"},
    {"3e-324 1e300 * 1e24 *", "4.940656"}, {"2e-324", "0.000000"},
};

const ValueCase kScanning[] = {
    {"3 4", "4.000000"},        {"-5 3 +", "-2.000000"},    {"5 -3", "-3.000000"},
    {"3 4 +5", "7.000000"},     {"0 sin", "0.000000"},      {"3 4+", "4.000000"},
    {"3\t4 +", "7.000000"},     {"  3   4 +  ", "7.000000"}, {"3 4 +\n", "7.000000"},
    {"3 4 + \n", "7.000000"},   {"1 2 +x", "3.000000"},     {"12 3 -- ", "9.000000"},
    {"3 4\r", "4.000000"},      {"3 4 +\xff", "7.000000"},  {"1 2 3 xxx x", "1.000000"},
    {"2 3 ^abc", "8.000000"},   {"1-2", "1.000000"},        
};

const ValueCase kFunctions[] = {
    {"0 s", "0.000000"},    {"0 c", "1.000000"},    {"1 t", "1.557408"},
    {"1 S", "1.570796"},    {"1 C", "0.000000"},    {"1 T", "0.785398"},
    {"1 L", "2.718282"},    {"1 l", "0.000000"},    {"10 l", "2.302585"},
    {"p", "3.141500"},      {"p 2 *", "6.283000"},  {"p s", "0.000093"},
    {"1 0 /", "inf"},       {"-1 0 /", "-inf"},     {"0 0 /", "nan"},
    {"-1 l", "nan"},        {"2 S", "nan"},         {"0 l", "-inf"},
    {"1e308 10 *", "inf"},  {"1 0 / 0 *", "nan"},   {"0 0 / -1 *", "nan"},
    {"1 0 0 / %", "nan"},   {"-1 0.5 ^", "nan"},    {"1000 L", "inf"},
};

const ValueCase kFactorial[] = {
    {"0 !", "1.000000"},           {"1 !", "1.000000"},
    {"2 !", "2.000000"},           {"5 !", "120.000000"},
    {"12 !", "479001600.000000"},  {"13 !", "1932053504.000000"},
    {"17 !", "-288522240.000000"}, {"33 !", "-2147483648.000000"},
    {"34 !", "0.000000"},          {"3.9 !", "6.000000"},
    {"12.99 !", "479001600.000000"}, {"-4 !", "1.000000"},
    {"-3.9 !", "1.000000"},        {"2147483647 !", "0.000000"},
    {"2147483648 !", "0.000000"},  {"1e10 !", "0.000000"},
    {"-2147483649 !", "1.000000"}, {"-1e10 !", "1.000000"},
    {"0 0 / !", "1.000000"},       {"1 0 / !", "0.000000"},
    {"-1 0 / !", "1.000000"},      {"3 ! !", "720.000000"},
};

const ValueCase kStackCommands[] = {
    {"1 2 ]", "1.000000"}, {"1 2 x", "1.000000"}, {"1 3 ] -", "2.000000"},
    {"5 1 ] x", "1.000000"}, {"1 2 3 ] ] ]", "2.000000"},
};

const ListingCase kListings[] = {
    {"1 2 @", "\n---------\n2.000000\n1.000000\n---------\n", "2.000000"},
    {"@ 7", "\n---------\n---------\n", "7.000000"},
    {"1 2 + #", "Top of stack: 3.000000\n", "3.000000"},
    {"-1.5 # 2 #", "Top of stack: -1.500000\nTop of stack: 2.000000\n", "2.000000"},
    {"1 0 / # 0 0 / # -1 0 / @",
     "Top of stack: inf\nTop of stack: nan\n\n---------\n-inf\nnan\ninf\n---------\n", "-inf"},
    {"1e20 @", "\n---------\n100000000000000000000.000000\n---------\n", "100000000000000000000.000000"},
    {"1 2 ] @", "\n---------\n1.000000\n2.000000\n---------\n", "1.000000"},
};

// Failures: status, where the failing token starts, its byte (0 at the end
// of the text), and the legacy output up to and including the message.
const FailureCase kFailures[] = {
    {"3 4 ?", kInvalidCharacter, 4, '?', "Invalid character: '?'\n"},
    {".5", kInvalidCharacter, 0, '.', "Invalid character: '.'\n"},
    {"\t3", kInvalidCharacter, 0, '\t', "Invalid character: '\t'\n"},
    {"3 \t4 +", kInvalidCharacter, 2, '\t', "Invalid character: '\t'\n"},
    {"3 \r", kInvalidCharacter, 2, '\r', "Invalid character: '\r'\n"},
    {"\x80", kInvalidCharacter, 0, '\x80', "Invalid character: '\x80'\n"},
    {"1 \xe9", kInvalidCharacter, 2, '\xe9', "Invalid character: '\xe9'\n"},
    {"\xff", kInvalidCharacter, 0, '\xff', "Invalid character: '\xff'\n"},
    {"a", kInvalidCharacter, 0, 'a', "Invalid character: 'a'\n"},
    {"1 e", kInvalidCharacter, 2, 'e', "Invalid character: 'e'\n"},
    {"P", kInvalidCharacter, 0, 'P', "Invalid character: 'P'\n"},
    {"1 X", kInvalidCharacter, 2, 'X', "Invalid character: 'X'\n"},
    {"[", kInvalidCharacter, 0, '[', "Invalid character: '['\n"},
    {"'", kInvalidCharacter, 0, '\'', "Invalid character: '''\n"},
    {"1 2 + 3 ?x", kInvalidCharacter, 8, '?', "Invalid character: '?'\n"},
    {"1 2 @ 3 ?", kInvalidCharacter, 8, '?',
     "\n---------\n2.000000\n1.000000\n---------\nInvalid character: '?'\n"},
    {"", kStackUnderflow, 0, 0, kUnderflowLine},
    {"   ", kStackUnderflow, 3, 0, kUnderflowLine},
    {"\n", kStackUnderflow, 1, 0, kUnderflowLine},
    {"1 x", kStackUnderflow, 3, 0, kUnderflowLine},
    {"#", kStackUnderflow, 0, '#', kUnderflowLine},
    {"+", kStackUnderflow, 0, '+', kUnderflowLine},
    {"1 +", kStackUnderflow, 2, '+', kUnderflowLine},
    {"5 - 3", kStackUnderflow, 2, '-', kUnderflowLine},
    {"3\n4 +", kStackUnderflow, 4, '+', kUnderflowLine},
    {"1 -.5", kStackUnderflow, 2, '-', kUnderflowLine},
    {"1 ]", kStackUnderflow, 2, ']', kUnderflowLine},
    {"x", kStackUnderflow, 0, 'x', kUnderflowLine},
    {"s", kStackUnderflow, 0, 's', kUnderflowLine},
    {"!", kStackUnderflow, 0, '!', kUnderflowLine},
    {"+1 2", kStackUnderflow, 0, '+', kUnderflowLine},
    {"1 # x x", kStackUnderflow, 6, 'x', "Top of stack: 1.000000\nyou have a stack underflow!\n"},
};

namespace {

std::string Pushes(int count)
{
    std::string expression;
    for (int i = 0; i < count; ++i) {
        expression += "1 ";
    }
    return expression;
}

}  // namespace

const std::vector<OverflowCase> &OverflowCases()
{
    static const std::vector<OverflowCase> cases = {
        {"266 pushes", Pushes(kCapacity + 1), std::size_t{2} * kCapacity, '1', kOverflowLine},
        {"265 pushes then p", Pushes(kCapacity) + "# p", std::size_t{2} * kCapacity + 2, 'p',
         std::string("Top of stack: 1.000000\n") + kOverflowLine},
        {"-1 pushed onto 265", Pushes(kCapacity) + "-1", std::size_t{2} * kCapacity, '-', kOverflowLine},
    };
    return cases;
}

std::vector<ValueTable> ValueTables()
{
    return {
        {"Arithmetic", kArithmetic, std::size(kArithmetic)},
        {"Numbers", kNumbers, std::size(kNumbers)},
        {"Scanning", kScanning, std::size(kScanning)},
        {"Functions", kFunctions, std::size(kFunctions)},
        {"Factorial", kFactorial, std::size(kFactorial)},
        {"StackCommands", kStackCommands, std::size(kStackCommands)},
    };
}

std::vector<std::string> AllTableTexts()
{
    std::vector<std::string> texts;
    for (const ValueTable &table : ValueTables()) {
        for (std::size_t i = 0; i < table.count; ++i) {
            texts.emplace_back(table.cases[i].expression);
        }
    }
    const auto expression = [](const auto &c) { return std::string(c.expression); };
    const auto into = std::back_inserter(texts);
    std::transform(std::begin(kListings), std::end(kListings), into, expression);
    std::transform(std::begin(kFailures), std::end(kFailures), into, expression);
    const auto &overflows = OverflowCases();
    std::transform(overflows.begin(), overflows.end(), into, expression);
    return texts;
}

}  // namespace kelvaro_test
