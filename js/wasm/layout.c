/* The JavaScript side reads the API's structures straight from the module's
   memory at these byte offsets (js/src/memory.js): a build whose layout
   differs must not link. */
#include <kelvaro/rpn.h>

#include <stddef.h>

_Static_assert(sizeof(size_t) == 4, "wasm32: sizes and offsets are 32-bit");
_Static_assert(sizeof(kelvaro_rpn_status) == 4, "a status is read as a 32-bit integer");

_Static_assert(offsetof(kelvaro_rpn_outcome, status) == 0, "outcome status");
_Static_assert(offsetof(kelvaro_rpn_outcome, value) == 8, "outcome value");
_Static_assert(offsetof(kelvaro_rpn_outcome, offset) == 16, "outcome offset");
_Static_assert(sizeof(kelvaro_rpn_outcome) == 24, "outcome size");

_Static_assert(offsetof(kelvaro_rpn_warning, kind) == 0, "warning kind");
_Static_assert(offsetof(kelvaro_rpn_warning, offset) == 4, "warning offset");
_Static_assert(offsetof(kelvaro_rpn_warning, length) == 8, "warning length");
_Static_assert(sizeof(kelvaro_rpn_warning) == 12, "warning size");

_Static_assert(offsetof(kelvaro_rpn_command, byte) == 0, "command byte");
_Static_assert(offsetof(kelvaro_rpn_command, name) == 4, "command name");
_Static_assert(offsetof(kelvaro_rpn_command, meaning) == 8, "command meaning");
_Static_assert(offsetof(kelvaro_rpn_command, example) == 12, "command example");
_Static_assert(sizeof(kelvaro_rpn_command) == 16, "command size");
