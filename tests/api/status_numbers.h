/* kelvaro_rpn_status_name, kelvaro_rpn_warning_name, kelvaro_rpn_format_message and
   kelvaro_rpn_exit_status called
   from C with any int as the status or kind. */
#ifndef KELVARO_TESTS_API_STATUS_NUMBERS_H
#define KELVARO_TESTS_API_STATUS_NUMBERS_H

#include <kelvaro/rpn.h>

#ifdef __cplusplus
extern "C" {
#endif

const char *StatusNameOfNumber(int number);
const char *WarningNameOfNumber(int number);
size_t MessageOfNumber(int number, char *buffer, size_t size);
int ExitStatusOfNumber(int number);

#ifdef __cplusplus
}
#endif

#endif
