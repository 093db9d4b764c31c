// The command line as a user meets it in a shell: usage errors that start
// no job, output that standard output refuses, and equal parts.
#include "Scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {

TEST(CommandLine, UsageErrorsStartNoJobAndOutputErrorsFail) {
    struct TRow {
        const char* Script;
        int Code;
        const char* ErrHolds;
    } rows[] = {
        {"\"$FENDRIX\"", 12, "fendrix list ANYFILE"},
        {"\"$FENDRIX\" split f.bin", 12, "A file operand is missing."},
        {"\"$FENDRIX\" split f.bin out extra", 12, "Extra operand \"extra\"."},
        {"\"$FENDRIX\" join -q", 12, "fendrix join ANYFILE"},
        {"\"$FENDRIX\" split f.bin out --size 1K --parts 2", 12, "cannot be used together"},
        {"\"$FENDRIX\" split f.bin out --color", 12, "\"--color\""},
        {"\"$FENDRIX\" split f.bin out -r 0", 12, "from 1 to 999"},
        {"\"$FENDRIX\" split f.bin out --recovery=1000", 12, "from 1 to 999"},
        {"\"$FENDRIX\" split f.bin out -qr x", 12, "from 1 to 999"},
        {"\"$FENDRIX\" --help > /dev/full", 9, "standard output"},
        {"\"$FENDRIX\" --version > /dev/full", 9, "standard output"},
        {"\"$FENDRIX\" split f.bin out -q && \"$FENDRIX\" list out/f.bin.001 > /dev/full", 9, "standard output"},
        {"\"$FENDRIX\" split f.bin nowhere", 2, "nowhere: File or Directory not found!"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Script);
        TNativeScratch dir;
        dir.Write("f.bin", "bytes");
        dir.MakeDir("out");
        const TNativeRun run = RunShell(row.Script, dir.Dir);
        EXPECT_EQ(row.Code, run.Code);
        EXPECT_NE(std::string::npos, run.Err.find(row.ErrHolds)) << run.Err;
        if (row.Code == 12) {
            EXPECT_EQ("", run.Out);
            EXPECT_EQ(0, dir.Count("out"));
        }
    }
}

// N data parts of one size, the last one smaller (or the empty one after an
// exact multiple); where the bytes are too few for N parts of one size,
// fewer parts and never more.
TEST(CommandLine, EqualParts) {
    struct TRow {
        int64_t Bytes;
        int Parts;
        int64_t PartSize;
        int DataParts;
    } rows[] = {
        {10, 3, 4, 3},       {9, 3, 4, 3},           {12, 5, 3, 5},   {2500, 1, 2501, 1},
        {1000, 999, 2, 501}, {0, 4, 1, 1},           {3 * 1048576, 7, 449390, 7},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(std::to_string(row.Bytes) + " bytes in " + std::to_string(row.Parts));
        TNativeScratch dir;
        dir.Write("f.bin", std::string(static_cast<size_t>(row.Bytes), 'e'));
        dir.MakeDir("out");
        const TNativeRun run = RunNative({"split", "f.bin", "out", "-n", std::to_string(row.Parts)}, dir.Dir);
        ASSERT_EQ(0, run.Code) << run.Err;
        int dataParts = 0;
        for (const auto& entry : fs::directory_iterator(dir.Path("out"))) {
            const std::string name = entry.path().filename().string();
            if (name.size() == 9 && name.compare(0, 6, "f.bin.") == 0 && std::isdigit(name[6]))
                ++dataParts;
        }
        EXPECT_EQ(row.DataParts, dataParts);
        EXPECT_EQ(std::min(row.Bytes, row.PartSize), static_cast<int64_t>(fs::file_size(dir.Path("out/f.bin.001"))));
        ASSERT_EQ(0, RunNative({"join", "out/f.bin.001", "."}, dir.Dir).Code);
    }
}

}  // namespace
