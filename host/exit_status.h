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

// The status the legacy library ended the process with for a failure: 1 for
// an invalid character or an underflow, -1 (255) for an overflow.
constexpr int ExitStatusOf(kelvaro_rpn_status status)
{
    switch (status) {
    case KELVARO_RPN_OK: return kExitSuccess;
    case KELVARO_RPN_STACK_OVERFLOW: return 255;
    case KELVARO_RPN_OUT_OF_MEMORY: return kExitOwnFailure;  // as main's bad_alloc
    case KELVARO_RPN_INVALID_CHARACTER:
    case KELVARO_RPN_STACK_UNDERFLOW: break;
    }
    return 1;
}

#endif
