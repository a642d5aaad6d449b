#pragma once
// The one place for compiler- and processor-specific code. Everything else in the core
// is plain C++20 and builds for any 64-bit Linux target (x86-64 desktops, arm64 boards
// next to the machine); what is here gives the same results everywhere, only faster on
// the processors it knows.
#include <cstddef>
#include <cstdint>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quarvel::platform {

// Put before a function whose plain loops gain from AVX2: on x86-64 GCC builds it a
// second time for AVX2 and picks the version when the program starts; elsewhere it
// stands for nothing. Only for integer code: the clones must give identical results.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__)
#define QUARVEL_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define QUARVEL_AVX2_CLONES
#endif

// Asks for the memory at `address` to be read into the cache ahead of its use. Only a
// hint: it changes nothing that the program computes.
inline void prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// The full 128-bit product of two 64-bit numbers.
struct WideProduct {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
};

// The product from 32-bit halves, for compilers without a 128-bit type.
constexpr WideProduct multiplyWidePlain(std::uint64_t a, std::uint64_t b) {
    constexpr std::uint64_t kHalf = 0xffffffffu;
    const std::uint64_t aLow = a & kHalf, aHigh = a >> 32;
    const std::uint64_t bLow = b & kHalf, bHigh = b >> 32;
    const std::uint64_t lowLow = aLow * bLow;
    const std::uint64_t highLow = aHigh * bLow;
    const std::uint64_t lowHigh = aLow * bHigh;
    const std::uint64_t highHigh = aHigh * bHigh;
    // The middle column fits in 64 bits: lowHigh is at most 2^64 - 2^33 + 1 and the two
    // other terms are below 2^32 each.
    const std::uint64_t middle = (lowLow >> 32) + (highLow & kHalf) + lowHigh;
    return {highHigh + (highLow >> 32) + (middle >> 32), (middle << 32) | (lowLow & kHalf)};
}

constexpr WideProduct multiplyWide(std::uint64_t a, std::uint64_t b) {
#if defined(__SIZEOF_INT128__)
    __extension__ typedef unsigned __int128 Wide;
    const Wide product = static_cast<Wide>(a) * b;
    return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
    return multiplyWidePlain(a, b);
#endif
}

// Has blocks of 16 MB and more taken straight from the system and given back to it when
// freed. The C library otherwise raises that bound as such blocks are freed, and then
// keeps the working lists of a large job in its heap: the process stays tens of
// megabytes larger than what it holds. Changes nothing that the program computes.
// Smaller bounds cost time: the lists a run makes and drops for every level would be
// mapped and cleared again each time.
inline void ReturnLargeBlocksToSystem() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
#endif
}

}  // namespace quarvel::platform
