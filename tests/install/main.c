/* Evaluates one expression through the installed library and checks the
 * returned text. Plain C, to show the header serves C hosts too; .ci builds it
 * once more as C++. */
#include <kelvaro/calculator_rpn.h>

#include <stdio.h>
#include <wchar.h>

int main(void)
{
    const wchar_t *text = CalculatorRPN(L"3 4 + 2 *");
    if (wcscmp(text, L"14.000000") != 0) {
        fprintf(stdout, "unexpected result: %ls\n", text);
        return 1;
    }
    printf("consumer got %ls from library %s\n", text, KELVARO_RPN_VERSION);
    return 0;
}
