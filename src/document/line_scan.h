#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brenvale {

// Calls fn(offset) for every byte in [0, size) that equals a or b, in order, until fn
// returns false. Lines of a document are short, so one search call per line would cost
// more than the bytes: this looks at 64 bytes at a time and walks the hits by bit mask.
template <typename Fn>
void ForEachByteOf(const char* p, size_t size, char a, char b, Fn&& fn) {
    size_t base = 0;
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a);
    const __m128i vb = _mm_set1_epi8(b);
    auto maskOf = [&](const char* at) -> uint64_t {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return static_cast<uint32_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb))));
    };
    for (; base + 64 <= size; base += 64) {
        uint64_t mask = maskOf(p + base) | maskOf(p + base + 16) << 16 |
                        maskOf(p + base + 32) << 32 | maskOf(p + base + 48) << 48;
        while (mask) {
            if (!fn(base + static_cast<size_t>(__builtin_ctzll(mask)))) {
                return;
            }
            mask &= mask - 1;
        }
    }
#endif
    for (size_t i = base; i < size; ++i) {
        if ((p[i] == a || p[i] == b) && !fn(i)) {
            return;
        }
    }
}

}  // namespace brenvale
