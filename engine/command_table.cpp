#include "engine/command_table.h"

#include <cmath>

namespace kelvaro {

std::int32_t Factorial(std::int32_t n)
{
    // Unsigned arithmetic wraps where signed would overflow; the low 32 bits
    // are the same. Once the product holds 32 factors of two it stays 0.
    std::uint32_t product = 1;
    for (std::int32_t k = 2; k <= n && product != 0; ++k) {
        product *= static_cast<std::uint32_t>(k);
    }
    return static_cast<std::int32_t>(product);
}

std::int32_t TruncateToInt32(Value value)
{
    constexpr Value kTwoTo31 = 2147483648.0;
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= kTwoTo31) {
        return INT32_MAX;
    }
    if (value <= -kTwoTo31) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace kelvaro
