// Exit statuses of rpn beside the library's own failures (1 and 255).
#ifndef RPN_EXIT_STATUS_H
#define RPN_EXIT_STATUS_H

#include <kelvaro/rpn.h>

constexpr int kExitSuccess = 0;
constexpr int kExitUsage = 2;
// rpn itself failed: a write or read error, a file that does not open.
constexpr int kExitOwnFailure = 3;
// --strict refused an expression that kelvaro_rpn_check warns about.
constexpr int kExitStrict = 4;

// As the library's failures end a host of the legacy library (1, and 255,
// the byte a parent sees of -1, for an overflow); out of memory is rpn's own.
inline int ExitStatusOf(kelvaro_rpn_status status)
{
    return status == KELVARO_RPN_OUT_OF_MEMORY ? kExitOwnFailure
                                               : kelvaro_rpn_exit_status(status) & 0xff;
}

#endif
