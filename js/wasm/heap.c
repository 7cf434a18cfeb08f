/* Bytes the module's allocator has handed out and not had back: calculators,
   programs and the package's own buffers. Lets a JavaScript host see objects
   that were never freed, since the garbage collector does not see into the
   module's memory. */
#include <malloc.h>
#include <stddef.h>

__attribute__((visibility("default"))) size_t kelvaro_js_heap_in_use(void);

size_t kelvaro_js_heap_in_use(void)
{
    const struct mallinfo info = mallinfo();
    return (size_t)info.uordblks;
}
