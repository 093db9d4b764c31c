// The CRC-32 against the check values that zip and SFV tools agree on, and
// every fast path against the plain bitwise reference.
#include "foundation/checksum/Crc32.h"
#include "foundation/checksum/FoldCrc32.h"

#include "tests/support/Noise.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Crc32, CheckValues) {
    struct TRow {
        std::string Text;
        uint32_t Expected;
    } rows[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
        {std::string(1000, '\0'), 0x060B1780u},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Text.size() < 50 ? row.Text : "1000 zero bytes");
        EXPECT_EQ(row.Expected, Crc32(0, row.Text.data(), row.Text.size()));
        EXPECT_EQ(row.Expected, Crc32Bitwise(0, row.Text.data(), row.Text.size()));
    }
}

// Lengths around every boundary of the fast paths (8-byte slices, 16-byte
// blocks, 64-byte folds, the folding threshold), at every alignment, in one
// call and cut in two at several places.
TEST(Crc32, EveryLengthAndAlignmentAgreesWithTheReference) {
    const std::string data = NoiseBytes(5000, 7);
    const size_t lengths[] = {0, 1, 7, 8, 9, 15, 16, 17, 63, 64, 65, 127, 128, 255, 256, 257, 271, 319, 320, 321,
                              1023, 1024, 1025, 4000, 4096 + 13};
    for (size_t offset = 0; offset < 16; ++offset) {
        for (size_t length : lengths) {
            SCOPED_TRACE("offset " + std::to_string(offset) + ", length " + std::to_string(length));
            const uint8_t* p = reinterpret_cast<const uint8_t*>(data.data()) + offset;
            const uint32_t expected = Crc32Bitwise(0, p, length);
            ASSERT_EQ(expected, Crc32(0, p, length));
            for (size_t cut : {size_t{1}, length / 3, length / 2, length > 300 ? length - 257 : 0}) {
                if (cut > length)
                    continue;
                ASSERT_EQ(expected, Crc32(Crc32(0, p, cut), p + cut, length - cut)) << "cut at " << cut;
            }
        }
    }
}

// The CRC of two pieces from theirs alone, around the lengths where the
// folding starts and around a power of two, and with empty pieces.
TEST(Crc32, CombinedFromThePiecesCrcs) {
    std::string bytes(4 << 20, '\0');
    uint32_t x = 12345;
    for (char& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<char>(x >> 23);
    }
    for (const size_t cut : {size_t{0}, size_t{1}, size_t{15}, size_t{16}, size_t{255}, size_t{256}, size_t{4096},
                             size_t{1} << 20, (size_t{1} << 21) + 3}) {
        for (const size_t tail : {size_t{0}, size_t{1}, size_t{68}, size_t{65536}, size_t{1453568}}) {
            SCOPED_TRACE(std::to_string(cut) + " then " + std::to_string(tail));
            const uint32_t a = Crc32(0, bytes.data(), cut);
            const uint32_t b = Crc32(0, bytes.data() + cut, tail);
            EXPECT_EQ(Crc32(0, bytes.data(), cut + tail), Crc32Combine(a, b, tail));
        }
    }
}

TEST(Crc32, KeptAcrossPiecesAsAFileIsCopied) {
    const std::string data = NoiseBytes(131072 * 3 + 5, 3);
    TCrc32 crc;
    for (size_t at = 0; at < data.size(); at += 131072)
        crc.Add(data.data() + at, std::min<size_t>(131072, data.size() - at));
    EXPECT_EQ(Crc32Bitwise(0, data.data(), data.size()), crc.Value);
}

}  // namespace

// Both ways of folding, whichever one the processor makes Crc32 take: the
// 16 bytes left over, run through from a zero register, give the reference.
TEST(Crc32, NarrowAndWideFoldingAgree) {
    if (!CanFoldCrc32())
        GTEST_SKIP() << "no carry-less multiplication on this processor";
    const std::string data = NoiseBytes(4096 + 64, 11);
    struct TWay {
        const char* Name;
        bool Usable;
        void (*Fold)(uint32_t, const uint8_t*, size_t, uint8_t*);
    } ways[] = {{"narrow", true, FoldCrc32Narrow}, {"wide", CanFoldCrc32Wide(), FoldCrc32}};
    for (const TWay& way : ways) {
        if (!way.Usable)
            continue;
        for (size_t length : {size_t{64}, size_t{128}, size_t{144}, size_t{256}, size_t{1024}, size_t{4096 + 48}}) {
            for (uint32_t crc : {0u, 0xCBF43926u}) {
                SCOPED_TRACE(std::string(way.Name) + ", length " + std::to_string(length) + ", crc " +
                             std::to_string(crc));
                uint8_t block[16];
                way.Fold(~crc, reinterpret_cast<const uint8_t*>(data.data()), length, block);
                // A zero register is what the all-ones start value gives.
                EXPECT_EQ(Crc32Bitwise(crc, data.data(), length), Crc32Bitwise(0xFFFFFFFFu, block, 16));
            }
        }
    }
}
