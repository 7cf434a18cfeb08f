/* A C host of the Windows DLLs that links their import libraries and declares
 * the functions exactly as the public headers do. On 32-bit Windows the
 * compiler then asks for the __stdcall name CalculatorRPN@4, so merely linking
 * this program shows that the import library maps that name to the DLL's
 * plain export; kelvaro_rpn_evaluate is cdecl and keeps its plain name. Run,
 * it also checks what each returns. */
#include <kelvaro/calculator_rpn.h>
#include <kelvaro/rpn.h>

#include <wchar.h>

int main(void)
{
    kelvaro_rpn_outcome outcome;
    const wchar_t *text = CalculatorRPN(L"3 4 + 2 *");
    if (wcscmp(text, L"14.000000") != 0) {
        return 1;
    }
    if (kelvaro_rpn_evaluate("3 4 + 2 *", 9, &outcome) != KELVARO_RPN_OK || outcome.value != 14) {
        return 1;
    }
    return 0;
}
