// Sets made from standard input and joined to standard output, as shell
// pipelines with tar and cat on both ends: the stream is never a file that
// can be measured, sought or read again.
#include "Scratch.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

// A tree through tar, at sizes around the pipe's 64 KiB and the copy
// buffer's 128 KiB, and the default: what comes out of the join is the tree.
TEST(Pipes, TarThroughSplitAndJoinRebuildsTheTree) {
    for (const char* size : {"4097", "65536", "131073", "floppy"}) {
        SCOPED_TRACE(size);
        TNativeScratch dir;
        dir.MakeDir("tree/sub");
        dir.Write("tree/big.bin", RandomBytes(3 * 1048576 + 7, 1));
        dir.Write("tree/sub/small.txt", "small");
        dir.MakeDir("out");
        dir.MakeDir("back");
        const TNativeRun run = RunShell(std::string("tar -c tree | \"$FENDRIX\" split - out --name t.tar --size ") +
                                            size + " && \"$FENDRIX\" join out/t.tar.002 - | tar -x -C back && "
                                                   "diff -r tree back/tree && tar -c tree | cmp - <(\"$FENDRIX\" "
                                                   "join out/t.tar.001 -)",
                                        dir.Dir);
        EXPECT_EQ(0, run.Code) << run.Err;
        EXPECT_EQ("", run.Err);
    }
}

// Streams of every awkward length, with and without a parity file; the
// header records the bytes that were read.
TEST(Pipes, StreamsOfEveryLengthComeBackWhole) {
    struct TRow {
        size_t Bytes;
        const char* Size;
        bool Parity;
    } rows[] = {
        {0, "1000", false},          {1, "1000", false},          {999, "1", false},
        {65535, "65536", false},     {65536, "65536", true},      {3 * 65536 + 1, "65536", true},
        {1453568, "floppy", false},  {5 * 1048576 + 3, "1M", true}, {131072 * 3, "131072", false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(std::to_string(row.Bytes) + " bytes, size " + row.Size + (row.Parity ? ", parity" : ""));
        TNativeScratch dir;
        dir.Write("in.bin", RandomBytes(row.Bytes, static_cast<uint32_t>(row.Bytes)));
        dir.MakeDir("out");
        const std::string split = std::string("cat in.bin | \"$FENDRIX\" split - out --name s.bin -s ") + row.Size +
                                  (row.Parity ? " --parity" : "");
        const TNativeRun run = RunShell(split + " && \"$FENDRIX\" join out/s.bin.h001 - | cat > back.bin", dir.Dir);
        EXPECT_EQ(0, run.Code) << run.Err;
        EXPECT_TRUE(dir.Read("in.bin") == dir.Read("back.bin"));
        const TNativeRun list = RunNative({"list", "out/s.bin.001"}, dir.Dir);
        EXPECT_EQ(0, list.Code) << list.Err;
        EXPECT_EQ(0u, list.Out.find("f " + std::to_string(row.Bytes) + " ")) << list.Out;
    }
}

// The join checks a part whole before any byte of it reaches the pipe: the
// consumer gets exactly the parts before a damaged one. With a parity file
// the damaged or missing part is rebuilt and the stream is whole.
TEST(Pipes, NoByteOfADamagedPartReachesThePipe) {
    struct TRow {
        const char* Label;
        bool Parity;
        bool Remove;
        int Code;
        size_t BytesOut;
    } rows[] = {
        {"damaged, no parity", false, false, 13, 2 * 65536},
        {"missing, no parity", false, true, 1, 2 * 65536},
        {"damaged, parity", true, false, 0, 4 * 65536 + 100},
        {"missing, parity", true, true, 0, 4 * 65536 + 100},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TNativeScratch dir;
        const std::string bytes = RandomBytes(4 * 65536 + 100, 7);
        dir.Write("in.bin", bytes);
        dir.MakeDir("out");
        ASSERT_EQ(0, RunNative({"split", "in.bin", "out", "-qs", "65536", row.Parity ? "--parity" : "--quiet"},
                               dir.Dir)
                         .Code);
        if (row.Remove) {
            dir.Remove("out/in.bin.003");
        } else {
            std::string part = dir.Read("out/in.bin.003");
            part[65535] ^= 1;
            dir.Write("out/in.bin.003", part);
        }
        const TNativeRun run =
            RunShell("{ \"$FENDRIX\" join out/in.bin.001 -; echo $? > code; } | cat > back.bin", dir.Dir);
        EXPECT_EQ(std::to_string(row.Code) + "\n", dir.Read("code")) << run.Err;
        EXPECT_TRUE(dir.Read("back.bin") == bytes.substr(0, row.BytesOut)) << dir.Read("back.bin").size();
        EXPECT_EQ(row.Code == 0, run.Err.empty()) << run.Err;
    }
}

// What a stream or a set cannot do through a pipe, refused with a clear
// code, and a stream that would need part 1000.
TEST(Pipes, RefusalsAndTheLimitOfParts) {
    struct TRow {
        const char* Label;
        const char* Script;
        int Code;
        const char* ErrHolds;
    } rows[] = {
        {"a tree to standard output", "\"$FENDRIX\" split tree out -q && \"$FENDRIX\" join out/tree.001 - > got", 3,
         "only a set of one file"},
        {"1000 bytes in parts of 1", "head -c 1000 /dev/zero | \"$FENDRIX\" split - out --name z -s 1", 7,
         "999 parts of 1 bytes"},
        {"an endless stream", "\"$FENDRIX\" split - out --name z -s 1K < /dev/zero", 7, "--size"},
        {"no name", "echo x | \"$FENDRIX\" split - out", 12, "--name"},
        {"equal parts of a stream", "echo x | \"$FENDRIX\" split - out --name z -n 3", 12, "--parts"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TNativeScratch dir;
        dir.MakeDir("tree/sub");
        dir.Write("tree/sub/a.txt", "a");
        dir.MakeDir("out");
        const TNativeRun run = RunShell(row.Script, dir.Dir);
        EXPECT_EQ(row.Code, run.Code);
        EXPECT_NE(std::string::npos, run.Err.find(row.ErrHolds)) << run.Err;
        EXPECT_TRUE(!dir.Exists("got") || dir.Read("got").empty());
        // What a failed stream wrote stays: 999 full parts, no part 1000.
        if (row.Code == 7) {
            EXPECT_TRUE(dir.Exists("out/z.999"));
            EXPECT_FALSE(dir.Exists("out/z.1000"));
            EXPECT_FALSE(dir.Exists("out/z.h001"));
        }
    }
}

}  // namespace
