#include "Gf16.h"

#include "Gf16Kernels.h"

#include <algorithm>
#include <bit>
#include <cstring>

// Rows of a matrix are run through the multiply-add kernels as they lie in
// memory, which reads native words as little-endian ones.
static_assert(std::endian::native == std::endian::little, "GF(2^16) rows need little-endian words");

namespace {

constexpr uint32_t Polynomial = 0x1100B;
// The order of the multiplicative group, 3 * 5 * 17 * 257.
constexpr uint32_t Order = 65535;
// Gf16MultiplyAddInto's piece of the source: with a piece of one target
// beside it, it stays in the first-level cache while every target passes.
constexpr size_t IntoBlock = 8192;

uint16_t TimesX(uint16_t v) {
    const uint32_t shifted = static_cast<uint32_t>(v) << 1;
    return static_cast<uint16_t>(shifted & 0x10000 ? shifted ^ Polynomial : shifted);
}

// 2 generates the group. Exp repeats once so that the sum of two logs needs
// no reduction. The 384 KiB are taken from the heap on first use, by the
// first thread to get here, and kept: MinGW puts even a zero-filled static
// array into the program file once data has sections of its own.
struct TLogTables {
    uint16_t Log[65536];
    uint16_t Exp[2 * Order];
    TLogTables() {
        uint16_t v = 1;
        for (uint32_t i = 0; i < Order; ++i) {
            Exp[i] = v;
            Exp[i + Order] = v;
            Log[v] = static_cast<uint16_t>(i);
            v = TimesX(v);
        }
        Log[0] = 0;
    }
};

const TLogTables& Tables() {
    static const TLogTables* const tables = new TLogTables;
    return *tables;
}

// How many of 1..n are prime to 65535, by inclusion and exclusion over its
// four prime factors.
uint32_t CountPrimeToOrder(uint32_t n) {
    static constexpr uint32_t factors[4] = {3, 5, 17, 257};
    int64_t count = 0;
    for (unsigned subset = 0; subset < 16; ++subset) {
        uint32_t divisor = 1;
        for (unsigned f = 0; f < 4; ++f) {
            if (subset & (1u << f))
                divisor *= factors[f];
        }
        const int64_t multiples = n / divisor;
        count += std::popcount(subset) % 2 ? -multiples : multiples;
    }
    return static_cast<uint32_t>(count);
}

uint16_t Load(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void ReferenceKernel(uint16_t factor, const uint8_t* source, uint8_t* target, size_t bytes) {
    Gf16MultiplyAddReference(factor, source, target, bytes);
}

void Noise(uint8_t* bytes, size_t size, uint32_t seed) {
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bytes[i] = static_cast<uint8_t>(seed >> 24);
    }
}

// A kernel runs only after it has given the reference's bytes here: odd
// alignments, a tail after the vector steps, factors at the edges, and a
// piece boundary of Into.
bool AgreesWithReference(const TGf16Kernel& kernel) {
    constexpr size_t Size = 9001;
    std::vector<uint8_t> source(Size);
    std::vector<uint8_t> expected[3];
    std::vector<uint8_t> got[3];
    Noise(source.data(), Size, 1);
    const uint16_t factors[3] = {0x8000, 0xFFFF, 0x1234};
    for (size_t bytes : {size_t{2}, size_t{64}, size_t{298}, size_t{8994}}) {
        for (size_t k = 0; k < 3; ++k) {
            expected[k].assign(Size, 0);
            Noise(expected[k].data(), Size, static_cast<uint32_t>(2 + k));
            got[k] = expected[k];
            Gf16MultiplyAddReference(factors[k], source.data() + 1, expected[k].data() + 3 + k, bytes);
            kernel.MultiplyAdd(factors[k], source.data() + 1, got[k].data() + 3 + k, bytes);
        }
        for (size_t k = 0; k < 3; ++k) {
            if (got[k] != expected[k])
                return false;
        }
        if (kernel.MultiplyAddInto == nullptr)
            continue;
        // Into the same targets again: each then holds its start once more.
        uint8_t* targets[3] = {got[0].data() + 3, got[1].data() + 4, got[2].data() + 5};
        kernel.MultiplyAddInto(source.data() + 1, factors, targets, 3, bytes);
        for (size_t k = 0; k < 3; ++k) {
            Gf16MultiplyAddReference(factors[k], source.data() + 1, expected[k].data() + 3 + k, bytes);
            if (got[k] != expected[k])
                return false;
        }
    }
    return true;
}

struct TChosenKernel {
    TGf16Kernel Kernel = {"reference, one word at a time", ReferenceKernel, nullptr};
    TChosenKernel() {
        TGf16Kernel kernels[Gf16MaxKernels];
        const size_t count = Gf16Kernels(kernels);
        for (size_t k = 0; k < count; ++k) {
            if (AgreesWithReference(kernels[k])) {
                Kernel = kernels[k];
                return;
            }
        }
    }
};

const TGf16Kernel& Chosen() {
    static const TChosenKernel chosen;
    return chosen.Kernel;
}

}  // namespace

void Gf16BitProducts(uint16_t factor, uint16_t products[16]) {
    for (int j = 0; j < 16; ++j) {
        products[j] = factor;
        factor = TimesX(factor);
    }
}

void Gf16NibbleProducts(uint16_t factor, uint8_t low[4][16], uint8_t high[4][16]) {
    uint16_t bit[16];
    Gf16BitProducts(factor, bit);
    for (int k = 0; k < 4; ++k) {
        // Each entry from the one with its lowest bit cleared.
        uint16_t products[16];
        products[0] = 0;
        for (unsigned n = 1; n < 16; ++n)
            products[n] = static_cast<uint16_t>(products[n & (n - 1)] ^ bit[4 * k + std::countr_zero(n)]);
        for (int n = 0; n < 16; ++n) {
            low[k][n] = static_cast<uint8_t>(products[n]);
            high[k][n] = static_cast<uint8_t>(products[n] >> 8);
        }
    }
}

uint16_t Gf16Multiply(uint16_t a, uint16_t b) {
    if (a == 0 || b == 0)
        return 0;
    const TLogTables& t = Tables();
    return t.Exp[t.Log[a] + t.Log[b]];
}

uint16_t Gf16Divide(uint16_t a, uint16_t b) {
    if (a == 0 || b == 0)
        return 0;
    const TLogTables& t = Tables();
    return t.Exp[t.Log[a] + Order - t.Log[b]];
}

uint16_t Gf16Power(uint16_t base, uint64_t exponent) {
    if (exponent == 0)
        return 1;
    if (base == 0)
        return 0;
    const TLogTables& t = Tables();
    // Both factors are below 65535, so the product fits in 32 bits.
    return t.Exp[t.Log[base] * (exponent % Order) % Order];
}

uint16_t Par2InputConstant(uint32_t index) {
    if (index >= CountPrimeToOrder(Order))
        return 0;
    // The least n with index + 1 exponents in 1..n; every one lies below
    // 65535, and the count only grows with n.
    uint32_t low = 1;
    uint32_t high = Order - 1;
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        if (CountPrimeToOrder(middle) > index)
            high = middle;
        else
            low = middle + 1;
    }
    return Tables().Exp[low];
}

void Gf16MultiplyAdd(uint16_t factor, const void* source, void* target, size_t bytes) {
    bytes &= ~size_t{1};
    if (factor != 0 && bytes != 0)
        Chosen().MultiplyAdd(factor, static_cast<const uint8_t*>(source), static_cast<uint8_t*>(target), bytes);
}

void Gf16MultiplyAddInto(const void* source, const uint16_t* factors, void* const* targets, size_t count,
                         size_t bytes) {
    const auto* s = static_cast<const uint8_t*>(source);
    auto* const* t = reinterpret_cast<uint8_t* const*>(targets);
    bytes &= ~size_t{1};
    if (count == 0 || bytes == 0)
        return;
    const TGf16Kernel& kernel = Chosen();
    if (kernel.MultiplyAddInto != nullptr)
        kernel.MultiplyAddInto(s, factors, t, count, bytes);
    else
        Gf16MultiplyAddIntoPieces(kernel.MultiplyAdd, s, factors, t, count, bytes);
}

void Gf16MultiplyAddIntoPieces(TGf16MultiplyAdd multiplyAdd, const uint8_t* source, const uint16_t* factors,
                               uint8_t* const* targets, size_t count, size_t bytes) {
    for (size_t at = 0; at < bytes; at += IntoBlock) {
        const size_t piece = std::min(IntoBlock, bytes - at);
        for (size_t k = 0; k < count; ++k) {
            if (factors[k] != 0)
                multiplyAdd(factors[k], source + at, targets[k] + at, piece);
        }
    }
}

void Gf16MultiplyAddReference(uint16_t factor, const void* source, void* target, size_t bytes) {
    const auto* s = static_cast<const uint8_t*>(source);
    auto* t = static_cast<uint8_t*>(target);
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        const uint16_t product = static_cast<uint16_t>(Load(t + i) ^ Gf16Multiply(factor, Load(s + i)));
        t[i] = static_cast<uint8_t>(product);
        t[i + 1] = static_cast<uint8_t>(product >> 8);
    }
}

const char* Gf16Method() {
    return Chosen().Name;
}

bool Gf16Invert(std::vector<uint16_t>& matrix, size_t n) {
    if (n != 0 && (n > SIZE_MAX / 2 / n || matrix.size() != n * n))
        return false;
    if (n == 0)
        return matrix.empty();
    // The matrix beside the identity; the row operations that turn the left
    // half into the identity turn the right half into the inverse.
    const size_t width = 2 * n;
    std::vector<uint16_t> rows(n * width, 0);
    for (size_t r = 0; r < n; ++r) {
        std::copy_n(matrix.begin() + static_cast<ptrdiff_t>(r * n), n,
                    rows.begin() + static_cast<ptrdiff_t>(r * width));
        rows[r * width + n + r] = 1;
    }
    for (size_t col = 0; col < n; ++col) {
        size_t pivot = col;
        while (pivot < n && rows[pivot * width + col] == 0)
            ++pivot;
        if (pivot == n)
            return false;
        uint16_t* p = rows.data() + col * width;
        if (pivot != col)
            std::swap_ranges(p, p + width, rows.data() + pivot * width);
        // Columns left of col are zero in this row by now.
        const uint16_t scale = Gf16Divide(1, p[col]);
        for (size_t c = col; c < width; ++c)
            p[c] = Gf16Multiply(p[c], scale);
        for (size_t r = 0; r < n; ++r) {
            uint16_t* row = rows.data() + r * width;
            if (r != col && row[col] != 0)
                Gf16MultiplyAdd(row[col], p + col, row + col, (width - col) * sizeof(uint16_t));
        }
    }
    for (size_t r = 0; r < n; ++r)
        std::copy_n(rows.begin() + static_cast<ptrdiff_t>(r * width + n), n,
                    matrix.begin() + static_cast<ptrdiff_t>(r * n));
    return true;
}
