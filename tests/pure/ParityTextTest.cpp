// The parity file's text and block: what the writer spells the reader takes
// back, and every kind of damage or foreign content is refused. The XOR's
// fast path against the bytewise reference.
#include "foundation/checksum/Crc32.h"
#include "foundation/checksum/XorBlock.h"
#include "index/ParityText.h"

#include "tests/support/Noise.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

TParityLayout SampleLayout() {
    TParityLayout layout;
    layout.PartSize = 64;
    layout.Volumes = {{{{"f.bin.001", 64}}},
                      {{{"f.bin.002", 40}, {"f.bin.h001", 24}}},
                      {{{"f.bin.h002", 7}}}};
    return layout;
}

std::string SampleFile() {
    const TParityLayout layout = SampleLayout();
    const std::string block = NoiseBytes(64, 9);
    return BuildParityHead(layout, block.data()) + block;
}

// The file with its crc line made right again for what it now holds, so
// that a case reaches the check it is about rather than the crc.
std::string Resealed(const std::string& file) {
    const size_t crcLine = file.find("crc\t");
    const size_t after = file.find("\r\n", crcLine) + 2;
    const uint32_t crc =
        Crc32(Crc32(0, file.data(), crcLine), file.data() + after, file.size() - after);
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", crc);
    return file.substr(0, crcLine) + "crc\t" + hex + "\r\n" + file.substr(after);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

}  // namespace

TEST(ParityText, WhatIsWrittenIsReadBack) {
    const std::string file = SampleFile();
    TParityLayout layout;
    size_t offset = 0;
    ASSERT_TRUE(ParseParity(file, layout, offset));
    EXPECT_EQ(64, layout.PartSize);
    ASSERT_EQ(3u, layout.Volumes.size());
    ASSERT_EQ(2u, layout.Volumes[1].Files.size());
    EXPECT_EQ("f.bin.h001", layout.Volumes[1].Files[1].Name);
    EXPECT_EQ(24, layout.Volumes[1].Files[1].Size);
    EXPECT_EQ(64, layout.Volumes[1].Size());
    EXPECT_EQ(NoiseBytes(64, 9), file.substr(offset));
    EXPECT_EQ(0u, file.find("FENDRIX PARITY 1\r\npart size\t64\r\nvolume\tf.bin.001\t64\r\n"));
}

TEST(ParityText, DamagedOrForeignFilesAreRefused) {
    const std::string good = SampleFile();
    const size_t block = good.size() - 64;
    struct TRow {
        const char* Label;
        std::function<std::string()> Make;
    } rows[] = {
        {"empty", [] { return std::string(); }},
        {"one bit of the block", [&] { std::string f = good; f[block + 10] ^= 1; return f; }},
        {"one bit of the text", [&] { return Resealed(good).replace(good.find("001"), 1, "1"); }},
        {"the block one byte short", [&] { return good.substr(0, good.size() - 1); }},
        {"one byte too many", [&] { return good + "x"; }},
        {"the crc in lower case", [&] {
             std::string f = good;
             const size_t at = f.find("crc\t") + 4;
             for (size_t i = at; i < at + 8; ++i)
                 f[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(f[i])));
             return f == good ? f + "?" : f;
         }},
        {"another magic", [&] { return Resealed(Replaced(good, "PARITY 1", "PARITY 2")); }},
        {"no volume", [&] {
             const size_t from = good.find("volume");
             return Resealed(good.substr(0, from) + good.substr(good.find("crc\t")));
         }},
        {"a volume larger than a part", [&] { return Resealed(Replaced(good, "h001\t24", "h001\t25")); }},
        {"a file larger than a part", [&] { return Resealed(Replaced(good, "001\t64", "001\t65")); }},
        {"a size with a sign", [&] { return Resealed(Replaced(good, "h002\t7", "h002\t+7")); }},
        {"a size with a blank", [&] { return Resealed(Replaced(good, "h002\t7", "h002\t 7")); }},
        {"a size of 19 digits", [&] { return Resealed(Replaced(good, "h002\t7", "h002\t0000000000000000007")); }},
        {"a name with a path", [&] { return Resealed(Replaced(good, "f.bin.h002", "..\\f.bin.h002")); }},
        {"a name with a slash", [&] { return Resealed(Replaced(good, "f.bin.h002", "x/f.bin.h002")); }},
        {"a name with a drive", [&] { return Resealed(Replaced(good, "f.bin.h002", "C:f.bin.h002")); }},
        {"an empty name", [&] { return Resealed(Replaced(good, "f.bin.h002\t", "\t")); }},
        {"a name twice", [&] { return Resealed(Replaced(good, "f.bin.h002", "f.bin.001")); }},
        {"a name without a size", [&] { return Resealed(Replaced(good, "\tf.bin.h002\t7", "\tf.bin.h002")); }},
        {"part size zero", [&] { return Resealed(Replaced(good, "part size\t64", "part size\t0")); }},
        {"part size beyond the largest", [&] {
             return Resealed(Replaced(good, "part size\t64", "part size\t" + std::to_string(ParityLargestPart + 1)));
         }},
        {"lines ended by LF alone", [&] {
             std::string f = good.substr(0, block);
             std::string out;
             for (char c : f)
                 if (c != '\r')
                     out += c;
             return out + good.substr(block);
         }},
        {"an unknown line", [&] { return Resealed(Replaced(good, "crc\t", "note\tx\r\ncrc\t")); }},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        const std::string file = row.Make();
        ASSERT_NE(good, file);
        TParityLayout layout;
        size_t offset = 0;
        EXPECT_FALSE(ParseParity(file, layout, offset));
    }
    // The resealing itself leaves a good file good: the rows above fail for
    // what they change, not for the crc.
    TParityLayout layout;
    size_t offset = 0;
    EXPECT_TRUE(ParseParity(Resealed(good), layout, offset));
}

TEST(XorBlock, EveryLengthAndAlignmentMatchesTheBytewiseReference) {
    const std::string source = NoiseBytes(300, 1);
    const std::string start = NoiseBytes(300, 2);
    for (size_t targetShift = 0; targetShift < 8; ++targetShift) {
        for (size_t sourceShift = 0; sourceShift < 8; ++sourceShift) {
            for (size_t length : {0, 1, 7, 8, 9, 31, 32, 33, 63, 64, 65, 200, 280}) {
                SCOPED_TRACE(std::to_string(targetShift) + "/" + std::to_string(sourceShift) + "/" +
                             std::to_string(length));
                std::string fast = start;
                std::string slow = start;
                XorInto(&fast[targetShift], &source[sourceShift], length);
                XorIntoBytewise(&slow[targetShift], &source[sourceShift], length);
                EXPECT_EQ(slow, fast);
                // Nothing beside the range is touched.
                EXPECT_EQ(start.substr(targetShift + length), fast.substr(targetShift + length));
            }
        }
    }
    // Twice is none: the parity's undo.
    std::string twice = start;
    XorInto(&twice[0], source.data(), 300);
    EXPECT_NE(start, twice);
    XorInto(&twice[0], source.data(), 300);
    EXPECT_EQ(start, twice);
}
