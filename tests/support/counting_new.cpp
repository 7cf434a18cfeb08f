// Replaces the global operator new and delete with versions that count every
// allocation and otherwise behave like the standard library's: memory comes
// from malloc, and a failure throws std::bad_alloc (or returns null for the
// nothrow forms).
#include "allocation_counter.h"

#include <cstdlib>
#include <new>

#if defined(__GNUC__)
// The project builds with hidden visibility; the replacements must be seen by
// the shared library and the C++ runtime too.
#define KELVARO_REPLACEMENT __attribute__((visibility("default")))
#else
#define KELVARO_REPLACEMENT
#endif

namespace {

std::size_t newCount = 0;
std::size_t callsUntilFailure = 0;  // 0: none fails

bool FailsNow() noexcept
{
    return callsUntilFailure > 0 && --callsUntilFailure == 0;
}

void *Allocate(std::size_t size) noexcept
{
    ++newCount;
    if (FailsNow()) {
        return nullptr;
    }
    return std::malloc(size != 0 ? size : 1);
}

void *AllocateAligned(std::size_t size, std::align_val_t alignment) noexcept
{
    ++newCount;
    if (FailsNow()) {
        return nullptr;
    }
    const auto align = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    const std::size_t rounded = (size + align - 1) / align * align;
    return std::aligned_alloc(align, rounded != 0 ? rounded : align);
}

void *OrThrow(void *memory)
{
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

}  // namespace

namespace kelvaro_testing {

std::size_t OperatorNewCount()
{
    return newCount;
}

void FailOperatorNewAt(std::size_t nth)
{
    callsUntilFailure = nth;
}

}  // namespace kelvaro_testing

KELVARO_REPLACEMENT void *operator new(std::size_t size)
{
    return OrThrow(Allocate(size));
}

KELVARO_REPLACEMENT void *operator new[](std::size_t size)
{
    return OrThrow(Allocate(size));
}

KELVARO_REPLACEMENT void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return Allocate(size);
}

KELVARO_REPLACEMENT void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return Allocate(size);
}

KELVARO_REPLACEMENT void *operator new(std::size_t size, std::align_val_t alignment)
{
    return OrThrow(AllocateAligned(size, alignment));
}

KELVARO_REPLACEMENT void *operator new[](std::size_t size, std::align_val_t alignment)
{
    return OrThrow(AllocateAligned(size, alignment));
}

KELVARO_REPLACEMENT void *operator new(std::size_t size, std::align_val_t alignment,
                                       const std::nothrow_t &) noexcept
{
    return AllocateAligned(size, alignment);
}

KELVARO_REPLACEMENT void *operator new[](std::size_t size, std::align_val_t alignment,
                                         const std::nothrow_t &) noexcept
{
    return AllocateAligned(size, alignment);
}

KELVARO_REPLACEMENT void operator delete(void *memory) noexcept
{
    std::free(memory);
}

KELVARO_REPLACEMENT void operator delete[](void *memory) noexcept
{
    std::free(memory);
}

KELVARO_REPLACEMENT void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}

KELVARO_REPLACEMENT void operator delete[](void *memory, std::size_t) noexcept
{
    std::free(memory);
}

KELVARO_REPLACEMENT void operator delete(void *memory, const std::nothrow_t &) noexcept
{
    std::free(memory);
}

KELVARO_REPLACEMENT void operator delete[](void *memory, const std::nothrow_t &) noexcept
{
    std::free(memory);
}

KELVARO_REPLACEMENT void operator delete(void *memory, std::align_val_t) noexcept
{
    std::free(memory);
}

KELVARO_REPLACEMENT void operator delete[](void *memory, std::align_val_t) noexcept
{
    std::free(memory);
}

KELVARO_REPLACEMENT void operator delete(void *memory, std::size_t, std::align_val_t) noexcept
{
    std::free(memory);
}

KELVARO_REPLACEMENT void operator delete[](void *memory, std::size_t, std::align_val_t) noexcept
{
    std::free(memory);
}

KELVARO_REPLACEMENT void operator delete(void *memory, std::align_val_t,
                                         const std::nothrow_t &) noexcept
{
    std::free(memory);
}

KELVARO_REPLACEMENT void operator delete[](void *memory, std::align_val_t,
                                           const std::nothrow_t &) noexcept
{
    std::free(memory);
}
