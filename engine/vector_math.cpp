// The one home of the vector routines: glibc's libmvec on x86-64, through
// libm's link script, so no build needs a flag of its own. Everywhere else
// (ARM, Windows, WebAssembly, other C libraries) the libm call per value.
#include "engine/vector_math.h"

#include "engine/machine.h"

#include <cmath>
#include <cstring>

// g++ only: a clang build gave `0.5 ^` values that changed with their place in
// a block (the test that shifts the runs by one finds it); until that is
// understood, clang takes the scalar calls, as every other platform does.
#if defined(__x86_64__) && defined(__GLIBC__) && defined(__GNUC__) && !defined(__clang__)
#if __GLIBC_PREREQ(2, 35)  // the first with tan and the inverse functions
#define KELVARO_LIBMVEC 1
#endif
#endif

#if defined(KELVARO_LIBMVEC)
#include <immintrin.h>

// libmvec's entry points, by the vector ABI's names: N2 takes SSE2's two
// lanes, N4 AVX's four (each falls back inside libmvec where the processor
// lacks AVX2). Every lane's value depends on that lane alone. The names are
// the ABI's, reserved as they are.
// NOLINTBEGIN(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
extern "C" {
__m128d _ZGVbN2v_sin(__m128d);
__m128d _ZGVbN2v_cos(__m128d);
__m128d _ZGVbN2v_tan(__m128d);
__m128d _ZGVbN2v_asin(__m128d);
__m128d _ZGVbN2v_acos(__m128d);
__m128d _ZGVbN2v_atan(__m128d);
__m128d _ZGVbN2v_log(__m128d);
__m128d _ZGVbN2v_exp(__m128d);
__m128d _ZGVbN2vv_pow(__m128d, __m128d);
__attribute__((target("avx"))) __m256d _ZGVdN4v_sin(__m256d);
__attribute__((target("avx"))) __m256d _ZGVdN4v_cos(__m256d);
__attribute__((target("avx"))) __m256d _ZGVdN4v_tan(__m256d);
__attribute__((target("avx"))) __m256d _ZGVdN4v_asin(__m256d);
__attribute__((target("avx"))) __m256d _ZGVdN4v_acos(__m256d);
__attribute__((target("avx"))) __m256d _ZGVdN4v_atan(__m256d);
__attribute__((target("avx"))) __m256d _ZGVdN4v_log(__m256d);
__attribute__((target("avx"))) __m256d _ZGVdN4v_exp(__m256d);
__attribute__((target("avx"))) __m256d _ZGVdN4vv_pow(__m256d, __m256d);
}
// NOLINTEND(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)

namespace {
// The bytes of a vector of each kind, for the padded last vector of an array.
constexpr std::size_t kAvxBytes = 32;
constexpr std::size_t kSseBytes = 16;
}  // namespace
#endif

namespace kelvaro {
namespace vector_math {
namespace {

// x^0 to x^4 and x^-1 as products: each within two roundings of the power,
// with the same signs, zeros, infinities and NaN as pow. Beyond them, a
// product can overflow where the power does not (1 / (x * x)).
bool PowerByProducts(Value *bases, Value exponent, std::size_t count)
{
    if (exponent == 2) {
        for (std::size_t i = 0; i < count; ++i) {
            bases[i] = bases[i] * bases[i];
        }
    } else if (exponent == 3) {
        for (std::size_t i = 0; i < count; ++i) {
            bases[i] = bases[i] * bases[i] * bases[i];
        }
    } else if (exponent == 4) {
        for (std::size_t i = 0; i < count; ++i) {
            const Value square = bases[i] * bases[i];
            bases[i] = square * square;
        }
    } else if (exponent == -1) {
        for (std::size_t i = 0; i < count; ++i) {
            bases[i] = 1 / bases[i];
        }
    } else if (exponent == 0) {
        for (std::size_t i = 0; i < count; ++i) {
            bases[i] = 1;  // pow(x, 0) is 1 even for NaN
        }
    } else {
        return exponent == 1;  // pow(x, 1) is x
    }
    return true;
}

#if defined(KELVARO_LIBMVEC)

bool HasAvx()
{
    static const bool has = static_cast<bool>(__builtin_cpu_supports("avx"));
    return has;
}

// Whole vectors, then the last few values in a padded one: a value's result
// never depends on where it falls in a block.
template <typename Routine>
__attribute__((target("avx"))) void EachAvx(Value *values, std::size_t count, Routine routine)
{
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        _mm256_storeu_pd(values + i, routine(_mm256_loadu_pd(values + i)));
    }
    if (i < count) {
        alignas(kAvxBytes) Value lanes[4] = {1, 1, 1, 1};
        std::memcpy(lanes, values + i, (count - i) * sizeof(Value));
        _mm256_store_pd(lanes, routine(_mm256_load_pd(lanes)));
        std::memcpy(values + i, lanes, (count - i) * sizeof(Value));
    }
}

template <typename Routine>
void EachSse(Value *values, std::size_t count, Routine routine)
{
    std::size_t i = 0;
    for (; i + 2 <= count; i += 2) {
        _mm_storeu_pd(values + i, routine(_mm_loadu_pd(values + i)));
    }
    if (i < count) {
        alignas(kSseBytes) Value lanes[2] = {values[i], 1};
        _mm_store_pd(lanes, routine(_mm_load_pd(lanes)));
        values[i] = lanes[0];
    }
}

__attribute__((target("avx"))) void FunctionAvx(std::uint8_t token, Value *values,
                                                std::size_t count)
{
    switch (token) {
    case TokenOf(Operation::kSine): EachAvx(values, count, _ZGVdN4v_sin); break;
    case TokenOf(Operation::kCosine): EachAvx(values, count, _ZGVdN4v_cos); break;
    case TokenOf(Operation::kTangent): EachAvx(values, count, _ZGVdN4v_tan); break;
    case TokenOf(Operation::kArcsine): EachAvx(values, count, _ZGVdN4v_asin); break;
    case TokenOf(Operation::kArccosine): EachAvx(values, count, _ZGVdN4v_acos); break;
    case TokenOf(Operation::kArctangent): EachAvx(values, count, _ZGVdN4v_atan); break;
    case TokenOf(Operation::kLogarithm): EachAvx(values, count, _ZGVdN4v_log); break;
    default: EachAvx(values, count, _ZGVdN4v_exp); break;
    }
}

void FunctionSse(std::uint8_t token, Value *values, std::size_t count)
{
    switch (token) {
    case TokenOf(Operation::kSine): EachSse(values, count, _ZGVbN2v_sin); break;
    case TokenOf(Operation::kCosine): EachSse(values, count, _ZGVbN2v_cos); break;
    case TokenOf(Operation::kTangent): EachSse(values, count, _ZGVbN2v_tan); break;
    case TokenOf(Operation::kArcsine): EachSse(values, count, _ZGVbN2v_asin); break;
    case TokenOf(Operation::kArccosine): EachSse(values, count, _ZGVbN2v_acos); break;
    case TokenOf(Operation::kArctangent): EachSse(values, count, _ZGVbN2v_atan); break;
    case TokenOf(Operation::kLogarithm): EachSse(values, count, _ZGVbN2v_log); break;
    default: EachSse(values, count, _ZGVbN2v_exp); break;
    }
}

// The exponents in a second array, read lane by lane with the bases.
__attribute__((target("avx"))) void PowerAvx(Value *bases, const Value *exponents,
                                             std::size_t count)
{
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        _mm256_storeu_pd(bases + i, _ZGVdN4vv_pow(_mm256_loadu_pd(bases + i),
                                                  _mm256_loadu_pd(exponents + i)));
    }
    if (i < count) {
        alignas(kAvxBytes) Value lanes[4] = {1, 1, 1, 1};
        alignas(kAvxBytes) Value powers[4] = {1, 1, 1, 1};
        std::memcpy(lanes, bases + i, (count - i) * sizeof(Value));
        std::memcpy(powers, exponents + i, (count - i) * sizeof(Value));
        _mm256_store_pd(lanes, _ZGVdN4vv_pow(_mm256_load_pd(lanes), _mm256_load_pd(powers)));
        std::memcpy(bases + i, lanes, (count - i) * sizeof(Value));
    }
}

void PowerSse(Value *bases, const Value *exponents, std::size_t count)
{
    std::size_t i = 0;
    for (; i + 2 <= count; i += 2) {
        _mm_storeu_pd(bases + i,
                      _ZGVbN2vv_pow(_mm_loadu_pd(bases + i), _mm_loadu_pd(exponents + i)));
    }
    if (i < count) {
        alignas(kSseBytes) Value lanes[2] = {bases[i], 1};
        alignas(kSseBytes) Value powers[2] = {exponents[i], 1};
        _mm_store_pd(lanes, _ZGVbN2vv_pow(_mm_load_pd(lanes), _mm_load_pd(powers)));
        bases[i] = lanes[0];
    }
}

__attribute__((target("avx"))) void PowerOfNumberAvx(Value *bases, Value exponent,
                                                     std::size_t count)
{
    const __m256d power = _mm256_set1_pd(exponent);
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        _mm256_storeu_pd(bases + i, _ZGVdN4vv_pow(_mm256_loadu_pd(bases + i), power));
    }
    if (i < count) {
        alignas(kAvxBytes) Value lanes[4] = {1, 1, 1, 1};
        std::memcpy(lanes, bases + i, (count - i) * sizeof(Value));
        _mm256_store_pd(lanes, _ZGVdN4vv_pow(_mm256_load_pd(lanes), power));
        std::memcpy(bases + i, lanes, (count - i) * sizeof(Value));
    }
}

void PowerOfNumberSse(Value *bases, Value exponent, std::size_t count)
{
    const __m128d power = _mm_set1_pd(exponent);
    EachSse(bases, count, [power](__m128d lanes) { return _ZGVbN2vv_pow(lanes, power); });
}

#endif

}  // namespace

void ExactFunction(std::uint8_t token, Value *values, std::size_t count)
{
    const auto each = [values, count](auto function) {
        for (std::size_t i = 0; i < count; ++i) {
            values[i] = function(values[i]);
        }
    };
    switch (token) {
    case TokenOf(Operation::kSine): each(arithmetic::kSine); break;
    case TokenOf(Operation::kCosine): each(arithmetic::kCosine); break;
    case TokenOf(Operation::kTangent): each(arithmetic::kTangent); break;
    case TokenOf(Operation::kArcsine): each(arithmetic::kArcsine); break;
    case TokenOf(Operation::kArccosine): each(arithmetic::kArccosine); break;
    case TokenOf(Operation::kArctangent): each(arithmetic::kArctangent); break;
    case TokenOf(Operation::kLogarithm): each(arithmetic::kLogarithm); break;
    default: each(arithmetic::kExponential); break;
    }
}

#if defined(KELVARO_LIBMVEC)

bool HasVectorRoutines()
{
    return true;
}

void Function(std::uint8_t token, Value *values, std::size_t count)
{
    if (HasAvx()) {
        FunctionAvx(token, values, count);
    } else {
        FunctionSse(token, values, count);
    }
}

void Power(Value *bases, const Value *exponents, std::size_t count)
{
    if (HasAvx()) {
        PowerAvx(bases, exponents, count);
    } else {
        PowerSse(bases, exponents, count);
    }
}

void PowerOfNumber(Value *bases, Value exponent, std::size_t count)
{
    if (PowerByProducts(bases, exponent, count)) {
        return;
    }
    if (HasAvx()) {
        PowerOfNumberAvx(bases, exponent, count);
    } else {
        PowerOfNumberSse(bases, exponent, count);
    }
}

#else

bool HasVectorRoutines()
{
    return false;
}

void Function(std::uint8_t token, Value *values, std::size_t count)
{
    ExactFunction(token, values, count);
}

void Power(Value *bases, const Value *exponents, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        bases[i] = arithmetic::kPower(bases[i], exponents[i]);
    }
}

void PowerOfNumber(Value *bases, Value exponent, std::size_t count)
{
    if (!PowerByProducts(bases, exponent, count)) {
        for (std::size_t i = 0; i < count; ++i) {
            bases[i] = arithmetic::kPower(bases[i], exponent);
        }
    }
}

#endif

}  // namespace vector_math
}  // namespace kelvaro
