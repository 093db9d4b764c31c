// Files that change while a job runs: a source that grows or shrinks after
// the scan, a part that disappears in the middle of a join.
#include "engine/UnitFendrix.h"
#include "foundation/platform/FileSystem.h"
#include "support/InProcessJob.h"
#include "support/ScriptedUser.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// Runs action just before the n-th operation of the given kind.
class TBeforeOperation {
public:
    TBeforeOperation(TFileOperation kind, int n, std::function<void()> action) {
        SetFileFaultHook([this, kind, n, action](TFileOperation operation) {
            if (operation == kind && ++Count == n)
                action();
            return TFileFault();
        });
    }
    ~TBeforeOperation() { SetFileFaultHook(nullptr); }
    int Count = 0;
};

uint8_t RunSilent(bool join, const std::string& source, const std::string& outputDir) {
    TJobRequest request;
    request.Source = source;
    request.OutputDir = outputDir;
    request.Size = 100;
    request.Join = join;
    return RunInProcess(request);
}

}  // namespace

TEST(ChangingFiles, TheHeaderRecordsWhatWasStored) {
    struct TCase {
        const char* Label;
        int64_t ScannedSize;
        int64_t SplitSize;
        // A file is read up to the size the scan found, and no further.
        int64_t Stored;
    };
    const TCase cases[] = {
        {"grows after the scan", 150, 420, 150},
        {"shrinks after the scan", 420, 150, 150},
        {"emptied after the scan", 300, 0, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TScratchDir dir("change");
        MakeDirectory(dir / "src");
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        WritePatternFile(dir / "src\\a.bin", 77, 1);
        WritePatternFile(dir / "src\\b.bin", c.ScannedSize, 2);
        WritePatternFile(dir / "src\\c.bin", 55, 3);
        const std::string changed = PatternBytes(c.SplitSize, 9);
        {
            // Rewrite b.bin right before any source file is opened: the scan
            // has already listed it with its old size.
            TBeforeOperation hook(TFileOperation::Open, 1, [&] { WriteFileBytes(dir / "src\\b.bin", changed); });
            ASSERT_EQ(rcOk, RunSilent(false, dir / "src", dir / "parts"));
            EXPECT_EQ(3, hook.Count) << "each source is opened once";
        }
        ASSERT_EQ(rcOk, RunSilent(true, dir / "parts\\src.h001", dir / "out"));
        EXPECT_EQ(ReadFileBytes(dir / "src\\a.bin"), ReadFileBytes(dir / "out\\src\\a.bin"));
        EXPECT_EQ(changed.substr(0, static_cast<size_t>(c.Stored)), ReadFileBytes(dir / "out\\src\\b.bin"));
        EXPECT_EQ(ReadFileBytes(dir / "src\\c.bin"), ReadFileBytes(dir / "out\\src\\c.bin"));
    }
}

TEST(ChangingFiles, APartDeletedDuringAJoin) {
    TScratchDir dir("vanish");
    MakeDirectory(dir / "parts");
    MakeDirectory(dir / "out");
    WritePatternFile(dir / "f.bin", 450, 1);
    ASSERT_EQ(rcOk, RunSilent(false, dir / "f.bin", dir / "parts"));

    // Part 003 goes while part 001 is being read.
    TBeforeOperation hook(TFileOperation::Read, 2, [&] { DeleteFileA((dir / "parts\\f.bin.003").c_str()); });
    EXPECT_EQ(rcSourceNotFound, RunSilent(true, dir / "parts\\f.bin.001", dir / "out"));
    EXPECT_EQ(ReadFileBytes(dir / "f.bin").substr(0, 200), ReadFileBytes(dir / "out\\f.bin"))
        << "what was rebuilt before the gap stays";
}

TEST(ChangingFiles, APartDeletedBetweenTheCheckAndTheOpen) {
    TScratchDir dir("vanish2");
    MakeDirectory(dir / "parts");
    MakeDirectory(dir / "out");
    WritePatternFile(dir / "f.bin", 450, 1);
    ASSERT_EQ(rcOk, RunSilent(false, dir / "f.bin", dir / "parts"));

    // The open of part 002 (the fourth open: checksums, header, 001, 002)
    // finds it gone.
    TBeforeOperation hook(TFileOperation::Open, 4, [&] { DeleteFileA((dir / "parts\\f.bin.002").c_str()); });
    TScriptedUser user;
    user.Answers = {idYes};
    TJobRequest request;
    request.Source = dir / "parts\\f.bin.001";
    request.OutputDir = dir / "out";
    request.Join = true;
    request.Silent = false;
    EXPECT_EQ(rcFileError, RunInProcess(request));
    ASSERT_EQ(2u, user.Boxes.size());
    EXPECT_EQ(mbOk | mbIconError, user.Boxes[1].Style);
    EXPECT_EQ(100, FileSizeOf(dir / "out\\f.bin"));
}
