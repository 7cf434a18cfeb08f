/* Uses the installed reentrant API: a value, a failure with its place and
 * message, a formula compiled once and run on many values, a check, and the
 * version. Plain C99; .ci builds it once more as C++. */
#include <kelvaro/rpn.h>

#include <stdio.h>
#include <string.h>

int main(void)
{
    kelvaro_rpn_outcome outcome;
    char value[KELVARO_RPN_FIXED_SIZE];
    char message[KELVARO_RPN_MESSAGE_SIZE];
    const char *bad = "3 4 ?";

    if (kelvaro_rpn_evaluate("3 4 + 2 *", 9, &outcome) != KELVARO_RPN_OK) {
        printf("unexpected status %d\n", (int)outcome.status);
        return 1;
    }
    kelvaro_rpn_format_fixed(outcome.value, 6, value, sizeof value);
    if (kelvaro_rpn_evaluate(bad, strlen(bad), &outcome) != KELVARO_RPN_INVALID_CHARACTER) {
        printf("'%s' was not refused\n", bad);
        return 1;
    }
    kelvaro_rpn_format_message(&outcome, bad, strlen(bad), message, sizeof message);
    {
        /* f(x) = 3x^2 + 1 on three values at once */
        const double x[3] = {0, 1, 2};
        double y[3];
        kelvaro_rpn_warning warning;
        kelvaro_rpn_program *f = NULL;
        if (kelvaro_rpn_compile("2 ^ 3 * 1 +", 11, &f, NULL) != KELVARO_RPN_OK ||
            kelvaro_rpn_program_run_many(f, x, 1, 3, y, NULL) != 0 || y[0] != 1 || y[1] != 4 ||
            y[2] != 13 || kelvaro_rpn_check("2 sqrt", 6, &warning, 1) != 1 ||
            warning.kind != KELVARO_RPN_WARNING_COMMAND_TAIL) {
            printf("programs or checks misbehave\n");
            return 1;
        }
        kelvaro_rpn_program_destroy(f);
    }
    printf("rpn consumer got %s, then at offset %u: %s", value, (unsigned)outcome.offset, message);
    printf("library %s, header %s\n", kelvaro_rpn_version(), KELVARO_RPN_VERSION);
    return 0;
}
