#include "notation_table.h"

#include "value_format.h"

#include <kelvaro/rpn.h>

#include <cctype>

namespace {

// Six decimals, as the library writes values, without the zeros that only
// pad them: 8, 0.25, 0.785398.
std::string ShortDecimal(double value)
{
    char text[kValueTextSize];
    std::string decimal(text, FormatValue(value, ValueFormat{}, text));
    if (decimal.find('.') != std::string::npos) {
        decimal.erase(decimal.find_last_not_of('0') + 1);
        if (decimal.back() == '.') {
            decimal.pop_back();
        }
    }
    return decimal;
}

std::string WorkedExample(const char *example)
{
    const std::string text = example;
    kelvaro_rpn_outcome outcome{};
    if (kelvaro_rpn_evaluate(text.data(), text.size(), &outcome) != KELVARO_RPN_OK) {
        return "; '" + text + "' fails: " + kelvaro_rpn_status_name(outcome.status);
    }
    return "; '" + text + "' gives " + ShortDecimal(outcome.value);
}

}  // namespace

std::string DescribeNotation()
{
    std::size_t count = 0;
    const kelvaro_rpn_command *commands = kelvaro_rpn_commands(&count);
    std::string table;
    for (std::size_t i = 0; i < count; ++i) {
        const kelvaro_rpn_command &command = commands[i];
        // The separators have names instead of a visible byte.
        const bool visible = std::isgraph(static_cast<unsigned char>(command.byte)) != 0;
        table += "  ";
        table += visible ? command.byte : ' ';
        table += "  ";
        table += command.name;
        table += ": ";
        table += command.meaning;
        if (command.example[0] != '\0') {
            table += WorkedExample(command.example);
        }
        table += '\n';
    }
    return table;
}
