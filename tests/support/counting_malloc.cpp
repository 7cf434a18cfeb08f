// Routes the C allocator's entry points through a counter. glibc supports
// replacing malloc in the executable: every caller in the process, the C
// library and the C++ runtime included, then reaches these definitions, and
// glibc's own allocator stays reachable under its __libc_ names. The aligned
// variants are left to glibc; their memory is freed through free below, which
// hands it back to the same allocator.
#include "allocation_counter.h"

#include <cstddef>

#if !defined(__GLIBC__)
#error "counting_malloc.cpp needs glibc's __libc_malloc family"
#endif

extern "C" {
void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *memory, std::size_t size);
void __libc_free(void *memory);
}

namespace {

std::size_t mallocCount = 0;

}  // namespace

namespace kelvaro_testing {

std::size_t MallocCount()
{
    return mallocCount;
}

}  // namespace kelvaro_testing

extern "C" {

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
