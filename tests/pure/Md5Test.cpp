#include "foundation/checksum/Md5.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Hex(const TMd5Digest& d) {
    std::string s;
    char b[3];
    for (uint8_t v : d) {
        std::snprintf(b, sizeof b, "%02x", v);
        s += b;
    }
    return s;
}

// RFC 1321's test suite, and lengths around the 56-byte padding edge and
// the 64-byte block (digests from Python's hashlib).
TEST(Md5Test, KnownDigests) {
    struct Row {
        std::string Text;
        const char* Digest;
    } rows[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {[] {
             std::string s;
             for (int i = 0; i < 8; ++i)
                 s += "1234567890";
             return s;
         }(),
         "57edf4a22be3c955ac49da2e2107b67a"},
        {std::string(55, 'x'), "04364420e25c512fd958a70738aa8f72"},
        {std::string(56, 'x'), "668a72d5ba17f08e62dabcafad6db14b"},
        {std::string(64, 'x'), "c1bb4f81d892b2d57947682aeb252456"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.Digest, Hex(Md5Of(row.Text.data(), row.Text.size()))) << row.Text.size() << " bytes";
}

// Fed in pieces of every size the digest is that of the whole, and a copy
// taken midway goes on from the same point.
TEST(Md5Test, PiecesAndCopies) {
    std::vector<uint8_t> data(1000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 131 + 7);
    const TMd5Digest whole = Md5Of(data.data(), data.size());
    for (size_t piece : {1, 3, 55, 56, 63, 64, 65, 127, 999}) {
        TMd5 md5;
        for (size_t at = 0; at < data.size(); at += piece)
            md5.Add(data.data() + at, std::min(piece, data.size() - at));
        EXPECT_EQ(Hex(whole), Hex(md5.Finish())) << piece;
    }
    TMd5 first;
    first.Add(data.data(), 500);
    TMd5 copy = first;
    copy.Add(data.data() + 500, 500);
    EXPECT_EQ(Hex(whole), Hex(copy.Finish()));
    EXPECT_EQ(Hex(Md5Of(data.data(), 500)), Hex(first.Finish()));
}

}  // namespace

namespace {

// Streams side by side give each stream's own digest, for counts around
// the eight lanes (fewer fill spare lanes), lengths around a block, streams
// that stand in the middle of a block, all at the same place (they fill
// their blocks first) or each at its own (one at a time).
TEST(Md5Test, StreamsSideBySide) {
    struct Row {
        size_t Count;
        size_t Length;
        size_t Started;
        size_t Stagger;
    } rows[] = {{1, 64, 0, 0},    {7, 4096, 0, 0},    {8, 0, 0, 0},      {8, 63, 0, 0},   {8, 64, 0, 0},
                {8, 65, 0, 0},    {9, 4096, 0, 0},    {16, 640, 0, 0},   {17, 100000, 0, 0}, {8, 4096, 3, 0},
                {12, 192, 64, 0}, {2, 63, 0, 0},      {3, 4096, 0, 0},   {8, 4132, 36, 0}, {5, 200, 36, 0},
                {8, 91, 36, 0},   {8, 92, 36, 0},     {8, 4096, 1, 1},   {9, 1000, 60, 8}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.Count) + " streams of " + std::to_string(row.Length) + " after " +
                     std::to_string(row.Started));
        std::vector<std::vector<uint8_t>> data(row.Count);
        std::vector<TMd5> sideBySide(row.Count), alone(row.Count);
        std::vector<TMd5*> contexts;
        std::vector<const uint8_t*> pointers;
        for (size_t k = 0; k < row.Count; ++k) {
            const size_t started = row.Started + k * row.Stagger;
            data[k].resize(started + row.Length);
            for (size_t i = 0; i < data[k].size(); ++i)
                data[k][i] = static_cast<uint8_t>(i * 7 + k * 31 + (i >> 8));
            sideBySide[k].Add(data[k].data(), started);
            alone[k].Add(data[k].data(), data[k].size());
            contexts.push_back(&sideBySide[k]);
            pointers.push_back(data[k].data() + started);
        }
        Md5AddSideBySide(contexts.data(), pointers.data(), row.Count, row.Length);
        for (size_t k = 0; k < row.Count; ++k) {
            EXPECT_EQ(alone[k].Length(), sideBySide[k].Length());
            EXPECT_EQ(Hex(alone[k].Finish()), Hex(sideBySide[k].Finish())) << "stream " << k;
        }
    }
}

}  // namespace
