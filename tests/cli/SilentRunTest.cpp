// Silent runs of the real program: the exit code is the job's result code.
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

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
        {"size in hexadecimal",
         [](const TLayout& l) { return "/SILENT /size0x100 " + Q(l.Source) + " " + Q(l.Out); }, 0, false},
        {"the largest size", [](const TLayout& l) {
             return "/SILENT /SIZE9223372036854775807 " + Q(l.Source) + " " + Q(l.Out);
         }, 0, false},
        {"size and value as one quoted argument",
         [](const TLayout& l) { return "/SILENT \"/SIZE 100\" " + Q(l.Source) + " " + Q(l.Out); }, 0, false},
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
