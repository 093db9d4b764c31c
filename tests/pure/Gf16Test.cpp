// GF(2^16) against a shift-and-add multiplication that shares nothing with
// the log tables, the input constants against a plain count of exponents,
// and every multiply-add kernel this processor runs against the reference.
#include "foundation/checksum/Gf16.h"
#include "foundation/checksum/Gf16Kernels.h"

#include "tests/support/Noise.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

uint16_t ShiftAndAdd(uint16_t a, uint16_t b) {
    uint32_t product = 0;
    for (int i = 0; i < 16; ++i) {
        if (b & (1u << i))
            product ^= static_cast<uint32_t>(a) << i;
    }
    for (int i = 30; i >= 16; --i) {
        if (product & (1u << i))
            product ^= 0x1100Bu << (i - 16);
    }
    return static_cast<uint16_t>(product);
}

TEST(Gf16, MultiplyAgreesWithShiftAndAdd) {
    struct TRow {
        uint16_t A, B, Expected;
    } rows[] = {
        {0, 0, 0},           {0, 0xFFFF, 0},      {0xFFFF, 0, 0},      {1, 1, 1},
        {1, 0xFFFF, 0xFFFF}, {0xFFFF, 1, 0xFFFF}, {2, 0x8000, 0x100B},  // x^16 = x^12 + x^3 + x + 1
        {0x8000, 2, 0x100B}, {4, 0x4000, 0x100B}, {2, 0x100B, 0x2016},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(std::to_string(row.A) + " * " + std::to_string(row.B));
        EXPECT_EQ(row.Expected, Gf16Multiply(row.A, row.B));
        EXPECT_EQ(row.Expected, ShiftAndAdd(row.A, row.B));
    }
    for (uint16_t b : {uint16_t{2}, uint16_t{3}, uint16_t{0x8000}, uint16_t{0xFFFF}, uint16_t{0x100B}}) {
        for (uint32_t a = 0; a <= 0xFFFF; ++a)
            ASSERT_EQ(ShiftAndAdd(static_cast<uint16_t>(a), b), Gf16Multiply(static_cast<uint16_t>(a), b)) << a;
    }
}

TEST(Gf16, EveryElementHasItsInverseAndDivisionUndoesMultiplication) {
    for (uint32_t a = 1; a <= 0xFFFF; ++a) {
        const uint16_t inverse = Gf16Divide(1, static_cast<uint16_t>(a));
        ASSERT_EQ(1, ShiftAndAdd(static_cast<uint16_t>(a), inverse)) << a;
        ASSERT_EQ(1, Gf16Power(static_cast<uint16_t>(a), 65535)) << a;
        ASSERT_EQ(inverse, Gf16Power(static_cast<uint16_t>(a), 65534)) << a;
    }
    struct TRow {
        uint16_t A, B, Expected;
    } rows[] = {
        {0, 1, 0}, {0, 0xFFFF, 0}, {0xFFFF, 1, 0xFFFF}, {0xFFFF, 0xFFFF, 1}, {0x100B, 2, 0x8000}, {1, 0, 0}, {0, 0, 0},
    };
    for (const TRow& row : rows)
        EXPECT_EQ(row.Expected, Gf16Divide(row.A, row.B)) << row.A << " / " << row.B;
    for (uint16_t b : {uint16_t{1}, uint16_t{2}, uint16_t{0x8000}, uint16_t{0xFFFF}})
        for (uint32_t a = 0; a <= 0xFFFF; a += 257)
            ASSERT_EQ(a, Gf16Divide(Gf16Multiply(static_cast<uint16_t>(a), b), b)) << a << " * " << b;
}

TEST(Gf16, PowerAtTheEdgesOfTheExponent) {
    struct TRow {
        uint16_t Base;
        uint64_t Exponent;
        uint16_t Expected;
    } rows[] = {
        {0, 0, 1},
        {0, 1, 0},
        {0, UINT64_MAX, 0},
        {1, UINT64_MAX, 1},
        {0xFFFF, 0, 1},
        {0xFFFF, 1, 0xFFFF},
        {2, 15, 0x8000},
        {2, 16, 0x100B},
        {2, 65534, 0x8805},  // the inverse of 2
        {2, 65535, 1},
        {2, 65536, 2},
        {2, 65535 * 7, 1},
        // 2^64 = 65536^4 = 1, so that 2^64 - 1 is a multiple of 65535.
        {2, UINT64_MAX, 1},
        {2, UINT64_MAX - 1, 0x8805},
        // The largest log times the largest exponents: 2^-1 to the power -1.
        {0x8805, UINT64_MAX, 1},
        {0x8805, UINT64_MAX - 1, 2},
        {0x8805, 65534, 2},
    };
    for (const TRow& row : rows)
        EXPECT_EQ(row.Expected, Gf16Power(row.Base, row.Exponent)) << row.Base << " ^ " << row.Exponent;
    EXPECT_EQ(1, ShiftAndAdd(0x8805, 2));
}

// 2 generates the whole group: its powers meet 1 again only at 65535.
TEST(Gf16, TwoHasOrder65535) {
    std::vector<bool> seen(65536, false);
    uint16_t x = 1;
    for (uint32_t e = 0; e < 65535; ++e) {
        ASSERT_FALSE(seen[x]) << "2^" << e << " came round before";
        seen[x] = true;
        ASSERT_EQ(x, Gf16Power(2, e));
        x = ShiftAndAdd(x, 2);
    }
    EXPECT_EQ(1, x);
    EXPECT_FALSE(seen[0]);
}

TEST(Gf16, InputConstants) {
    const uint16_t first[] = {2, 4, 16, 128, 256, 2048, 8192, 16384, 4107, 32856, 17132};
    for (uint32_t i = 0; i < std::size(first); ++i)
        EXPECT_EQ(first[i], Par2InputConstant(i)) << i;
    // Every one is 2^n for the next n prime to 65535, found by plain counting.
    std::set<uint16_t> distinct;
    uint32_t n = 0;
    for (uint32_t i = 0; i < 32768; ++i) {
        do
            ++n;
        while (n % 3 == 0 || n % 5 == 0 || n % 17 == 0 || n % 257 == 0);
        const uint16_t c = Par2InputConstant(i);
        ASSERT_EQ(Gf16Power(2, n), c) << i;
        distinct.insert(c);
    }
    EXPECT_EQ(65534u, n);
    EXPECT_EQ(32768u, distinct.size());
    EXPECT_EQ(0u, distinct.count(0));
    for (uint32_t beyond : {32768u, 32769u, UINT32_MAX})
        EXPECT_EQ(0, Par2InputConstant(beyond)) << beyond;
}

struct TWay {
    std::string Name;
    TGf16MultiplyAdd MultiplyAdd;
};

std::vector<TWay> EveryWay() {
    std::vector<TWay> ways = {
        {"Gf16MultiplyAdd", [](uint16_t f, const uint8_t* s, uint8_t* t, size_t n) { Gf16MultiplyAdd(f, s, t, n); }}};
    TGf16Kernel kernels[Gf16MaxKernels];
    const size_t count = Gf16Kernels(kernels);
    for (size_t k = 0; k < count; ++k)
        ways.push_back({kernels[k].Name, kernels[k].MultiplyAdd});
    return ways;
}

// Lengths at the vector steps and around them, odd alignments of either
// side; the bytes past the end must stay as they were.
TEST(Gf16, EveryKernelAgreesWithTheReference) {
    const std::string source = NoiseBytes(65536 + 64, 5);
    const std::string start = NoiseBytes(65536 + 64, 6);
    const size_t lengths[] = {0, 2, 30, 32, 34, 62, 64, 66, 126, 128, 130, 4094, 4096, 4098, 65536 + 6};
    const uint16_t factors[] = {0, 1, 2, 0x8000, 0xFFFF, 0x100B, 0x5A3C, 0xC001};
    for (const TWay& way : EveryWay()) {
        for (size_t length : lengths) {
            for (size_t sourceAt : {0, 1, 3}) {
                for (size_t targetAt : {0, 1, 6}) {
                    for (uint16_t factor : factors) {
                        SCOPED_TRACE(way.Name + ", length " + std::to_string(length) + ", source at " +
                                     std::to_string(sourceAt) + ", target at " + std::to_string(targetAt) +
                                     ", factor " + std::to_string(factor));
                        std::string expected = start.substr(0, length + 16);
                        std::string got = expected;
                        const auto* s = reinterpret_cast<const uint8_t*>(source.data()) + sourceAt;
                        Gf16MultiplyAddReference(factor, s, expected.data() + targetAt, length);
                        way.MultiplyAdd(factor, s, reinterpret_cast<uint8_t*>(got.data()) + targetAt, length);
                        ASSERT_TRUE(expected == got);
                    }
                }
            }
        }
    }
}

TEST(Gf16, ReferenceIsShiftAndAddWordByWordAndLeavesAnOddByte) {
    const uint8_t source[] = {0x34, 0x12, 0xFF, 0xFF, 0x00, 0x80, 0x77};
    const uint16_t factor = 0xBEEF;
    for (auto multiplyAdd : {Gf16MultiplyAddReference, Gf16MultiplyAdd}) {
        uint8_t target[] = {1, 2, 3, 4, 5, 6, 7};
        multiplyAdd(factor, source, target, sizeof target);
        for (size_t w = 0; w < 3; ++w) {
            const uint16_t product = ShiftAndAdd(factor, static_cast<uint16_t>(source[2 * w] | source[2 * w + 1] << 8));
            EXPECT_EQ(static_cast<uint8_t>((2 * w + 1) ^ product), target[2 * w]) << w;
            EXPECT_EQ(static_cast<uint8_t>((2 * w + 2) ^ (product >> 8)), target[2 * w + 1]) << w;
        }
        EXPECT_EQ(7, target[6]);
    }
}

using TInto = std::function<void(const uint8_t*, const uint16_t*, uint8_t* const*, size_t, size_t)>;

// The public call, and for every kernel its own way and the pieces of its
// MultiplyAdd.
std::vector<std::pair<std::string, TInto>> EveryWayInto() {
    std::vector<std::pair<std::string, TInto>> ways = {
        {"Gf16MultiplyAddInto", [](const uint8_t* s, const uint16_t* f, uint8_t* const* t, size_t c, size_t n) {
             Gf16MultiplyAddInto(s, f, reinterpret_cast<void* const*>(t), c, n);
         }}};
    TGf16Kernel kernels[Gf16MaxKernels];
    const size_t count = Gf16Kernels(kernels);
    for (size_t k = 0; k < count; ++k) {
        const TGf16MultiplyAdd multiplyAdd = kernels[k].MultiplyAdd;
        ways.push_back({std::string(kernels[k].Name) + " in pieces",
                        [multiplyAdd](const uint8_t* s, const uint16_t* f, uint8_t* const* t, size_t c, size_t n) {
                            Gf16MultiplyAddIntoPieces(multiplyAdd, s, f, t, c, n);
                        }});
        if (kernels[k].MultiplyAddInto != nullptr)
            ways.push_back({kernels[k].Name, kernels[k].MultiplyAddInto});
    }
    return ways;
}

// Lengths within one piece of the source, across pieces and at their ends,
// odd alignments of each target, factors of 0 and 1 among the others.
TEST(Gf16, MultiplyAddIntoIsEachTargetOnItsOwn) {
    const std::string source = NoiseBytes(65536 + 16, 9);
    const size_t lengths[] = {0, 2, 66, 4094, 4096, 4098, 8192 + 34, 3 * 8192 + 2, 65536 + 6};
    for (const auto& [name, into] : EveryWayInto()) {
        for (size_t count : {1, 3, 19}) {
            for (size_t length : lengths) {
                SCOPED_TRACE(name + ", " + std::to_string(count) + " targets, length " + std::to_string(length));
                std::vector<std::string> expected;
                std::vector<std::string> got;
                std::vector<uint16_t> factors;
                for (size_t k = 0; k < count; ++k) {
                    expected.push_back(NoiseBytes(length + 8, static_cast<uint32_t>(100 + k)));
                    got.push_back(expected.back());
                    factors.push_back(k == 1 ? 0 : k == 2 ? 1 : Par2InputConstant(static_cast<uint32_t>(k * 1000)));
                }
                std::vector<uint8_t*> targets;
                const auto* s = reinterpret_cast<const uint8_t*>(source.data()) + 1;
                for (size_t k = 0; k < count; ++k) {
                    targets.push_back(reinterpret_cast<uint8_t*>(got[k].data()) + k % 3);
                    Gf16MultiplyAddReference(factors[k], s, expected[k].data() + k % 3, length);
                }
                into(s, factors.data(), targets.data(), count, length);
                for (size_t k = 0; k < count; ++k)
                    ASSERT_TRUE(expected[k] == got[k]) << "target " << k;
            }
        }
    }
}

std::vector<uint16_t> Product(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b, size_t n) {
    std::vector<uint16_t> p(n * n, 0);
    for (size_t r = 0; r < n; ++r)
        for (size_t c = 0; c < n; ++c)
            for (size_t k = 0; k < n; ++k)
                p[r * n + c] ^= ShiftAndAdd(a[r * n + k], b[k * n + c]);
    return p;
}

std::vector<uint16_t> Identity(size_t n) {
    std::vector<uint16_t> m(n * n, 0);
    for (size_t i = 0; i < n; ++i)
        m[i * n + i] = 1;
    return m;
}

// Row r holds the input constants to the power of recovery exponent r:
// what a repair of n lost slices from n recovery slices inverts.
std::vector<uint16_t> RecoveryRows(size_t n, uint32_t firstInput) {
    std::vector<uint16_t> m(n * n);
    for (size_t r = 0; r < n; ++r)
        for (size_t c = 0; c < n; ++c)
            m[r * n + c] = Gf16Power(Par2InputConstant(firstInput + static_cast<uint32_t>(c * 7)), r);
    return m;
}

TEST(Gf16, InvertedTimesOriginalIsTheIdentity) {
    struct TRow {
        std::string Name;
        std::vector<uint16_t> Matrix;
        size_t N;
    } rows[] = {
        {"1 x 1 identity", Identity(1), 1},
        {"7 x 7 identity", Identity(7), 7},
        {"1 x 1 of 0xFFFF", {0xFFFF}, 1},
        {"zero in the first pivot", {0, 1, 1, 0}, 2},
        {"zero pivots on the diagonal", {0, 3, 0, 5, 0, 7, 0, 0, 9}, 3},
        {"2 x 2 recovery rows", RecoveryRows(2, 0), 2},
        {"10 x 10 recovery rows", RecoveryRows(10, 0), 10},
        {"40 x 40 recovery rows from the last constants", RecoveryRows(40, 32768 - 280), 40},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        std::vector<uint16_t> inverse = row.Matrix;
        ASSERT_TRUE(Gf16Invert(inverse, row.N));
        EXPECT_EQ(Identity(row.N), Product(row.Matrix, inverse, row.N));
        EXPECT_EQ(Identity(row.N), Product(inverse, row.Matrix, row.N));
    }
    std::vector<uint16_t> empty;
    EXPECT_TRUE(Gf16Invert(empty, 0));
}

TEST(Gf16, SingularOrMisshapenMatricesAreRefused) {
    std::vector<uint16_t> dependent = RecoveryRows(5, 3);
    for (size_t c = 0; c < 5; ++c)  // row 4 = row 1 + 0x1234 * row 2
        dependent[4 * 5 + c] = dependent[1 * 5 + c] ^ Gf16Multiply(0x1234, dependent[2 * 5 + c]);
    struct TRow {
        std::string Name;
        std::vector<uint16_t> Matrix;
        size_t N;
    } rows[] = {
        {"1 x 1 zero", {0}, 1},
        {"3 x 3 zero", std::vector<uint16_t>(9, 0), 3},
        {"two equal rows", {1, 2, 3, 4, 5, 6, 1, 2, 3}, 3},
        {"a zero column", {1, 0, 2, 0}, 2},
        {"a row from two others", dependent, 5},
        {"too few elements", {1, 0, 0}, 2},
        {"too many elements", {1, 0, 0, 1, 0}, 2},
        {"elements but n is 0", {1}, 0},
    };
    for (TRow& row : rows)
        EXPECT_FALSE(Gf16Invert(row.Matrix, row.N)) << row.Name;
}

}  // namespace
