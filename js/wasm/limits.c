/* The library's limits that exist only as macros, as functions the package
   can call: JavaScript cannot see a C header. */
#include <kelvaro/rpn.h>

#include <stddef.h>

__attribute__((visibility("default"))) size_t kelvaro_js_stack_capacity(void);

size_t kelvaro_js_stack_capacity(void)
{
    return KELVARO_RPN_STACK_CAPACITY;
}
