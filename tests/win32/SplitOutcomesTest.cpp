// What a split and a join tell the user when they refuse to write over their
// own inputs, and what becomes of the program copy and the batch file when
// writing them fails.
#include "engine/UnitFendrix.h"
#include "foundation/UnitFileStream.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/FileSystem.h"
#include "support/InProcessJob.h"
#include "support/ScriptedUser.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

class TLanguage {
public:
    explicit TLanguage(const std::string& code) : Saved(LanguageCode) { LanguageCode = code; }
    ~TLanguage() { LanguageCode = Saved; }

private:
    std::string Saved;
};

// Fails the n-th operation of one kind: with an error, or as a short write.
class TFailNth {
public:
    TFailNth(TFileOperation kind, int n, uint32_t error, uint32_t shortBy = 0) {
        SetFileFaultHook([=, this](TFileOperation operation) {
            TFileFault fault;
            if (operation == kind && ++Count == n) {
                fault.Error = error;
                fault.ShortWriteBy = shortBy;
            }
            return fault;
        });
    }
    ~TFailNth() { SetFileFaultHook(nullptr); }
    int Count = 0;
};

}  // namespace

TEST(SplitOutcomes, GuardTextsComeFromTheCatalogueInBothLanguages) {
    struct TRow {
        const char* Language;
        bool Join;
        const char* Expected;
    } rows[] = {
        {"EN", false, "Cannot write over a file that is being split: \"#\""},
        {"IT", false, "Impossibile sovrascrivere un file che si sta dividendo: \"#\""},
        {"EN", true, "Cannot write over a part of the set being joined: \"#\""},
        {"IT", true, "Impossibile sovrascrivere una parte dell'insieme che si sta ricostruendo: \"#\""},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(std::string(row.Language) + (row.Join ? " join" : " split"));
        TLanguage language(row.Language);
        TScratchDir dir("guardtext");
        // A tree x holding x.001: split into a folder x, the set's first
        // part is named like the file that the join would write there.
        MakeDirectory(dir / "x");
        WritePatternFile(dir / "x\\x.001", 20, 1);
        MakeDirectory(dir / "p");
        MakeDirectory(dir / "p\\x");
        TScriptedUser user;
        user.DefaultAnswer = idYes;
        TJobRequest request;
        request.Silent = false;
        std::string victim;
        if (row.Join) {
            request.Source = dir / "x";
            request.OutputDir = dir / "p\\x";
            ASSERT_EQ(rcOk, RunInProcess(request));
            request.Source = dir / "p\\x\\x.001";
            request.OutputDir = dir / "p";
            request.Join = true;
            victim = dir / "p\\x\\x.001";
        } else {
            request.Source = dir / "x";
            request.OutputDir = dir / "x";
            victim = dir / "x\\x.001";
        }
        user.Boxes.clear();
        EXPECT_EQ(rcFileError, RunInProcess(request));
        std::string expected = row.Expected;
        expected.replace(expected.find('#'), 1, victim);
        ASSERT_FALSE(user.Boxes.empty());
        EXPECT_EQ(expected, user.Boxes.back().Text);
    }
}

// The set is good without the program copy: a failed copy is said in the
// window, with the system's text, and a silent split still ends with 0.
TEST(SplitOutcomes, AFailedProgramCopyIsReportedButEndsNothing) {
    for (bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "silent" : "window");
        TScratchDir dir("copyfail");
        WritePatternFile(dir / "a.bin", 300, 1);
        MakeDirectory(dir / "out");
        TScriptedUser user;
        user.DefaultAnswer = idYes;
        TFendrixStartParams params;
        params.SourcePath = dir / "a.bin";
        params.OutputDir = dir / "out";
        params.Size = 100;
        params.Silent = silent;
        params.Copy = true;
        uint8_t result;
        {
            TFailNth fault(TFileOperation::Copy, 1, ERROR_HANDLE_DISK_FULL);
            TFendrix engine;
            result = engine.Execute(params);
            EXPECT_EQ(1, fault.Count) << "the copy was tried";
        }
        EXPECT_EQ(rcOk, result);
        EXPECT_TRUE(FileExists(dir / "out\\a.bin.003"));
        EXPECT_FALSE(FileExists(dir / "out\\Fendrix.exe"));
        bool reported = false;
        for (const TMessageBoxRequest& box : user.Boxes)
            reported = reported || (box.Text == SystemErrorText(ERROR_HANDLE_DISK_FULL) && box.Style == (mbOk | mbIconError));
        EXPECT_EQ(!silent, reported);
    }
}

// An existing copy is kept as it is, and that is no failure to report.
TEST(SplitOutcomes, AnExistingProgramCopyIsKeptWithoutAWord) {
    TScratchDir dir("copykept");
    WritePatternFile(dir / "a.bin", 300, 1);
    MakeDirectory(dir / "out");
    WriteFileBytes(dir / "out\\Fendrix.exe", "older copy");
    TScriptedUser user;
    user.DefaultAnswer = idYes;
    TFendrixStartParams params;
    params.SourcePath = dir / "a.bin";
    params.OutputDir = dir / "out";
    params.Size = 100;
    params.Copy = true;
    TFendrix engine;
    EXPECT_EQ(rcOk, engine.Execute(params));
    EXPECT_EQ("older copy", ReadFileBytes(dir / "out\\Fendrix.exe"));
    for (const TMessageBoxRequest& box : user.Boxes)
        EXPECT_NE(mbOk | mbIconError, box.Style) << box.Text;
}

// A batch file without its last line would rebuild a shorter file.
TEST(SplitOutcomes, AShortBatchWriteIsAFileError) {
    TScratchDir dir("batchshort");
    WritePatternFile(dir / "a.bin", 300, 1);
    MakeDirectory(dir / "out");
    TJobRequest request;
    request.Source = dir / "a.bin";
    request.OutputDir = dir / "out";
    request.Size = 100;
    request.Batch = true;
    // The first write of the split is the batch file's first line.
    TFailNth fault(TFileOperation::Write, 1, 0, 1);
    EXPECT_EQ(rcFileError, RunInProcess(request));
}
