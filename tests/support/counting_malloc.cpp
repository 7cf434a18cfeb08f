// Routes the C allocator's entry points through a counter. glibc supports
// replacing malloc in the executable: every caller in the process, the C
// library and the C++ runtime included, then reaches these definitions, and
// glibc's own allocator stays reachable under its __libc_ names. The aligned
// variants are left to glibc; their memory is freed through free below, which
// hands it back to the same allocator.
//
// Address, thread and memory sanitizers bring allocators of their own; in
// those builds malloc stays theirs and nothing is counted.
#include "allocation_counter.h"

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KELVARO_SANITIZER_OWNS_MALLOC 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define KELVARO_SANITIZER_OWNS_MALLOC 1
#endif
#endif

#if !defined(KELVARO_SANITIZER_OWNS_MALLOC) && !defined(__GLIBC__)
#error "counting_malloc.cpp needs glibc's __libc_malloc family"
#endif

namespace {

std::size_t mallocCount = 0;

}  // namespace

namespace kelvaro_testing {

std::size_t MallocCount()
{
    return mallocCount;
}

bool MallocIsCounted()
{
#if defined(KELVARO_SANITIZER_OWNS_MALLOC)
    return false;
#else
    return true;
#endif
}

}  // namespace kelvaro_testing

#if !defined(KELVARO_SANITIZER_OWNS_MALLOC)

extern "C" {

void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *memory, std::size_t size);
void __libc_free(void *memory);

__attribute__((visibility("default"))) void *malloc(std::size_t size) noexcept
{
    ++mallocCount;
    return __libc_malloc(size);
}

__attribute__((visibility("default"))) void *calloc(std::size_t count, std::size_t size) noexcept
{
    ++mallocCount;
    return __libc_calloc(count, size);
}

__attribute__((visibility("default"))) void *realloc(void *memory, std::size_t size) noexcept
{
    ++mallocCount;
    return __libc_realloc(memory, size);
}

__attribute__((visibility("default"))) void free(void *memory) noexcept
{
    __libc_free(memory);
}

}  // extern "C"

#endif
