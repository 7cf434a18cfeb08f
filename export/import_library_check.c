/* A C host of the Windows DLL that links its import library and declares
 * CalculatorRPN exactly as the public header does. On 32-bit Windows the
 * compiler then asks for the __stdcall name CalculatorRPN@4, so merely linking
 * this program shows that the import library maps that name to the DLL's
 * plain export. Run, it also checks the returned text. */
#include <kelvaro/calculator_rpn.h>

#include <wchar.h>

int main(void)
{
    const wchar_t *text = CalculatorRPN(L"3 4 + 2 *");
    return wcscmp(text, L"14.000000") == 0 ? 0 : 1;
}
