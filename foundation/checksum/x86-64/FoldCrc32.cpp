// Folding with PCLMULQDQ. Bytes are bits of a polynomial, the first bit of
// the first byte the highest power. A 16-byte block A followed by 16 bytes B
// stands for A(x)*x^128 + B(x); since only the remainder modulo the CRC
// polynomial P matters, A(x)*x^128 may be replaced by anything congruent to
// it: with A split into its first and last 8 bytes H and L,
//     A(x)*x^128 = H(x)*x^192 + L(x)*x^128 == H(x)*(x^192 mod P) + L(x)*(x^128 mod P),
// two products of at most 96 bits, which fit in the 128 bits of a block.
// Four blocks are folded side by side over 64 bytes (x^576, x^512); where
// the processor multiplies two pairs at once (VPCLMULQDQ on 256-bit
// registers), eight blocks over 128 bytes (x^1088, x^1024).
#include "../FoldCrc32.h"
#include "CpuFeatures.h"

#include <cpuid.h>
#include <immintrin.h>

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

long long Constant(unsigned n) {
    return static_cast<long long>(FoldConstant(n));
}

struct TFoldConstants {
    __m128i By64;  // H times x^576 mod P, L times x^512 mod P
    __m128i By16;  // H times x^192 mod P, L times x^128 mod P
    TFoldConstants()
        : By64(_mm_set_epi64x(Constant(512), Constant(576))), By16(_mm_set_epi64x(Constant(128), Constant(192))) {}
};

const TFoldConstants& Constants() {
    static const TFoldConstants k;
    return k;
}

}  // namespace

// The 256-bit registers' state is saved by the system (XGETBV), and the
// processor has AVX2 and VPCLMULQDQ.
bool CanFoldCrc32Wide() {
    return CpuHasAvx2() && CpuHasVpclmulqdq();
}

namespace {

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

__attribute__((target("vpclmulqdq,avx2,pclmul"))) __m256i FoldWide(__m256i blocks, __m256i constants) {
    return _mm256_xor_si256(_mm256_clmulepi64_epi128(blocks, constants, 0x00),
                            _mm256_clmulepi64_epi128(blocks, constants, 0x11));
}

__attribute__((target("vpclmulqdq,avx2,pclmul"))) __m256i LoadWide(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// 128 bytes a step; what is left of 128 goes to the 16-byte folding.
__attribute__((target("vpclmulqdq,avx2,pclmul"))) __m128i FoldEightWide(uint32_t reg, const uint8_t*& data,
                                                                          size_t& length) {
    static const __m256i by128 = _mm256_set_epi64x(Constant(1024), Constant(1088), Constant(1024), Constant(1088));
    __m256i y0 = _mm256_xor_si256(LoadWide(data), _mm256_set_epi32(0, 0, 0, 0, 0, 0, 0, static_cast<int>(reg)));
    __m256i y1 = LoadWide(data + 32);
    __m256i y2 = LoadWide(data + 64);
    __m256i y3 = LoadWide(data + 96);
    data += 128;
    length -= 128;
    while (length >= 128) {
        y0 = _mm256_xor_si256(FoldWide(y0, by128), LoadWide(data));
        y1 = _mm256_xor_si256(FoldWide(y1, by128), LoadWide(data + 32));
        y2 = _mm256_xor_si256(FoldWide(y2, by128), LoadWide(data + 64));
        y3 = _mm256_xor_si256(FoldWide(y3, by128), LoadWide(data + 96));
        data += 128;
        length -= 128;
    }
    const __m128i by16 = Constants().By16;
    __m128i x = _mm256_castsi256_si128(y0);
    x = _mm_xor_si128(Fold(x, by16), _mm256_extracti128_si256(y0, 1));
    x = _mm_xor_si128(Fold(x, by16), _mm256_castsi256_si128(y1));
    x = _mm_xor_si128(Fold(x, by16), _mm256_extracti128_si256(y1, 1));
    x = _mm_xor_si128(Fold(x, by16), _mm256_castsi256_si128(y2));
    x = _mm_xor_si128(Fold(x, by16), _mm256_extracti128_si256(y2, 1));
    x = _mm_xor_si128(Fold(x, by16), _mm256_castsi256_si128(y3));
    x = _mm_xor_si128(Fold(x, by16), _mm256_extracti128_si256(y3, 1));
    return x;
}

__attribute__((target("pclmul,sse2"))) void FoldCrc32(uint32_t reg, const uint8_t* data, size_t length,
                                                      uint8_t block[16]) {
    static const bool wide = CanFoldCrc32Wide();
    if (!wide || length < 128) {
        FoldCrc32Narrow(reg, data, length, block);
        return;
    }
    const TFoldConstants& k = Constants();
    __m128i x = FoldEightWide(reg, data, length);
    while (length >= 16) {
        x = _mm_xor_si128(Fold(x, k.By16), Load(data));
        data += 16;
        length -= 16;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(block), x);
}

__attribute__((target("pclmul,sse2"))) void FoldCrc32Narrow(uint32_t reg, const uint8_t* data, size_t length,
                                                            uint8_t block[16]) {
    const TFoldConstants& k = Constants();
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
