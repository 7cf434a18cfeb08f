/* A program linked the way Microsoft's tools link one, against the archive's
 * .lib import libraries: compiled for the MSVC target and linked by lld-link
 * (link.exe's rules: /SAFESEH on x86, the decorated __stdcall name) without
 * any C runtime, so that only the import libraries under test resolve its
 * calls. The exit status says whether both DLLs answered: 0 when they did. */
#include <kelvaro/calculator_rpn.h>
#include <kelvaro/rpn.h>

__declspec(dllimport) void __stdcall ExitProcess(unsigned int status);

/* The C runtime defines it for every program that uses floating point. */
int _fltused = 0;

void start(void)
{
    static const wchar_t text[] = L"3 4 + 2 *";
    const wchar_t *result = CalculatorRPN(text);
    kelvaro_rpn_outcome outcome;
    const int good = kelvaro_rpn_evaluate("3 4 +", 5, &outcome) == KELVARO_RPN_OK &&
                     outcome.value == 7 && result[0] == L'1' && result[1] == L'4' &&
                     kelvaro_rpn_version()[0] == KELVARO_RPN_VERSION[0];
    ExitProcess(good ? 0 : 1);
}
