// Names in any script and paths of any depth, split and joined by the real
// program: it runs in UTF-8, writes names that fit the legacy code page as
// before and marks the others as UTF-8, and refuses forged names.
#include "support/Processes.h"
#include "support/TestFiles.h"
#include "support/WideFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string Mark = "\xEF\xBB\xBF";
constexpr uint64_t BaseTime = 132000000000000000ull;

int SplitWide(const std::string& source, const std::string& partsDir, int64_t size, const std::string& extra = "") {
    return RunWide(FendrixExe(), "/SILENT \"" + source + "\" \"" + partsDir + "\" /SIZE" + std::to_string(size) + extra);
}

int JoinWide(const std::string& anyPart, const std::string& outDir) {
    return RunWide(FendrixExe(), "/SILENT \"" + anyPart + "\" \"" + outDir + "\" /UNSPLIT");
}

// A scratch directory whose Unicode and deep names the ANSI clean-up of
// TScratchDir cannot reach: they go first.
class TWideScratch {
public:
    explicit TWideScratch(const std::string& tag) : Dir(tag) {}
    ~TWideScratch() {
        for (const char* sub : {"in", "parts", "back", "out"})
            WideRemoveTree(Dir / sub);
    }
    std::string operator/(const std::string& name) const { return Dir / name; }

private:
    TScratchDir Dir;
};

// An entry of a source tree below "in": a directory when Size is negative.
struct TEntry {
    std::string Name;
    int64_t Size;
};

void MakeEntries(const std::string& root, const std::vector<TEntry>& entries) {
    uint32_t seed = 1;
    for (const TEntry& e : entries) {
        const std::string path = root + "\\" + e.Name;
        if (e.Size < 0) {
            WideMakeDirectory(path);
        } else {
            WideWriteFile(path, PatternBytes(e.Size, seed++));
            WideSetLastWriteTime(path, BaseTime + seed * 12345670000ull + seed * 10000ull);
        }
    }
}

void ExpectSameTrees(const std::string& original, const std::string& rebuilt) {
    const auto from = WideTree(original);
    const auto to = WideTree(rebuilt);
    ASSERT_FALSE(from.empty());
    std::vector<std::string> fromNames, toNames;
    for (const auto& e : from)
        fromNames.push_back(e.first);
    for (const auto& e : to)
        toNames.push_back(e.first);
    EXPECT_EQ(fromNames, toNames);
    for (const auto& e : from) {
        SCOPED_TRACE(e.first);
        const auto it = to.find(e.first);
        if (it == to.end())
            continue;
        EXPECT_EQ(e.second.Directory, it->second.Directory);
        EXPECT_TRUE(e.second.Bytes == it->second.Bytes) << "contents differ";
        EXPECT_EQ(e.second.Time - e.second.Time % 10000, it->second.Time);
    }
}

// A component of 100 characters: deep trees pass a limit in a few steps.
std::string LongComponent(int n, const std::string& letters) {
    std::string name = "d" + std::to_string(n) + "_";
    while (Wide(name).size() < 100)
        name += letters;
    return name;
}

std::vector<TEntry> DeepTree(const std::string& top, int levels, const std::string& letters) {
    std::vector<TEntry> entries{{top, -1}};
    std::string path = top;
    for (int i = 1; i <= levels; ++i) {
        path += "\\" + LongComponent(i, letters);
        entries.push_back({path, -1});
        entries.push_back({path + "\\f" + std::to_string(i) + ".bin", 300 + i});
    }
    entries.push_back({path + "\\\xE6\x97\xA5\xE6\x9C\xAC.txt", 2000});
    return entries;
}

size_t LongestPath(const std::vector<TEntry>& entries) {
    size_t longest = 0;
    for (const TEntry& e : entries)
        longest = std::max(longest, Wide(e.Name).size());
    return longest;
}

}  // namespace

TEST(UnicodeNames, SplitAndJoinRoundTrip) {
    struct TCase {
        const char* Label;
        std::vector<TEntry> Entries;
        int64_t PartSize;
        // Files the split must have made, beside the parts counted by the join.
        std::vector<std::string> PartNames;
        size_t LongerThan;
        // Directories below "parts" and "back": the parts are written and
        // read, and the tree rebuilt, that deep.
        std::vector<std::string> Below = {};
    };
    const std::vector<TCase> cases = {
        {"CJK, Cyrillic, Greek, emoji and cp1252 names in files and directories",
         {{"mix", -1},
          {"mix\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", -1},
          {"mix\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\\\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB.txt", 3000},
          {"mix\\\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.txt", 1500},
          {"mix\\\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC", -1},
          {"mix\\\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC\\\xCE\xB1\xCE\xB2\xCE\xB3.bin", 10},
          {"mix\\\xF0\x9F\x98\x80 emoji.dat", 700},
          {"mix\\caf\xC3\xA9 \xC3\xBC \xC3\x9F", -1},
          {"mix\\caf\xC3\xA9 \xC3\xBC \xC3\x9F\\Gr\xC3\xB6\xC3\x9F" "e.txt", 50},
          {"mix\\\xC3\xAF\xC2\xBB\xC2\xBFlooks marked.txt", 40},
          {"mix\\empty \xE7\xA9\xBA", -1}},
         1000,
         {"mix.001", "mix.h001"},
         0},
        {"a single file with a CJK name, and its part names",
         {{"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", 2500}},
         1000,
         {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt.001", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt.003",
          "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt.h001"},
         0},
        {"a single file with an emoji name",
         {{"\xF0\x9F\x93\xA6 box.bin", 1200}},
         1000,
         {"\xF0\x9F\x93\xA6 box.bin.001", "\xF0\x9F\x93\xA6 box.bin.002", "\xF0\x9F\x93\xA6 box.bin.h001"},
         0},
        {"fullwidth solidus and reverse solidus stay letters",
         {{"a\xEF\xBC\x8F" "b", -1}, {"a\xEF\xBC\x8F" "b\\c\xEF\xBC\xBC" "d.txt", 30}},
         1000,
         {"a\xEF\xBC\x8F" "b.001"},
         0},
        {"paths over 260 characters", DeepTree("deep", 3, "abcdefghij"), 100000, {"deep.001"}, 300},
        {"paths over 1,000 characters, Cyrillic on the way", DeepTree("deeper", 11, "\xD0\xB6\xD0\xB8"), 1000,
         {"deeper.001"}, 1000},
        {"parts written, read and rebuilt below directories past 300 characters",
         {{"\xCE\xB1\xCE\xB2", -1}, {"\xCE\xB1\xCE\xB2\\\xE6\x97\xA5.txt", 2500}},
         1000,
         {"\xCE\xB1\xCE\xB2.001", "\xCE\xB1\xCE\xB2.003", "\xCE\xB1\xCE\xB2.h001"},
         0,
         {LongComponent(1, "p"), LongComponent(2, "\xCF\x80"), LongComponent(3, "p")}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TWideScratch dir("uni");
        WideMakeDirectory(dir / "in");
        std::string parts = "parts";
        std::string back = "back";
        WideMakeDirectory(dir / parts);
        WideMakeDirectory(dir / back);
        for (const std::string& below : c.Below) {
            parts += "\\" + below;
            back += "\\" + below;
            WideMakeDirectory(dir / parts);
            WideMakeDirectory(dir / back);
        }
        if (!c.Below.empty())
            ASSERT_GT(Wide(dir / parts).size(), 300u);
        ASSERT_NO_THROW(MakeEntries(dir / "in", c.Entries));
        ASSERT_GT(LongestPath(c.Entries) + 1, c.LongerThan);

        const std::string setName = c.Entries.front().Name;
        ASSERT_EQ(0, SplitWide(dir / ("in\\" + setName), dir / parts, c.PartSize));
        for (const std::string& part : c.PartNames)
            EXPECT_EQ(1, WideKind(dir / (parts + "\\" + part))) << part;
        ASSERT_EQ(0, JoinWide(dir / (parts + "\\" + setName + ".h001"), dir / back));
        ExpectSameTrees(dir / "in", dir / back);
    }
}

TEST(UnicodeNames, ForgedHeaderNames) {
    struct TCase {
        const char* Label;
        std::string Stored;
        int Result;
        std::string Created;
    };
    const TCase cases[] = {
        {"marked name climbing out with ..\\", Mark + "..\\evil.txt", 8, ""},
        {"marked name climbing out deeper", Mark + "x\\..\\..\\evil.txt", 8, ""},
        {"marked name with a drive", Mark + "C:evil.txt", 8, ""},
        {"marked absolute name", Mark + "\\evil.txt", 8, ""},
        {"marked name with invalid UTF-8", Mark + "bad\xC3(.txt", 8, ""},
        {"marked name with an overlong slash", Mark + "a\xC0\xAF" "b.txt", 8, ""},
        {"marked name with an encoded surrogate", Mark + "a\xED\xA0\x80.txt", 8, ""},
        {"marked name cut inside a character", Mark + "abc\xE6\x97", 8, ""},
        {"the mark alone", Mark, 8, ""},
        {"marked device name COM with a superscript one", Mark + "COM\xC2\xB9.txt", 8, ""},
        {"climbing out behind a later mark", "x\\" + Mark + "..\\..\\evil.txt", 8, ""},
        {"invalid UTF-8 behind a later mark", "x\\" + Mark + "bad\xFF.txt", 8, ""},
        {"marked valid name", Mark + "ok \xE2\x9C\x93.txt", 0, "ok \xE2\x9C\x93.txt"},
        {"fullwidth solidus is created as itself", Mark + "a\xEF\xBC\x8F" "b.txt", 0, "a\xEF\xBC\x8F" "b.txt"},
        {"fullwidth reverse solidus is created as itself", Mark + "a\xEF\xBC\xBC" "b.txt", 0,
         "a\xEF\xBC\xBC" "b.txt"},
        {"legacy cp1252 name without the mark", "caf\xE9.txt", 0, "caf\xC3\xA9.txt"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TWideScratch dir("forged");
        WideMakeDirectory(dir / "parts");
        WideMakeDirectory(dir / "out");
        WideWriteFile(dir / "parts\\set.001", "hello");
        WideWriteFile(dir / "parts\\set.h001", "QoVa40\t" + c.Stored + "\tF\t5\t20200101000000000\t\t");

        EXPECT_EQ(c.Result, JoinWide(dir / "parts\\set.h001", dir / "out"));
        const auto made = WideTree(dir / "out");
        if (c.Created.empty()) {
            EXPECT_TRUE(made.empty()) << made.size() << " entries created";
        } else {
            ASSERT_EQ(1u, made.size());
            EXPECT_EQ(c.Created, made.begin()->first);
            EXPECT_EQ("hello", made.begin()->second.Bytes);
        }
        EXPECT_EQ(0, WideKind(dir / "evil.txt"));
        EXPECT_EQ(0, WideKind(dir / "out\\a"));
    }
}

TEST(UnicodeNames, BatchFileOnlyForNamesOfTheOemCodePage) {
    struct TCase {
        const char* Label;
        std::string Name;
        std::string BatchName;
        // Empty: no batch file at all.
        std::string FirstLine;
    };
    const TCase cases[] = {
        {"cp1252 letters that the OEM code page has too", "r\xC3\xA9sum\xC3\xA9.doc", "r\xC3\xA9sum\xC3\xA9.bat",
         "copy /b \"r\x82sum\x82.doc.001\" \"r\x82sum\x82.doc\"\r\n"},
        {"CJK name", "\xE6\x97\xA5\xE6\x9C\xAC.doc", "\xE6\x97\xA5\xE6\x9C\xAC.bat", ""},
        {"euro sign: in the ANSI code page, not in the OEM one", "\xE2\x82\xACuro.doc", "\xE2\x82\xACuro.bat", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TWideScratch dir("unibatch");
        WideMakeDirectory(dir / "in");
        WideMakeDirectory(dir / "parts");
        WideWriteFile(dir / ("in\\" + c.Name), PatternBytes(2500, 4));

        ASSERT_EQ(0, SplitWide(dir / ("in\\" + c.Name), dir / "parts", 1000, " /BATCH"));
        EXPECT_EQ(1, WideKind(dir / ("parts\\" + c.Name + ".003")));
        EXPECT_EQ(1, WideKind(dir / ("parts\\" + c.Name + ".h001")));
        std::string batch;
        const bool made = WideReadFile(dir / ("parts\\" + c.BatchName), batch);
        EXPECT_EQ(!c.FirstLine.empty(), made);
        if (made && !c.FirstLine.empty())
            EXPECT_EQ(c.FirstLine, batch.substr(0, c.FirstLine.size()));
    }
}

// The program copies itself beside the parts from wherever it was started:
// its own path may be in any script, and longer in UTF-8 bytes than the
// 260 that an 8-bit query of it would give.
TEST(UnicodeNames, ProgramCopyFromAFolderOfAnyName) {
    struct TCase {
        const char* Label;
        std::string Folder;
    };
    std::string cjk;
    for (int i = 0; i < 90; ++i)
        cjk += "\xE6\x97\xA5";
    const TCase cases[] = {
        {"Greek folder", "\xCE\xB5\xCF\x81\xCE\xB3\xCE\xB1\xCE\xBB\xCE\xB5\xCE\xAF\xCE\xBF"},
        {"folder of 90 CJK characters, 270 bytes in UTF-8", cjk},
    };
    const std::string program = ReadFileBytes(FendrixExe());
    ASSERT_FALSE(program.empty());
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TWideScratch dir("unicopy");
        WideMakeDirectory(dir / "in");
        WideMakeDirectory(dir / ("in\\" + c.Folder));
        WideMakeDirectory(dir / "parts");
        const std::string copy = dir / ("in\\" + c.Folder + "\\Fendrix.exe");
        WideWriteFile(copy, program);
        WideWriteFile(dir / "in\\data.bin", PatternBytes(1500, 2));

        EXPECT_EQ(0, RunWide(copy, "/SILENT \"" + (dir / "in\\data.bin") + "\" \"" + (dir / "parts") + "\" /SIZE1000 /COPY"));
        std::string copied;
        EXPECT_TRUE(WideReadFile(dir / "parts\\Fendrix.exe", copied));
        EXPECT_TRUE(copied == program) << "the copy differs from the program";
        EXPECT_EQ(1, WideKind(dir / "parts\\data.bin.h001"));
    }
}
