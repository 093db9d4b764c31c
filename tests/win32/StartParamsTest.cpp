#include "engine/UnitFendrix.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TExpected {
    std::string SourcePath;
    std::string OutputDir;
    bool Copy = true;
    bool Batch = false;
    int64_t Size = DefaultPartSize;
    bool Silent = false;
    bool Unsplit = false;
    bool NoHeader = false;
    bool Verify = false;
    bool Parity = false;
    bool Repair = false;
    int32_t Recovery = 0;
};

struct TParamsRow {
    std::vector<std::string> Args;
    TExpected Expected;
};

std::string Joined(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& arg : args)
        text += "[" + arg + "]";
    return text.empty() ? "(none)" : text;
}

TExpected Plain(std::string source, std::string output = "") {
    TExpected e;
    e.SourcePath = std::move(source);
    e.OutputDir = std::move(output);
    return e;
}

TExpected Silent(TExpected e) {
    e.Silent = true;
    e.Copy = false;
    return e;
}

TEST(StartParams, ReadsTheCommandLineArguments) {
    const TParamsRow rows[] = {
        {{}, {}},
        // Only a slash makes a switch, in any letter case.
        {{"/SILENT"}, Silent({})},
        {{"/silent"}, Silent({})},
        {{"/Silent"}, Silent({})},
        {{"-SILENT"}, Plain("-SILENT")},
        {{"SILENT"}, Plain("SILENT")},
        {{"/SILENTLY"}, {}},
        {{"/SILENT", "/COPY"}, [] { TExpected e = Silent({}); e.Copy = true; return e; }()},
        {{"/copy"}, {}},
        {{"/batch"}, [] { TExpected e; e.Batch = true; return e; }()},
        {{"/UnSplit"}, [] { TExpected e; e.Unsplit = true; return e; }()},
        {{"/noheader"}, [] { TExpected e; e.NoHeader = true; return e; }()},
        {{"/COPYX", "/BATCHES", "/HELP", "/", "/\xE0"}, {}},
        {{"/verify"}, [] { TExpected e; e.Verify = true; return e; }()},
        {{"/Parity"}, [] { TExpected e; e.Parity = true; return e; }()},
        {{"/PARITY", "/SILENT"}, [] { TExpected e = Silent({}); e.Parity = true; return e; }()},
        {{"/repair"}, [] { TExpected e; e.Repair = true; return e; }()},
        {{"/SILENT", "a", "/VERIFY", "/REPAIR"},
         [] { TExpected e = Silent(Plain("a")); e.Verify = true; e.Repair = true; return e; }()},
        {{"/PARITIES", "/PAR", "/REPAIRS", "--parity"}, Plain("--parity")},
        // Recovery counts: the number follows the switch, and none is one.
        {{"/RECOVERY"}, [] { TExpected e; e.Recovery = 1; return e; }()},
        {{"/recovery3"}, [] { TExpected e; e.Recovery = 3; return e; }()},
        {{"/Recovery999"}, [] { TExpected e; e.Recovery = 999; return e; }()},
        {{"/RECOVERY1000"}, [] { TExpected e; e.Recovery = RecoveryCountInvalid; return e; }()},
        {{"/RECOVERY0"}, [] { TExpected e; e.Recovery = RecoveryCountInvalid; return e; }()},
        {{"/RECOVERY-2"}, [] { TExpected e; e.Recovery = RecoveryCountInvalid; return e; }()},
        {{"/RECOVERYx"}, [] { TExpected e; e.Recovery = RecoveryCountInvalid; return e; }()},
        {{"/RECOVER5", "/REC"}, {}},
        // Sizes.
        {{"/SIZE100"}, [] { TExpected e; e.Size = 100; return e; }()},
        {{"/size$100"}, [] { TExpected e; e.Size = 256; return e; }()},
        {{"/SIZEx100"}, [] { TExpected e; e.Size = 256; return e; }()},
        {{"/SIZE0x100"}, [] { TExpected e; e.Size = 256; return e; }()},
        {{"/size0x100"}, [] { TExpected e; e.Size = 256; return e; }()},
        {{"/SIZE-5"}, [] { TExpected e; e.Size = -5; return e; }()},
        {{"/SIZE"}, [] { TExpected e; e.Size = 0; return e; }()},
        {{"/SIZE12K"}, [] { TExpected e; e.Size = 0; return e; }()},
        {{"/SIZEABLE"}, [] { TExpected e; e.Size = 0; return e; }()},
        {{"/sizeable"}, [] { TExpected e; e.Size = 0; return e; }()},
        {{"/SIZE 100"}, [] { TExpected e; e.Size = 100; return e; }()},
        {{"/SIZE100 "}, [] { TExpected e; e.Size = 0; return e; }()},
        {{"/SIZE9223372036854775807"}, [] { TExpected e; e.Size = INT64_MAX; return e; }()},
        {{"/SIZE9223372036854775808"}, [] { TExpected e; e.Size = 0; return e; }()},
        {{"/SIZE100", "/SIZE200"}, [] { TExpected e; e.Size = 200; return e; }()},
        {{"/SIZE100", "/SIZE"}, [] { TExpected e; e.Size = 0; return e; }()},
        {{"/SIZ100"}, {}},
        // Plain arguments.
        {{"a"}, Plain("a")},
        {{"a", "b"}, Plain("a", "b")},
        {{"a", "b", "c"}, Plain("a", "b")},
        {{"a", "/BATCH", "b"}, [] { TExpected e = Plain("a", "b"); e.Batch = true; return e; }()},
        {{"/SIZE5", "a", "/SILENT", "b", "/UNSPLIT"},
         [] { TExpected e = Silent(Plain("a", "b")); e.Size = 5; e.Unsplit = true; return e; }()},
        {{"C:\\My Files\\big file.dat", "\xE0\xE8"}, Plain("C:\\My Files\\big file.dat", "\xE0\xE8")},
        {{"/", "a"}, Plain("a")},
    };
    for (const TParamsRow& row : rows) {
        SCOPED_TRACE(Joined(row.Args));
        TFendrixStartParams params;
        params.ParseArguments(row.Args);
        EXPECT_EQ(row.Expected.SourcePath, params.SourcePath);
        EXPECT_EQ(row.Expected.OutputDir, params.OutputDir);
        EXPECT_EQ(row.Expected.Copy, params.Copy);
        EXPECT_EQ(row.Expected.Batch, params.Batch);
        EXPECT_EQ(row.Expected.Size, params.Size);
        EXPECT_EQ(row.Expected.Recovery, params.Recovery);
        EXPECT_EQ(row.Expected.Silent, params.Silent);
        EXPECT_EQ(row.Expected.Unsplit, params.Unsplit);
        EXPECT_EQ(row.Expected.NoHeader, params.NoHeader);
        EXPECT_EQ(row.Expected.Verify, params.Verify);
        EXPECT_EQ(row.Expected.Parity, params.Parity);
        EXPECT_EQ(row.Expected.Repair, params.Repair);
    }
}

}  // namespace
