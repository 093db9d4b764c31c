// Every file operation of a whole split and a whole join made to fail once,
// in turn, with a real system error: the job must end with result 9 and the
// system's text, close every handle, leave the sources as they were, write
// nothing outside its output directory, and a rerun must give a clean set.
#include "engine/UnitFendrix.h"
#include "foundation/UnitFileStream.h"
#include "foundation/platform/FileSystem.h"
#include "support/InProcessJob.h"
#include "support/ScriptedUser.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <set>

namespace {

using TSnapshot = std::map<std::string, std::string>;

// Every file and directory below dir; files with their bytes and, when
// asked, their last-write time to the millisecond.
void TakeSnapshot(const std::string& dir, const std::string& relative, bool withTimes, TSnapshot& out) {
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = dir + "\\" + name;
        const std::string key = relative + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[key + "\\"] = "<dir>";
            TakeSnapshot(path, key + "\\", withTimes, out);
        } else {
            std::string value = ReadFileBytes(path);
            if (withTimes)
                value += "@" + std::to_string(LastWriteTimeOf(path) / 10000);
            out[key] = value;
        }
    } while (FindNextFileA(h, &data));
    FindClose(h);
}

TSnapshot Snapshot(const std::string& dir, bool withTimes = false) {
    TSnapshot out;
    TakeSnapshot(dir, "", withTimes, out);
    return out;
}

uint32_t ErrorFor(TFileOperation operation) {
    switch (operation) {
    case TFileOperation::Create: return ERROR_ACCESS_DENIED;
    case TFileOperation::Open: return ERROR_SHARING_VIOLATION;
    case TFileOperation::Read: return ERROR_READ_FAULT;
    case TFileOperation::Write: return ERROR_DISK_FULL;
    case TFileOperation::Seek: return ERROR_NEGATIVE_SEEK;
    case TFileOperation::SetTime: return ERROR_WRITE_PROTECT;
    case TFileOperation::MakeDirectory: return ERROR_PATH_NOT_FOUND;
    case TFileOperation::List: return ERROR_NETWORK_ACCESS_DENIED;
    case TFileOperation::Copy: return ERROR_HANDLE_DISK_FULL;
    // A network file system that writes back only when the file closes.
    case TFileOperation::Close: return ERROR_NETNAME_DELETED;
    }
    return ERROR_GEN_FAILURE;
}

// Fails the n-th file operation from its creation on; a short write counts
// the writes only.
class TInjectedFault {
public:
    explicit TInjectedFault(int failAt, bool shortWrite = false) : FailAt(failAt), ShortWrite(shortWrite) {
        SetFileFaultHook([this](TFileOperation operation) {
            TFileFault fault;
            if (ShortWrite && operation != TFileOperation::Write)
                return fault;
            if (++Count == FailAt) {
                Hit = operation;
                if (ShortWrite)
                    fault.ShortWriteBy = 1;
                else
                    fault.Error = ErrorFor(operation);
            }
            return fault;
        });
    }
    ~TInjectedFault() { SetFileFaultHook(nullptr); }
    bool Happened() const { return Count >= FailAt; }

    int FailAt;
    bool ShortWrite;
    int Count = 0;
    TFileOperation Hit = TFileOperation::Create;
};

uint8_t RunJob(bool join, const std::string& source, const std::string& outputDir) {
    TJobRequest request;
    request.Source = source;
    request.OutputDir = outputDir;
    request.Size = 300;
    request.Join = join;
    request.Silent = false;
    return RunInProcess(request);
}

void MakeSourceTree(const TScratchDir& dir) {
    MakeDirectory(dir / "src");
    MakeDirectory(dir / "src\\sub");
    MakeDirectory(dir / "src\\sub\\empty");
    WritePatternFile(dir / "src\\a.txt", 250, 1);
    WritePatternFile(dir / "src\\sub\\b.bin", 1000, 2);
    WritePatternFile(dir / "src\\z.dat", 0, 3);
    WritePatternFile(dir / "src\\c.bin", 333, 4);
    MakeDirectory(dir / "src\\last");
    const uint64_t base = 127000000000000000ull;
    SetLastWriteTimeOf(dir / "src\\a.txt", base + 1230000);
    SetLastWriteTimeOf(dir / "src\\sub\\b.bin", base + 99990000);
    SetLastWriteTimeOf(dir / "src\\z.dat", base + 5550000);
    SetLastWriteTimeOf(dir / "src\\c.bin", base + 77770000);
}

struct TFaultRun {
    int Faults = 0;
    std::set<TFileOperation> Operations;
};

// Runs the job once per operation with that operation failing, and checks
// every promise after each fault.
TFaultRun InjectEveryFault(bool join) {
    TScratchDir dir(join ? "fijoin" : "fisplit");
    MakeSourceTree(dir);
    MakeDirectory(dir / "parts");
    {
        TScriptedUser user;
        user.DefaultAnswer = idYes;
        EXPECT_EQ(rcOk, RunJob(false, dir / "src", dir / "parts"));
    }
    const TSnapshot sources = Snapshot(dir / "src", true);
    const TSnapshot parts = Snapshot(dir / "parts");
    const std::string jobSource = join ? dir / "parts\\src.h001" : dir / "src";
    const std::string outputDir = dir / "out";
    const TSnapshot clean = join ? Snapshot(dir / "src", true) : parts;

    TFaultRun run;
    for (int n = 1; n < 1000; ++n) {
        RemoveTree(outputDir);
        MakeDirectory(outputDir);
        const uint32_t handles = OpenHandleCount();
        TScriptedUser user;
        user.DefaultAnswer = idYes;
        TInjectedFault fault(n);
        const uint8_t result = RunJob(join, jobSource, outputDir);
        SetFileFaultHook(nullptr);
        if (!fault.Happened()) {
            EXPECT_EQ(rcOk, result) << "the run without any fault succeeds";
            break;
        }
        SCOPED_TRACE("operation " + std::to_string(n) + " of kind " + std::to_string(static_cast<int>(fault.Hit)));
        ++run.Faults;
        run.Operations.insert(fault.Hit);

        EXPECT_EQ(rcFileError, result);
        EXPECT_FALSE(user.Boxes.empty());
        if (!user.Boxes.empty()) {
            // A directory that cannot be listed is named after the text.
            EXPECT_EQ(0u, user.Boxes.back().Text.find(SystemErrorText(ErrorFor(fault.Hit)))) << user.Boxes.back().Text;
            if (fault.Hit == TFileOperation::List)
                EXPECT_NE(std::string::npos, user.Boxes.back().Text.find(dir / "src")) << user.Boxes.back().Text;
            else
                EXPECT_EQ(SystemErrorText(ErrorFor(fault.Hit)), user.Boxes.back().Text);
            EXPECT_EQ(mbOk | mbIconError, user.Boxes.back().Style);
        }
        EXPECT_EQ(handles, OpenHandleCount()) << "a handle was left open";
        EXPECT_EQ(sources, Snapshot(dir / "src", true)) << "a source changed";
        EXPECT_EQ(parts, Snapshot(dir / "parts")) << "the parts changed";
        EXPECT_EQ(3, CountEntries(dir.Path())) << "something was written outside the output directory";

        TScriptedUser again;
        again.DefaultAnswer = idYes;
        EXPECT_EQ(rcOk, RunJob(join, jobSource, outputDir));
        EXPECT_EQ(clean, join ? Snapshot(outputDir + "\\src", true) : Snapshot(outputDir))
            << "a rerun gives the clean set";
    }
    return run;
}

}  // namespace

TEST(FaultInjection, EveryOperationOfASplitFailsOnce) {
    const TFaultRun run = InjectEveryFault(false);
    std::printf("split: %d faults injected and survived\n", run.Faults);
    EXPECT_GT(run.Faults, 20);
    // A split reads each file up to the size the scan found: it never asks
    // a file's size again, and so never seeks.
    const std::set<TFileOperation> expected = {TFileOperation::Create, TFileOperation::Open, TFileOperation::Read,
                                               TFileOperation::Write, TFileOperation::List, TFileOperation::Close};
    EXPECT_EQ(expected, run.Operations);
}

TEST(FaultInjection, EveryOperationOfAJoinFailsOnce) {
    const TFaultRun run = InjectEveryFault(true);
    std::printf("join: %d faults injected and survived\n", run.Faults);
    EXPECT_GT(run.Faults, 20);
    const std::set<TFileOperation> expected = {TFileOperation::Create, TFileOperation::Open, TFileOperation::Read,
                                               TFileOperation::Write, TFileOperation::SetTime,
                                               TFileOperation::Seek, TFileOperation::MakeDirectory,
                                               TFileOperation::Close};
    EXPECT_EQ(expected, run.Operations);
}

TEST(FaultInjection, ShortWritesAreFileErrors) {
    for (bool join : {false, true}) {
        SCOPED_TRACE(join ? "join" : "split");
        TScratchDir dir("short");
        MakeSourceTree(dir);
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        {
            TScriptedUser user;
            user.DefaultAnswer = idYes;
            ASSERT_EQ(rcOk, RunJob(false, dir / "src", dir / "parts"));
        }
        TScriptedUser user;
        user.DefaultAnswer = idYes;
        uint8_t result;
        {
            // The first write of the data: a part (split) or a rebuilt file (join).
            TInjectedFault fault(1, true);
            result = RunJob(join, join ? dir / "parts\\src.001" : dir / "src", dir / "out");
            ASSERT_TRUE(fault.Happened());
            EXPECT_EQ(TFileOperation::Write, fault.Hit);
        }
        EXPECT_EQ(rcFileError, result);
        ASSERT_FALSE(user.Boxes.empty());
        EXPECT_EQ("Error writing to file!", user.Boxes.back().Text);
        EXPECT_EQ(mbOk | mbIconError, user.Boxes.back().Style);
    }
}
