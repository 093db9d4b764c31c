// Silent joins of broken, hostile or odd sets: each ends with its result
// code, and what the output directory (and its surroundings) holds then is
// exactly what the case allows.
#include "cli/JoinRuns.h"
#include "foundation/checksum/Crc32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const std::string SentinelText = "must stay as it is";

uint32_t Crc32Of(const std::string& bytes) {
    return Crc32(0, bytes.data(), bytes.size());
}

// Every case: dir\parts holds the set "x", dir\out is the output directory,
// dir\sentinel.txt lies next to it.
struct TErrorCase {
    const char* Why;
    std::function<void(const TScratchDir&)> Prepare;
    const char* Start;
    int Exit;
    std::function<void(const TScratchDir&)> Check;
};

void ExpectOutputEmpty(const TScratchDir& dir) {
    EXPECT_EQ(0, CountEntries(dir / "out"));
}

// Two files: a (5 bytes, all in 001) and b (10 bytes, 5 in 001, 5 in 002).
const std::string TwoFilesData = PatternBytes(15, 9);
std::string TwoFilesHeader() {
    return HeaderTextOf({{"a", 'F', "5", "20050307140509120"}, {"b", 'F', "10", "20060101000000001"}});
}

void ExpectFileA(const TScratchDir& dir) {
    ASSERT_TRUE(FileExists(dir / "out\\a"));
    EXPECT_TRUE(ReadFileBytes(dir / "out\\a") == TwoFilesData.substr(0, 5));
    EXPECT_EQ(FileTimeAt(2005, 3, 7, 14, 5, 9, 120), LastWriteTimeOf(dir / "out\\a"));
}

void WriteHostileSet(const TScratchDir& dir, const std::vector<THeaderEntry>& entries) {
    WritePartSet(dir / "parts", "x", {std::string(100, 'E')}, HeaderTextOf(entries));
}

void ExpectNothingCreated(const TScratchDir& dir) {
    ExpectOutputEmpty(dir);
    EXPECT_EQ(SentinelText, ReadFileBytes(dir / "sentinel.txt"));
    // dir holds parts, out and the sentinel, and nothing the header named.
    EXPECT_EQ(3, CountEntries(dir.Path()));
}

const std::vector<TErrorCase>& ErrorCases() {
    static const std::vector<TErrorCase> cases = {
        {"header file missing",
         [](const TScratchDir& d) { WriteFileBytes(d / "parts\\x.001", "abc"); }, "x.001", 1, ExpectOutputEmpty},
        {"data part 001 missing",
         [](const TScratchDir& d) { WriteFileBytes(d / "parts\\x.h001", TwoFilesHeader()); }, "x.h001", 1,
         ExpectOutputEmpty},
        {"data part 002 missing: what was written stays",
         [](const TScratchDir& d) { WritePartSet(d / "parts", "x", {TwoFilesData.substr(0, 10)}, TwoFilesHeader()); },
         "x.001", 1,
         [](const TScratchDir& d) {
             ExpectFileA(d);
             EXPECT_TRUE(FileExists(d / "out\\b"));
         }},
        {"header cut over h001 and h002, h002 missing",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x", {TwoFilesData}, TwoFilesHeader(), {20});
             DeleteFileA((d / "parts\\x.h002").c_str());
         },
         "x.001", 1, ExpectOutputEmpty},
        {"header that never becomes complete",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x", {TwoFilesData}, "QoVa40\ta\tF\t5\t20050307140509120\t", {10, 10});
         },
         "x.h002", 1, ExpectOutputEmpty},
        {"header with a wrong magic is never complete",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x", {TwoFilesData}, "QOVA40\ta\tF\t5\t20050307140509120\t\t");
         },
         "x.001", 1, ExpectOutputEmpty},
        {"bad size field",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x", {TwoFilesData}, HeaderTextOf({{"a", 'F', "12a"}}));
         },
         "x.001", 8, ExpectOutputEmpty},
        {"empty size field",
         [](const TScratchDir& d) { WritePartSet(d / "parts", "x", {TwoFilesData}, HeaderTextOf({{"a", 'F', ""}})); },
         "x.001", 8, ExpectOutputEmpty},
        {"time field too short",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x", {TwoFilesData}, HeaderTextOf({{"a", 'F', "5", "2005030714050"}}));
         },
         "x.001", 8, ExpectOutputEmpty},
        {"negative size",
         [](const TScratchDir& d) { WritePartSet(d / "parts", "x", {TwoFilesData}, HeaderTextOf({{"a", 'F', "-5"}})); },
         "x.001", 8, ExpectOutputEmpty},
        {"file name leaving the output directory",
         [](const TScratchDir& d) { WriteHostileSet(d, {{"..\\sentinel.txt", 'F', "100"}}); }, "x.001", 8,
         ExpectNothingCreated},
        {"directory leaving the output directory",
         [](const TScratchDir& d) { WriteHostileSet(d, {{"..\\escaped", 'D', "0"}}); }, "x.001", 8,
         ExpectNothingCreated},
        {"unsafe name after safe ones: not even the safe directory is made",
         [](const TScratchDir& d) {
             WriteHostileSet(d, {{"sub", 'D', "0"}, {"sub\\ok", 'F', "1"}, {"sub\\..\\..\\sentinel.txt", 'F', "99"}});
         },
         "x.001", 8, ExpectNothingCreated},
        {"absolute path",
         [](const TScratchDir& d) {
             WriteHostileSet(d, {{d / "sentinel.txt", 'F', "100"}});
         },
         "x.001", 8, ExpectNothingCreated},
        {"names are checked before data part 001 is looked for",
         [](const TScratchDir& d) { WriteFileBytes(d / "parts\\x.h001", HeaderTextOf({{"..\\sentinel.txt", 'F', "1"}})); },
         "x.h001", 8, ExpectNothingCreated},
        {"drive-relative name", [](const TScratchDir& d) { WriteHostileSet(d, {{"C:sentinel.txt", 'F', "100"}}); },
         "x.001", 8, ExpectNothingCreated},
        {"alternate data stream", [](const TScratchDir& d) { WriteHostileSet(d, {{"a:stream", 'F', "100"}}); },
         "x.001", 8, ExpectNothingCreated},
        {"device name", [](const TScratchDir& d) { WriteHostileSet(d, {{"sub", 'D', "0"}, {"sub\\CON.txt", 'F', "100"}}); },
         "x.001", 8, ExpectNothingCreated},
        {"parts longer than the header says: the excess is ignored",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x", {TwoFilesData.substr(0, 10), TwoFilesData.substr(10) + "EXCESS", "MORE"},
                          TwoFilesHeader());
         },
         "x.001", 0,
         [](const TScratchDir& d) {
             ExpectFileA(d);
             EXPECT_TRUE(ReadFileBytes(d / "out\\b") == TwoFilesData.substr(5));
             EXPECT_EQ(FileTimeAt(2006, 1, 1, 0, 0, 0, 1), LastWriteTimeOf(d / "out\\b"));
             EXPECT_EQ(2, CountEntries(d / "out"));
         }},
        {"one path named twice, letter case ignored",
         [](const TScratchDir& d) { WriteHostileSet(d, {{"a", 'F', "5"}, {"A", 'F', "5"}}); }, "x.001", 8,
         ExpectNothingCreated},
        {"a directory and a file of one path",
         [](const TScratchDir& d) { WriteHostileSet(d, {{"sub", 'D', "0"}, {"Sub", 'F', "5"}}); }, "x.001", 8,
         ExpectNothingCreated},
        {"a kind other than F or D",
         [](const TScratchDir& d) { WriteHostileSet(d, {{"g", 'G', "0"}, {"f", 'F', "5"}}); }, "x.001", 8,
         ExpectNothingCreated},
        {"part 001 longer than the parts after it: the bytes after it would shift",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x",
                          {TwoFilesData.substr(0, 5) + "12", TwoFilesData.substr(5, 5), TwoFilesData.substr(10)},
                          TwoFilesHeader());
         },
         "x.001", 13, [](const TScratchDir&) {}},
        {"a part in the middle shorter than part 001",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x", {TwoFilesData.substr(0, 6), TwoFilesData.substr(6, 3), TwoFilesData.substr(9)},
                          TwoFilesHeader());
         },
         "x.001", 13, [](const TScratchDir&) {}},
        {"existing directory where a file must go",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x", {TwoFilesData}, TwoFilesHeader());
             MakeDirectory(d / "out\\b");
         },
         "x.001", 9,
         [](const TScratchDir& d) {
             ExpectFileA(d);
             EXPECT_TRUE(DirectoryExists(d / "out\\b"));
         }},
        {"file inside a directory the header never made",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x", {TwoFilesData}, HeaderTextOf({{"nodir\\a", 'F', "15"}}));
         },
         "x.001", 9, ExpectOutputEmpty},
        {"existing files are overwritten without a question",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x", {TwoFilesData}, TwoFilesHeader());
             WriteFileBytes(d / "out\\a", "old contents, longer than five bytes");
         },
         "x.001", 0, ExpectFileA},
        {"an empty directory as the last entry",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x", {TwoFilesData.substr(0, 5)},
                          HeaderTextOf({{"a", 'F', "5", "20050307140509120"}, {"e", 'D', "0"}, {"e\\f", 'D', "0"}}));
         },
         "x.h001", 0,
         [](const TScratchDir& d) {
             ExpectFileA(d);
             EXPECT_TRUE(DirectoryExists(d / "out\\e\\f"));
         }},
        {"empty files between others, and a directory entry with a trailing backslash",
         [](const TScratchDir& d) {
             WritePartSet(d / "parts", "x", {TwoFilesData.substr(0, 5)},
                          HeaderTextOf({{"z1", 'F', "0", "19990101000000000"},
                                        {"a", 'F', "5", "20050307140509120"},
                                        {"d\\", 'D', "0"},
                                        {"d\\z2", 'F', "0", "20300101000000007"}}));
         },
         "x.001", 0,
         [](const TScratchDir& d) {
             ExpectFileA(d);
             EXPECT_EQ(0, FileSizeOf(d / "out\\z1"));
             EXPECT_EQ(FileTimeAt(1999, 1, 1, 0, 0, 0, 0), LastWriteTimeOf(d / "out\\z1"));
             EXPECT_EQ(0, FileSizeOf(d / "out\\d\\z2"));
             EXPECT_EQ(FileTimeAt(2030, 1, 1, 0, 0, 0, 7), LastWriteTimeOf(d / "out\\d\\z2"));
         }},
    };
    return cases;
}

TEST(JoinErrors, EachCaseEndsWithItsCodeAndLeavesWhatItMay) {
    for (const TErrorCase& c : ErrorCases()) {
        SCOPED_TRACE(c.Why);
        TScratchDir dir("err");
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        WriteFileBytes(dir / "sentinel.txt", SentinelText);
        c.Prepare(dir);
        EXPECT_EQ(c.Exit, JoinSilently(dir / (std::string("parts\\") + c.Start), dir / "out"));
        c.Check(dir);
        EXPECT_EQ(SentinelText, ReadFileBytes(dir / "sentinel.txt"));
    }
}

// Without a header the numbered parts alone make the file: a part beyond a
// gap is a lost part, and the sfv file, where there is one, says which parts
// belong to the set (stale ones of an earlier, longer split do not).
TEST(JoinErrors, NumberedPartsWithoutAHeader) {
    const std::string data = PatternBytes(25, 4);
    struct TCase {
        const char* Why;
        std::vector<const char*> Parts;  // numbers of the parts present, in order of data
        const char* Sfv;                 // the sfv file's lines, or none
        int Exit;
        size_t RebuiltSize;
    } cases[] = {
        {"consecutive parts", {"001", "002", "003"}, nullptr, 0, 25},
        {"a part beyond a gap", {"001", "002", "004"}, nullptr, 1, 0},
        {"the sfv lists three parts, a stale fourth is left out", {"001", "002", "003", "004"}, "001 002 003", 0, 25},
        {"the sfv lists a part that is missing", {"001", "002"}, "001 002 003", 1, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Why);
        TScratchDir dir("nohdr");
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        for (size_t i = 0; i < c.Parts.size(); ++i)
            WriteFileBytes(dir / (std::string("parts\\d.bin.") + c.Parts[i]),
                           i < 3 ? data.substr(i * 10, 10) : std::string("STALE PART"));
        if (c.Sfv) {
            std::string sfv = "; listed\r\n";
            for (const char* n : {"001", "002", "003"}) {
                if (std::string(c.Sfv).find(n) == std::string::npos)
                    continue;
                const std::string part = dir / (std::string("parts\\d.bin.") + n);
                char line[64];
                const std::string bytes = FileExists(part) ? ReadFileBytes(part) : data.substr((n[2] - '1') * 10, 10);
                std::snprintf(line, sizeof line, "d.bin.%s %08X\r\n", n, static_cast<unsigned>(Crc32Of(bytes)));
                sfv += line;
            }
            WriteFileBytes(dir / "parts\\d.bin.sfv", sfv);
        }
        EXPECT_EQ(c.Exit, JoinSilently(dir / "parts\\d.bin.001", dir / "out", " /NOHEADER"));
        if (c.Exit == 0)
            EXPECT_TRUE(ReadFileBytes(dir / "out\\d.bin") == data.substr(0, c.RebuiltSize));
        else
            EXPECT_FALSE(FileExists(dir / "out\\d.bin"));
    }
}

// Another process holds a part open for writing and shares nothing: the
// join cannot read it and reports a file error.
TEST(JoinErrors, PartThatCannotBeOpened) {
    struct {
        const char* Locked;
        bool FileAWritten;
    } cases[] = {{"x.001", false}, {"x.002", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("locked ") + c.Locked);
        TScratchDir dir("lock");
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        WritePartSet(dir / "parts", "x", {TwoFilesData.substr(0, 10), TwoFilesData.substr(10)}, TwoFilesHeader());
        HANDLE lock = CreateFileA((dir / (std::string("parts\\") + c.Locked)).c_str(), GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, lock);
        const int exitCode = JoinSilently(dir / "parts\\x.h001", dir / "out");
        CloseHandle(lock);
        EXPECT_EQ(9, exitCode);
        if (c.FileAWritten)
            ExpectFileA(dir);
        else
            ExpectOutputEmpty(dir);
    }
}

// A header of many entries joins like a small one; the header files are
// read in blocks, whatever their number.
TEST(JoinErrors, HeaderOfManyEntries) {
    TScratchDir dir("many");
    MakeDirectory(dir / "parts");
    MakeDirectory(dir / "out");
    std::vector<THeaderEntry> entries = {{"many", 'D', "0"}};
    std::string data;
    for (int i = 0; i < 2000; ++i) {
        const std::string bytes = PatternBytes(i % 5, i);
        data += bytes;
        entries.push_back({"many\\file " + std::to_string(i) + ".txt", 'F', std::to_string(bytes.size()),
                           "20100101120000" + std::to_string(1000 + i % 1000).substr(1)});
    }
    const std::string header = HeaderTextOf(entries);
    // The header spread over several files of uneven length.
    WritePartSet(dir / "parts", "many", {data.substr(0, 1000), data.substr(1000)}, header, {7, 30000, 1});
    ASSERT_EQ(0, JoinSilently(dir / "parts\\many.001", dir / "out"));
    EXPECT_EQ(2000, CountEntries(dir / "out\\many"));
    for (int i = 0; i < 2000; i += 37) {
        SCOPED_TRACE(i);
        const std::string path = dir / ("out\\many\\file " + std::to_string(i) + ".txt");
        EXPECT_TRUE(ReadFileBytes(path) == PatternBytes(i % 5, i));
        EXPECT_EQ(FileTimeAt(2010, 1, 1, 12, 0, 0, i % 1000), LastWriteTimeOf(path));
    }
}

}  // namespace
