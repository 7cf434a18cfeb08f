// The library allocates with new (std::nothrow) and reports null as a failure.
// Built without exceptions, emscripten's libc++ implements the nothrow forms
// through the throwing one, which aborts the whole module when memory runs
// out; these hand malloc's null back instead, so the package can throw a
// RangeError and go on. libc++'s operator delete is free(), which matches.
#include <cstdlib>
#include <new>

void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return std::malloc(size > 0 ? size : 1);
}

void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return std::malloc(size > 0 ? size : 1);
}
