// Split, then join, as two real silent runs: what comes back must be the
// original, byte for byte and with its last-write time.
#include "cli/JoinRuns.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

struct TSizeCase {
    int64_t PartSize;
    int64_t FileSize;
};

// Sizes on both sides of the part boundaries, for small and large parts and
// for a part size that is not a multiple of the copy buffer.
constexpr int64_t DefaultPartSize = 1453568;

std::string Numbered(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

std::vector<TSizeCase> SizeCases() {
    std::vector<TSizeCase> cases;
    for (int64_t s : {1LL, 7LL, 4096LL, 131072LL, 131073LL}) {
        std::set<int64_t> sizes = {0, 1, s - 1, s, s + 1, 2 * s, 2 * s + 1};
        for (int64_t size : sizes)
            cases.push_back({s, size});
    }
    cases.push_back({DefaultPartSize, 2 * DefaultPartSize + 1});
    return cases;
}

TEST(JoinRoundTrip, SingleFilesOfManySizesAgainstManyPartSizes) {
    const std::vector<TSizeCase> cases = SizeCases();
    uint32_t row = 0;
    for (const TSizeCase& c : cases) {
        ++row;
        SCOPED_TRACE("part size " + std::to_string(c.PartSize) + ", file size " + std::to_string(c.FileSize));
        TScratchDir dir("rt");
        MakeDirectory(dir / "src");
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        const std::string source = dir / "src\\movie.avi";
        WritePatternFile(source, c.FileSize, row);
        const uint64_t stamp = FileTimeAt(2005, 3, 7, 14, 5, 9, static_cast<int>(row), 4567);
        SetLastWriteTimeOf(source, stamp);

        ASSERT_EQ(0, SplitSilently(source, dir.Path() + "\\parts", c.PartSize));
        // Start from a different file of the set each time: the first part,
        // the first header file, or the last data part.
        std::string start = dir / "parts\\movie.avi.001";
        if (row % 3 == 1)
            start = dir / "parts\\movie.avi.h001";
        if (row % 3 == 2) {
            int last = 1;
            while (FileExists(dir / ("parts\\movie.avi." + Numbered(last + 1))))
                ++last;
            start = dir / ("parts\\movie.avi." + Numbered(last));
        }
        SCOPED_TRACE("joined from " + start);
        ASSERT_EQ(0, JoinSilently(start, dir / "out"));

        const std::string rebuilt = dir / "out\\movie.avi";
        ASSERT_TRUE(FileExists(rebuilt));
        EXPECT_EQ(1, CountEntries(dir / "out"));
        EXPECT_EQ(c.FileSize, FileSizeOf(rebuilt));
        EXPECT_TRUE(ReadFileBytes(rebuilt) == PatternBytes(c.FileSize, row)) << "contents differ";
        EXPECT_EQ(WholeMilliseconds(stamp), LastWriteTimeOf(rebuilt));
    }
}

// One tree with everything a join has to recreate: nested and empty
// directories, empty files, names with spaces and with cp1252 letters, and
// files that cross part boundaries.
void WriteSampleTree(const std::string& root) {
    MakeDirectory(root);
    MakeDirectory(root + "\\sub");
    MakeDirectory(root + "\\sub\\nested");
    MakeDirectory(root + "\\sub\\nested\\empty");
    MakeDirectory(root + "\\empty top");
    MakeDirectory(root + "\\d\xE9j\xE0 vu");
    struct {
        const char* Name;
        int64_t Size;
    } files[] = {
        {"a b.txt", 1031},  {"zero.txt", 0},          {"caf\xE9 \xFC\xDF.bin", 333}, {"sub\\nested\\deep.bin", 2500},
        {"sub\\zero2", 0},  {"d\xE9j\xE0 vu\\\xA9 x", 17}, {"sub\\one", 1},
    };
    int i = 0;
    for (const auto& f : files) {
        ++i;
        const std::string path = root + "\\" + f.Name;
        WritePatternFile(path, f.Size, 100 + i);
        SetLastWriteTimeOf(path, FileTimeAt(2011, 11, 11, 11, 11, 11, 100 * i + 7, 1234 * i));
    }
}

TEST(JoinRoundTrip, TreesWithNestedAndEmptyDirectoriesAndOddNames) {
    for (int64_t partSize : {7LL, 100LL, 1031LL, 4096LL, 131072LL}) {
        SCOPED_TRACE("part size " + std::to_string(partSize));
        TScratchDir dir("tree");
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        WriteSampleTree(dir / "my tree");
        ASSERT_EQ(0, SplitSilently(dir / "my tree", dir / "parts", partSize));
        // Any file of the set will do; the second part where there is one.
        const std::string second = dir / "parts\\my tree.002";
        ASSERT_EQ(0, JoinSilently(FileExists(second) ? second : dir / "parts\\my tree.h001", dir / "out"));
        ASSERT_TRUE(DirectoryExists(dir / "out\\my tree"));
        EXPECT_EQ(1, CountEntries(dir / "out"));
        ExpectSameTree(dir / "my tree", dir / "out\\my tree");
    }
}

TEST(JoinRoundTrip, TreesThatHoldOnlyDirectories) {
    const std::vector<std::vector<std::string>> trees = {
        {"t"},
        {"t", "t\\e1"},
        {"t", "t\\e1", "t\\e1\\e2", "t\\e1\\e2\\e3"},
    };
    for (const auto& tree : trees) {
        SCOPED_TRACE("deepest " + tree.back());
        TScratchDir dir("dirs");
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        for (const std::string& d : tree)
            MakeDirectory(dir / d);
        ASSERT_EQ(0, SplitSilently(dir / "t", dir / "parts", 1000));
        ASSERT_EQ(0, JoinSilently(dir / "parts\\t.001", dir / "out"));
        // The deepest empty directory is the last entry of the list.
        EXPECT_TRUE(DirectoryExists(dir / ("out\\" + tree.back())));
        ExpectSameTree(dir / "t", dir / "out\\t");
    }
}

}  // namespace
