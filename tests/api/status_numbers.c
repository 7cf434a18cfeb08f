/* What a C host may do with a status: store any int in it. C allows every
   int in an enumeration's type; C++ would not, so the calls are made here. */
#include "api/status_numbers.h"

const char *StatusNameOfNumber(int number)
{
    return kelvaro_rpn_status_name((kelvaro_rpn_status)number);
}

const char *WarningNameOfNumber(int number)
{
    return kelvaro_rpn_warning_name((kelvaro_rpn_warning_kind)number);
}

size_t MessageOfNumber(int number, char *buffer, size_t size)
{
    kelvaro_rpn_outcome outcome;
    outcome.status = (kelvaro_rpn_status)number;
    outcome.value = 0;
    outcome.offset = 0;
    return kelvaro_rpn_format_message(&outcome, "?", 1, buffer, size);
}

int ExitStatusOfNumber(int number)
{
    return kelvaro_rpn_exit_status((kelvaro_rpn_status)number);
}
