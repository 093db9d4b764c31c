// Folding with PCLMULQDQ. Bytes are bits of a polynomial, the first bit of
// the first byte the highest power. A 16-byte block A followed by 16 bytes B
// stands for A(x)*x^128 + B(x); since only the remainder modulo the CRC
// polynomial P matters, A(x)*x^128 may be replaced by anything congruent to
// it: with A split into its first and last 8 bytes H and L,
//     A(x)*x^128 = H(x)*x^192 + L(x)*x^128 == H(x)*(x^192 mod P) + L(x)*(x^128 mod P),
// two products of at most 96 bits, which fit in the 128 bits of a block.
// Four blocks are folded side by side over 64 bytes (x^576, x^512).
#include "../FoldCrc32.h"

#include <cpuid.h>
#include <emmintrin.h>
#include <wmmintrin.h>

namespace {

// x^n mod P as the word that a reflected carry-less product needs. A 64-bit
// operand holds x^(63-i) in bit i, so its product holds x^(126-k) in bit k,
// one power below what a block's bit k stands for: the constant carries
// x^(n-1) to make up for it.
uint64_t FoldConstant(unsigned n) {
    uint64_t remainder = 1;  // x^0, bit d standing for x^d
    for (unsigned i = 0; i < n - 1; ++i) {
        remainder <<= 1;
        if (remainder & 0x100000000ull)
            remainder ^= 0x104C11DB7ull;
    }
    uint64_t word = 0;
    for (unsigned d = 0; d < 32; ++d) {
        if (remainder & (1ull << d))
            word |= 1ull << (63 - d);
    }
    return word;
}

struct TFoldConstants {
    __m128i By64;  // H times x^576 mod P, L times x^512 mod P
    __m128i By16;  // H times x^192 mod P, L times x^128 mod P
    TFoldConstants()
        : By64(_mm_set_epi64x(static_cast<long long>(FoldConstant(512)), static_cast<long long>(FoldConstant(576)))),
          By16(_mm_set_epi64x(static_cast<long long>(FoldConstant(128)), static_cast<long long>(FoldConstant(192)))) {}
};

__attribute__((target("pclmul,sse2"))) inline __m128i Fold(__m128i block, __m128i constants) {
    return _mm_xor_si128(_mm_clmulepi64_si128(block, constants, 0x00), _mm_clmulepi64_si128(block, constants, 0x11));
}

__attribute__((target("pclmul,sse2"))) inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

}  // namespace

bool CanFoldCrc32() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    return (ecx & bit_PCLMUL) != 0 && (edx & bit_SSE2) != 0;
}

__attribute__((target("pclmul,sse2"))) void FoldCrc32(uint32_t reg, const uint8_t* data, size_t length,
                                                      uint8_t block[16]) {
    static const TFoldConstants k;
    // The running register enters as if XORed into the first four bytes.
    __m128i x0 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(reg)));
    __m128i x1 = Load(data + 16);
    __m128i x2 = Load(data + 32);
    __m128i x3 = Load(data + 48);
    data += 64;
    length -= 64;
    while (length >= 64) {
        x0 = _mm_xor_si128(Fold(x0, k.By64), Load(data));
        x1 = _mm_xor_si128(Fold(x1, k.By64), Load(data + 16));
        x2 = _mm_xor_si128(Fold(x2, k.By64), Load(data + 32));
        x3 = _mm_xor_si128(Fold(x3, k.By64), Load(data + 48));
        data += 64;
        length -= 64;
    }
    __m128i x = _mm_xor_si128(Fold(x0, k.By16), x1);
    x = _mm_xor_si128(Fold(x, k.By16), x2);
    x = _mm_xor_si128(Fold(x, k.By16), x3);
    while (length >= 16) {
        x = _mm_xor_si128(Fold(x, k.By16), Load(data));
        data += 16;
        length -= 16;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(block), x);
}
