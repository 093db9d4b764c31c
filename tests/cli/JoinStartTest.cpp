// Where a join may start: any file of a set leads to all the others, a name
// without a dot to the set of bare numbers, and /NOHEADER joins the
// numbered parts alone.
#include "cli/JoinRuns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const uint64_t SourceTime = FileTimeAt(2019, 6, 30, 23, 59, 58, 999, 9999);

TEST(JoinStart, AnyFileOfTheSetLeadsToTheWholeSet) {
    // 3,500 bytes in parts of 1,000: 001 to 004 and a header of one or two
    // files.
    const std::vector<std::string> starts = {"movie.avi.001", "movie.avi.002", "movie.avi.004",
                                             "movie.avi.h001", "MOVIE.AVI.003"};
    for (const std::string& start : starts) {
        SCOPED_TRACE("start " + start);
        TScratchDir dir("any");
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        WritePatternFile(dir / "movie.avi", 3500, 7);
        SetLastWriteTimeOf(dir / "movie.avi", SourceTime);
        ASSERT_EQ(0, SplitSilently(dir / "movie.avi", dir / "parts", 1000));
        ASSERT_TRUE(FileExists(dir / "parts\\movie.avi.004"));

        ASSERT_EQ(0, JoinSilently(dir / ("parts\\" + start), dir / "out"));
        EXPECT_EQ(1, CountEntries(dir / "out"));
        EXPECT_TRUE(ReadFileBytes(dir / "out\\movie.avi") == PatternBytes(3500, 7));
        EXPECT_EQ(WholeMilliseconds(SourceTime), LastWriteTimeOf(dir / "out\\movie.avi"));
    }
}

TEST(JoinStart, NameWithoutDotLooksForBareNumbers) {
    // A set whose files are called h001, 001, 002: choosing 002 (or any name
    // without a dot) leads to h001 in the same directory.
    for (const char* start : {"001", "002", "h001"}) {
        SCOPED_TRACE("start " + std::string(start));
        TScratchDir dir("nodot");
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        const std::string data = PatternBytes(1500, 3);
        WriteFileBytes(dir / "parts\\001", data.substr(0, 1000));
        WriteFileBytes(dir / "parts\\002", data.substr(1000));
        WriteFileBytes(dir / "parts\\h001", HeaderTextOf({{"rebuilt.bin", 'F', "1500", "20190630235958999"}}));

        ASSERT_EQ(0, JoinSilently(dir / ("parts\\" + std::string(start)), dir / "out"));
        EXPECT_TRUE(ReadFileBytes(dir / "out\\rebuilt.bin") == data);
        EXPECT_EQ(WholeMilliseconds(SourceTime), LastWriteTimeOf(dir / "out\\rebuilt.bin"));
    }
}

TEST(JoinStart, WithoutHeaderTheNumberedPartsMakeOneFile) {
    struct TCase {
        const char* Why;
        std::vector<int64_t> PartSizes;
        const char* Start;
        int Exit;
    } cases[] = {
        {"three parts from the first", {1000, 1000, 500}, "data.bin.001", 0},
        {"three parts from the last", {1000, 1000, 500}, "data.bin.003", 0},
        {"an empty last part", {10, 0}, "data.bin.002", 0},
        {"a single part is no set", {1000}, "data.bin.001", 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Why);
        TScratchDir dir("nohdr");
        MakeDirectory(dir / "out");
        std::string all;
        int n = 0;
        for (int64_t size : c.PartSizes) {
            const std::string bytes = PatternBytes(size, 20 + n);
            all += bytes;
            WriteFileBytes(dir / ("data.bin.00" + std::to_string(++n)), bytes);
        }
        // The rebuilt file carries the time of part 001, whatever the others say.
        const uint64_t firstTime = FileTimeAt(2001, 2, 3, 4, 5, 6, 789, 1);
        SetLastWriteTimeOf(dir / "data.bin.001", firstTime);
        for (int i = 2; i <= n; ++i)
            SetLastWriteTimeOf(dir / ("data.bin.00" + std::to_string(i)), FileTimeAt(2020, 1, 1, 0, 0, 0, i));

        ASSERT_EQ(c.Exit, JoinSilently(dir / c.Start, dir / "out", " /NOHEADER"));
        if (c.Exit != 0) {
            EXPECT_EQ(0, CountEntries(dir / "out"));
            continue;
        }
        EXPECT_EQ(1, CountEntries(dir / "out"));
        EXPECT_EQ(static_cast<int64_t>(all.size()), FileSizeOf(dir / "out\\data.bin"));
        EXPECT_TRUE(ReadFileBytes(dir / "out\\data.bin") == all);
        EXPECT_EQ(firstTime, LastWriteTimeOf(dir / "out\\data.bin"));
    }
}

// Without a header the parts' common name is the chosen file's name up to
// its last dot; a dot in a directory name above it is not part of that.
TEST(JoinStart, WithoutHeaderADottedDirectoryIsNoPartName) {
    TScratchDir dir("dotdir");
    MakeDirectory(dir / "my.dir");
    MakeDirectory(dir / "out");
    WriteFileBytes(dir / "my.dir\\001", PatternBytes(100, 1));
    WriteFileBytes(dir / "my.dir\\002", PatternBytes(100, 2));
    // Unrelated files beside the directory that a cut at the directory's
    // dot would take for the set.
    WriteFileBytes(dir / "my.001", "unrelated");
    WriteFileBytes(dir / "my.002", "files");
    EXPECT_EQ(1, JoinSilently(dir / "my.dir\\001", dir / "out", " /NOHEADER"));
    EXPECT_EQ(0, CountEntries(dir / "out"));
    EXPECT_EQ("unrelated", ReadFileBytes(dir / "my.001"));
}

}  // namespace
