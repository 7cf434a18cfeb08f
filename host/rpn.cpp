// rpn: evaluates each argument through CalculatorRPN.
#include <kelvaro/calculator_rpn.h>

#include <cstring>
#include <string>

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        std::wstring expression;
        for (const char *p = argv[i]; *p != '\0'; ++p) {
            expression += static_cast<wchar_t>(static_cast<unsigned char>(*p));
        }
        CalculatorRPN(expression.c_str());
    }
    return 0;
}
