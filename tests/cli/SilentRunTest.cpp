// Silent runs of the real program: the exit code is the job's result code.
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

// What every case starts from, in a scratch directory of its own.
struct TLayout {
    explicit TLayout(TScratchDir& dir)
        : Source(dir / "src.bin"), Tree(dir / "tree"), Out(dir / "out"), OutFile(dir / "not-a-dir.txt"),
          Missing(dir / "missing.bin") {
        WriteFileBytes(Source, "source bytes");
        MakeDirectory(Tree);
        WriteFileBytes(Tree + "\\inner.txt", "inner");
        MakeDirectory(Out);
        WriteFileBytes(OutFile, "a file, not a directory");
    }
    // Everything the case was given is still there as it was.
    void ExpectUntouched() const {
        EXPECT_EQ("source bytes", ReadFileBytes(Source));
        EXPECT_EQ("a file, not a directory", ReadFileBytes(OutFile));
        EXPECT_EQ(1, CountEntries(Tree));
    }
    std::string Source, Tree, Out, OutFile, Missing;
};

std::string Q(const std::string& text) {
    return Quoted(text);
}

std::string Slashed(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

struct TRunRow {
    const char* Name;
    std::function<std::string(const TLayout&)> Arguments;
    int Code;
    // Refused by the path check: the output directory stays empty.
    bool Refused;
};

void RunRows(const TRunRow* rows, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const TRunRow& row = rows[i];
        SCOPED_TRACE(row.Name);
        TScratchDir dir("cli");
        const TLayout layout(dir);
        const std::string arguments = row.Arguments(layout);
        SCOPED_TRACE("arguments: " + (arguments.size() > 200 ? arguments.substr(0, 200) + "..." : arguments));
        EXPECT_EQ(row.Code, RunFendrix(arguments, dir.Path()));
        layout.ExpectUntouched();
        if (row.Refused) {
            EXPECT_EQ(0, CountEntries(layout.Out));
        }
    }
}

TEST(SilentRun, EndsWithTheCodeOfThePathCheck) {
    const TRunRow rows[] = {
        {"missing source", [](const TLayout& l) { return "/SILENT " + Q(l.Missing) + " " + Q(l.Out); }, 1, true},
        {"missing source, no arguments at all", [](const TLayout&) { return std::string("/SILENT"); }, 2, true},
        {"missing output directory",
         [](const TLayout& l) { return "/SILENT " + Q(l.Source) + " " + Q(l.Out + "\\nowhere"); }, 2, true},
        {"no output directory given", [](const TLayout& l) { return "/SILENT " + Q(l.Source); }, 2, true},
        {"directory given to a join",
         [](const TLayout& l) { return "/SILENT /UNSPLIT " + Q(l.Tree) + " " + Q(l.Out); }, 3, true},
        {"drive root given to a join", [](const TLayout& l) { return "/silent /unsplit C:\\ " + Q(l.Out); }, 3, true},
        {"output directory is a file",
         [](const TLayout& l) { return "/SILENT " + Q(l.Source) + " " + Q(l.OutFile); }, 4, true},
        {"output on the floppy A:", [](const TLayout& l) { return "/SILENT " + Q(l.Source) + " A:\\"; }, 5, true},
        {"output on the CD-ROM R:", [](const TLayout& l) { return "/SILENT " + Q(l.Source) + " R:"; }, 5, true},
        {"join onto the floppy A:",
         [](const TLayout& l) { return "/SILENT /UNSPLIT " + Q(l.Source) + " A:\\"; }, 5, true},
        {"size 0", [](const TLayout& l) { return "/SILENT /SIZE0 " + Q(l.Source) + " " + Q(l.Out); }, 6, true},
        {"negative size", [](const TLayout& l) { return "/SILENT /SIZE-5 " + Q(l.Source) + " " + Q(l.Out); }, 6, true},
        {"size switch alone", [](const TLayout& l) { return "/SILENT /SIZE " + Q(l.Source) + " " + Q(l.Out); }, 6, true},
        {"size 12K", [](const TLayout& l) { return "/SILENT /SIZE12K " + Q(l.Source) + " " + Q(l.Out); }, 6, true},
        {"/SIZEABLE", [](const TLayout& l) { return "/SILENT /SIZEABLE " + Q(l.Source) + " " + Q(l.Out); }, 6, true},
        {"size too large to read",
         [](const TLayout& l) { return "/SILENT /SIZE99999999999999999999 " + Q(l.Source) + " " + Q(l.Out); }, 6,
         true},
        {"size $FFFFFFFFFFFFFFFF is -1",
         [](const TLayout& l) { return "/SILENT /SIZE$FFFFFFFFFFFFFFFF " + Q(l.Source) + " " + Q(l.Out); }, 6, true},
        {"a later invalid size wins",
         [](const TLayout& l) { return "/SILENT /SIZE100 " + Q(l.Source) + " /SIZE " + Q(l.Out); }, 6, true},
        // Later checks overwrite earlier ones.
        {"missing source and output a file",
         [](const TLayout& l) { return "/SILENT " + Q(l.Missing) + " " + Q(l.OutFile); }, 4, true},
        {"missing source, output a file, size 0",
         [](const TLayout& l) { return "/SILENT /SIZE0 " + Q(l.Missing) + " " + Q(l.OutFile); }, 6, true},
        {"missing source on a good output with size 0",
         [](const TLayout& l) { return "/SILENT /SIZE0 " + Q(l.Missing) + " " + Q(l.Out); }, 6, true},
        {"forward slashes in an existing source",
         [](const TLayout& l) { return "/SILENT " + Q(Slashed(l.Source)) + " " + Q(l.Out); }, 1, true},
        {"-SILENT is a path, so the third plain argument is ignored",
         [](const TLayout& l) { return "/SILENT -SILENT " + Q(l.Out) + " " + Q(l.Source); }, 1, true},
        {"a switch between the plain arguments",
         [](const TLayout& l) { return Q(l.Missing) + " /SILENT " + Q(l.Out); }, 1, true},
    };
    RunRows(rows, std::size(rows));
}

TEST(SilentRun, AcceptsWhatPassesThePathCheck) {
    const TRunRow rows[] = {
        {"a file", [](const TLayout& l) { return "/SILENT " + Q(l.Source) + " " + Q(l.Out); }, 0, false},
        {"trailing backslashes",
         [](const TLayout& l) { return "/SILENT " + Q(l.Source + "\\") + " " + Q(l.Out + "\\\\\\"); }, 0, false},
        {"a directory with the batch option",
         [](const TLayout& l) { return "/SILENT /BATCH " + Q(l.Tree + "\\") + " " + Q(l.Out); }, 0, false},
        {"relative paths", [](const TLayout&) { return std::string("/SILENT src.bin out"); }, 0, false},
    };
    RunRows(rows, std::size(rows));
}

std::string Number3(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

// The sizes of the data parts prefix.001, .002, ... that exist, in order.
std::vector<int64_t> PartSizesOf(const std::string& prefix, std::string& data) {
    std::vector<int64_t> sizes;
    for (int n = 1; FileExists(prefix + "." + Number3(n)); ++n) {
        const std::string bytes = ReadFileBytes(prefix + "." + Number3(n));
        sizes.push_back(static_cast<int64_t>(bytes.size()));
        data += bytes;
    }
    return sizes;
}

TEST(SilentRun, TheSizeSwitchDecidesTheParts) {
    // A 40-byte source, so that every size below 40 gives its own number
    // and sizes of parts: a size read wrongly shows in the parts.
    struct TRow {
        const char* Name;
        const char* SizeArgument;
        std::vector<int64_t> PartSizes;
    } rows[] = {
        {"decimal", "/SIZE16", {16, 16, 8}},
        {"hexadecimal with 0x", "/size0x10", {16, 16, 8}},
        {"hexadecimal with upper-case 0X", "/SIZE0X10", {16, 16, 8}},
        {"hexadecimal with $", "/SIZE$10", {16, 16, 8}},
        {"hexadecimal digits above 9", "/SIZE0xA", {10, 10, 10, 10, 0}},
        {"size and value as one quoted argument", "\"/SIZE 16\"", {16, 16, 8}},
        {"quoted hexadecimal", "\"/SIZE 0x10\"", {16, 16, 8}},
        {"one byte less than the source", "/SIZE39", {39, 1}},
        {"exactly the source", "/SIZE40", {40, 0}},
        // The largest size is accepted: read as negative it would be
        // refused with 6, read short it would give more than one part.
        {"the largest size", "/SIZE9223372036854775807", {40}},
        {"the largest size in hexadecimal", "/SIZE0x7FFFFFFFFFFFFFFF", {40}},
        // 999 parts of 2^62 bytes pass the 64-bit range: the part limit must
        // saturate, not wrap to a negative limit that every source exceeds.
        {"a size whose 999 parts pass 64 bits", "/SIZE4611686018427387904", {40}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TScratchDir dir("size");
        MakeDirectory(dir / "out");
        WritePatternFile(dir / "forty.bin", 40, 5);
        const std::string source = ReadFileBytes(dir / "forty.bin");
        ASSERT_EQ(40u, source.size());
        EXPECT_EQ(0, RunFendrix("/SILENT " + std::string(row.SizeArgument) + " forty.bin out", dir.Path()));
        std::string data;
        EXPECT_EQ(row.PartSizes, PartSizesOf(dir / "out\\forty.bin", data));
        EXPECT_EQ(source, data);
        // The whole header goes into the room that the last part leaves,
        // or into files of the part size.
        EXPECT_TRUE(FileExists(dir / "out\\forty.bin.h001"));
        EXPECT_EQ(source, ReadFileBytes(dir / "forty.bin"));
    }
}

TEST(SilentRun, SizesBeyondTheLargestAreRefused) {
    const TRunRow rows[] = {
        {"one more than the largest size",
         [](const TLayout& l) { return "/SILENT /SIZE9223372036854775808 " + Q(l.Source) + " " + Q(l.Out); }, 6,
         true},
        {"one more than the largest size in hexadecimal",
         [](const TLayout& l) { return "/SILENT /SIZE0x8000000000000000 " + Q(l.Source) + " " + Q(l.Out); }, 6,
         true},
    };
    RunRows(rows, std::size(rows));
}

TEST(SilentRun, AJoinNeverChecksTheSize) {
    // Whatever the join makes of a file that is no part, the size plays no
    // part in it.
    TScratchDir dir("cli");
    const TLayout layout(dir);
    const std::string paths = " " + Q(layout.Source) + " " + Q(layout.Out);
    const int withZero = RunFendrix("/SILENT /UNSPLIT /SIZE0" + paths, dir.Path());
    const int withSize = RunFendrix("/SILENT /UNSPLIT /SIZE100" + paths, dir.Path());
    EXPECT_NE(6, withZero);
    EXPECT_EQ(withSize, withZero);
    EXPECT_GE(withZero, 0);
    EXPECT_LE(withZero, 12);
    layout.ExpectUntouched();
}

TEST(SilentRun, NoCommandLineCrashesTheProgram) {
    // A crash under Wine ends the process with an exception status far
    // above 12, and a run that hangs gives -1, so each exact code below also
    // proves that the program survived the line.
    const std::string longText(300, 'L');
    const std::string veryLongText(5000, 'V');
    const TRunRow rows[] = {
        {"an open quote swallowing the rest",
         [](const TLayout& l) { return "/SILENT " + Q(l.Missing) + " \"" + l.Out; }, 1, true},
        {"an open quote around both paths",
         [](const TLayout& l) { return "/SILENT \"" + l.Source + " " + l.Out; }, 2, true},
        {"a lone quote at the end",
         [](const TLayout& l) { return "/SILENT " + Q(l.Missing) + " " + Q(l.Out) + " \""; }, 1, true},
        {"a lone quote instead of the output",
         [](const TLayout& l) { return "/SILENT " + Q(l.Source) + " \""; }, 2, true},
        {"quote pairs everywhere",
         [](const TLayout& l) { return "\"\" /SILENT \"\" \"\"" + Q(l.Missing) + " \"\" " + Q(l.Out) + " \"\""; }, 1,
         true},
        {"nothing but quote pairs", [](const TLayout&) { return std::string("/SILENT \"\" \"\" \"\"\"\""); }, 2, true},
        {"a lone slash", [](const TLayout& l) { return "/SILENT / " + Q(l.Missing) + " / " + Q(l.Out); }, 1, true},
        {"slashes only", [](const TLayout&) { return std::string("/SILENT / // /// /\"\""); }, 2, true},
        {"a 300-character argument",
         [longText](const TLayout& l) { return "/SILENT " + longText + " " + Q(l.Out); }, 1, true},
        {"a 300-character path",
         [longText](const TLayout& l) { return "/SILENT " + Q(l.Out + "\\" + longText) + " " + Q(l.Out); }, 1, true},
        {"a 300-character output path",
         [longText](const TLayout& l) { return "/SILENT " + Q(l.Source) + " " + Q(l.Out + "\\" + longText); }, 2,
         true},
        {"a 5000-character argument",
         [veryLongText](const TLayout& l) { return "/SILENT " + Q(veryLongText) + " " + Q(l.Out); }, 1, true},
        {"a 5000-character switch",
         [veryLongText](const TLayout& l) { return "/SILENT /" + veryLongText + " " + Q(l.Missing) + " " + Q(l.Out); },
         1, true},
        {"a 5000-digit size",
         [](const TLayout& l) { return "/SILENT /SIZE" + std::string(5000, '9') + " " + Q(l.Source) + " " + Q(l.Out); },
         6, true},
        {"bytes above 127 in a missing source",
         [](const TLayout& l) { return "/SILENT " + Q(l.Out + "\\\xE0\xE8\xF9\xFF.bin") + " " + Q(l.Out); }, 1, true},
        {"bytes above 127 as a switch",
         [](const TLayout& l) { return "/SILENT /\xE0\x80\xFF " + Q(l.Missing) + " " + Q(l.Out); }, 1, true},
        {"control characters between the arguments",
         [](const TLayout& l) { return "/SILENT\t" + Q(l.Missing) + "\t\x01" + Q(l.Out); }, 1, true},
        {"a hundred unknown switches",
         [](const TLayout& l) {
             std::string line = "/SILENT";
             for (int i = 0; i < 100; ++i)
                 line += " /X" + std::to_string(i);
             return line + " " + Q(l.Missing) + " " + Q(l.Out);
         },
         1, true},
    };
    RunRows(rows, std::size(rows));
}

TEST(SilentRun, ReadsAFileWithBytesAbove127InItsName) {
    TScratchDir dir("cli");
    const TLayout layout(dir);
    const std::string name = dir / "caf\xE9 \xE0\xE8.bin";
    WriteFileBytes(name, "accented");
    EXPECT_EQ(0, RunFendrix("/SILENT " + Q(name) + " " + Q(layout.Out), dir.Path()));
    EXPECT_EQ("accented", ReadFileBytes(name));
}

}  // namespace
