// How whole jobs end when something unusual happens on the way: an
// exception that is no file error, writes that take less than they were
// given in the header phase, the answer No to replacing a header file, a
// part found in a second folder while the output would land on a part, and
// sources of 4 GiB and more. In-process, with real files.
#include "engine/UnitFendrix.h"
#include "engine/SilentJob.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/FileSystem.h"
#include "support/InProcessJob.h"
#include "support/JoinSets.h"
#include "support/ScriptedUser.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int64_t GiB = 1024ll * 1024 * 1024;

std::string Number3(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

// Removes the hook however the test ends.
struct THookGuard {
    explicit THookGuard(TFileFaultHook hook) { SetFileFaultHook(std::move(hook)); }
    ~THookGuard() { SetFileFaultHook(nullptr); }
};

const char* OperationName(TFileOperation operation) {
    switch (operation) {
    case TFileOperation::Create: return "create";
    case TFileOperation::Open: return "open";
    case TFileOperation::Read: return "read";
    case TFileOperation::Write: return "write";
    case TFileOperation::Seek: return "seek";
    case TFileOperation::SetTime: return "set time";
    case TFileOperation::MakeDirectory: return "make directory";
    case TFileOperation::List: return "list";
    case TFileOperation::Copy: return "copy";
    case TFileOperation::Close: return "close";
    }
    return "?";
}

// ---------------------------------------------------------------------------
// An exception that is no file error leaves the job with 12.

enum class TThrown { BadAlloc, RuntimeError, Integer };

void ThrowOne(TThrown what) {
    switch (what) {
    case TThrown::BadAlloc: throw std::bad_alloc();
    case TThrown::RuntimeError: throw std::runtime_error("not a file error");
    case TThrown::Integer: throw 42;
    }
}

TEST(JobOutcomes, AnExceptionOtherThanAFileErrorGivesTwelve) {
    struct TRow {
        const char* Label;
        bool Join;
        bool Silent;
        TFileOperation Operation;
        TThrown Thrown;
    } rows[] = {
        // The scan's own failure, not an empty list that reads as a missing
        // source (1).
        {"split, out of memory listing a directory", false, true, TFileOperation::List, TThrown::BadAlloc},
        {"split from the window, out of memory listing a directory", false, false, TFileOperation::List,
         TThrown::BadAlloc},
        {"split, out of memory opening the source", false, true, TFileOperation::Open, TThrown::BadAlloc},
        {"split, out of memory creating a part", false, true, TFileOperation::Create, TThrown::BadAlloc},
        {"split, out of memory reading", false, true, TFileOperation::Read, TThrown::BadAlloc},
        {"split, out of memory writing", false, true, TFileOperation::Write, TThrown::BadAlloc},
        {"split, a runtime error writing", false, true, TFileOperation::Write, TThrown::RuntimeError},
        {"split from the window, an integer thrown writing", false, false, TFileOperation::Write, TThrown::Integer},
        {"join, out of memory opening a part", true, true, TFileOperation::Open, TThrown::BadAlloc},
        {"join, out of memory creating a file", true, true, TFileOperation::Create, TThrown::BadAlloc},
        {"join, out of memory stamping a file", true, true, TFileOperation::SetTime, TThrown::BadAlloc},
        {"join, out of memory making a directory", true, true, TFileOperation::MakeDirectory, TThrown::BadAlloc},
        {"join from the window, a runtime error reading", true, false, TFileOperation::Read, TThrown::RuntimeError},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratchDir dir("twelve");
        MakeDirectory(dir / "src");
        MakeDirectory(dir / "src\\sub");
        WritePatternFile(dir / "src\\a.bin", 700, 1);
        WritePatternFile(dir / "src\\sub\\b.bin", 90, 2);
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        {
            TJobRequest make;
            make.Source = dir / "src";
            make.OutputDir = dir / "parts";
            make.Size = 300;
            ASSERT_EQ(rcOk, RunInProcess(make));
        }
        const std::string part1 = ReadFileBytes(dir / "parts\\src.001");

        TScriptedUser user;
        user.DefaultAnswer = idYes;
        TJobRequest request;
        request.Source = row.Join ? dir / "parts\\src.h001" : dir / "src";
        request.OutputDir = dir / "out";
        request.Size = 300;
        request.Join = row.Join;
        request.Silent = row.Silent;
        int thrown = 0;
        const uint32_t handles = OpenHandleCount();
        uint8_t result;
        std::string failure;
        {
            THookGuard hook([&](TFileOperation operation) {
                if (operation == row.Operation && thrown++ == 0)
                    ThrowOne(row.Thrown);
                return TFileFault();
            });
            result = RunInProcess(request, &failure);
        }
        EXPECT_EQ(1, thrown) << "the exception was thrown once, at " << OperationName(row.Operation);
        EXPECT_EQ(rcUnknownError, result);
        // Memory that ran out is named as what it is.
        EXPECT_EQ(row.Thrown == TThrown::BadAlloc ? LangText(msgOutOfMemory) : std::string(), failure);
        EXPECT_EQ(handles, OpenHandleCount()) << "a handle was left open";
        // The file-error box belongs to file errors alone.
        for (const TMessageBoxRequest& box : user.Boxes)
            EXPECT_NE(mbOk | mbIconError, box.Style) << box.Text;
        EXPECT_EQ(PatternBytes(700, 1), ReadFileBytes(dir / "src\\a.bin"));
        EXPECT_EQ(PatternBytes(90, 2), ReadFileBytes(dir / "src\\sub\\b.bin"));
        EXPECT_EQ(part1, ReadFileBytes(dir / "parts\\src.001"));
    }
}

TEST(JobOutcomes, TheSilentEntryGuardGivesTwelveForAnythingThatEscapes) {
    const struct {
        const char* Label;
        TThrown Thrown;
    } rows[] = {{"bad_alloc", TThrown::BadAlloc}, {"runtime_error", TThrown::RuntimeError}, {"int", TThrown::Integer}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Label);
        EXPECT_EQ(rcUnknownError, GuardedJobResult([&]() -> uint8_t {
                      ThrowOne(row.Thrown);
                      return rcOk;
                  }));
    }
    EXPECT_EQ(rcFileError, GuardedJobResult([] { return rcFileError; }));

    // And the whole silent start, with the exception from deep inside a copy.
    TScratchDir dir("guard");
    WritePatternFile(dir / "a.bin", 500, 3);
    MakeDirectory(dir / "out");
    TFendrixStartParams params;
    params.SourcePath = dir / "a.bin";
    params.OutputDir = dir / "out";
    params.Size = 100;
    params.Silent = true;
    int writes = 0;
    THookGuard hook([&](TFileOperation operation) {
        if (operation == TFileOperation::Write && ++writes == 3)
            throw std::bad_alloc();
        return TFileFault();
    });
    EXPECT_EQ(rcUnknownError, RunSilentJob(params));
    EXPECT_EQ(3, writes);
}

// ---------------------------------------------------------------------------
// Writes that take less than they were given while the header is written.

TEST(JobOutcomes, ShortWritesInTheHeaderPhaseEndTheSplit) {
    // 1000 bytes in parts of 300: four data parts, then the header files.
    constexpr int DataParts = 4;
    // A loop that never ends would be stopped here with a disk-full error,
    // and the count of header writes shows it.
    constexpr int Runaway = 50;
    struct TRow {
        const char* Label;
        uint32_t ShortBy;
        int ShortWrites;  // how many header writes are short (-1: all)
        uint8_t Result;
        int MaxHeaderWrites;
    } rows[] = {
        {"every header write takes nothing", 0xFFFFFFFFu, -1, rcFileError, 1},
        {"every header write is one byte short", 1, -1, rcFileError, 2},
        {"every header write is ten bytes short", 10, -1, rcFileError, 2},
        {"the first header write takes nothing", 0xFFFFFFFFu, 1, rcFileError, 1},
        // One short write is no error: the rest goes into the next header
        // file, and the set still reads back.
        {"only the first header write is one byte short", 1, 1, rcOk, 3},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratchDir dir("hshort");
        WritePatternFile(dir / "data.bin", 1000, 9);
        MakeDirectory(dir / "out");
        int creates = 0;
        int headerWrites = 0;
        uint8_t result;
        {
            THookGuard hook([&](TFileOperation operation) {
                TFileFault fault;
                if (operation == TFileOperation::Create)
                    ++creates;
                if (operation != TFileOperation::Write || creates <= DataParts)
                    return fault;
                ++headerWrites;
                if (headerWrites > Runaway)
                    fault.Error = ERROR_DISK_FULL;
                else if (row.ShortWrites < 0 || headerWrites <= row.ShortWrites)
                    fault.ShortWriteBy = row.ShortBy;
                return fault;
            });
            TJobRequest request;
            request.Source = dir / "data.bin";
            request.OutputDir = dir / "out";
            request.Size = 300;
            result = RunInProcess(request);
        }
        EXPECT_EQ(row.Result, result);
        EXPECT_GE(headerWrites, 1) << "the header phase was reached";
        EXPECT_LE(headerWrites, row.MaxHeaderWrites) << "header files kept being written";
        EXPECT_TRUE(FileExists(dir / ("out\\data.bin." + Number3(DataParts))));
        EXPECT_EQ(PatternBytes(1000, 9), ReadFileBytes(dir / "data.bin"));
        if (row.Result == rcOk) {
            MakeDirectory(dir / "back");
            EXPECT_EQ(rcOk, RunJoinInProcess(dir / "out\\data.bin.h001", dir / "back", true));
            EXPECT_EQ(PatternBytes(1000, 9), ReadFileBytes(dir / "back\\data.bin"));
        }
    }
}

// ---------------------------------------------------------------------------
// The answer No to replacing a header file.

TEST(JobOutcomes, NoToOverwritingAHeaderFileCancelsAndKeepsIt) {
    struct TRow {
        const char* Label;
        const char* Existing;  // the header file that is already there
    } rows[] = {
        {"the first header file", "data.bin.h001"},
        {"the first header file in other case", "DATA.BIN.H001"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratchDir dir("hno");
        WritePatternFile(dir / "data.bin", 1000, 5);
        MakeDirectory(dir / "out");
        const std::string old = "a header file of an earlier set";
        WriteFileBytes(dir / (std::string("out\\") + row.Existing), old);

        TScriptedUser user;
        user.Answers = {idYes, idNo};  // split into 4 parts: Yes; overwrite: No
        TFakeJobWindow window;
        TJobRequest request;
        request.Source = dir / "data.bin";
        request.OutputDir = dir / "out";
        request.Size = 300;
        request.Silent = false;
        EXPECT_EQ(rcCancelled, RunInProcess(request));

        ASSERT_EQ(2u, user.Boxes.size()) << "the confirmation and the overwrite question, no report";
        EXPECT_EQ(mbYesNo | mbIconQuestion | mbDefButton2, user.Boxes[1].Style);
        EXPECT_NE(std::string::npos, user.Boxes[1].Text.find("h001")) << user.Boxes[1].Text;
        EXPECT_EQ(old, ReadFileBytes(dir / "out\\data.bin.h001"));
        EXPECT_FALSE(FileExists(dir / "out\\data.bin.h002"));
        EXPECT_EQ(PatternBytes(1000, 5), ReadFileBytes(dir / "data.bin"));
    }
}

// ---------------------------------------------------------------------------
// The join's guard when the parts come from two folders.

TEST(JobOutcomes, JoinNeverWritesOverAPartInEitherFolderOfTheSet) {
    // Set x: part 001 and the header in "first", part 002 only in "second",
    // found through the open dialog. The header's second file is named like
    // a part; its output lands where the row says.
    const std::string data = PatternBytes(16, 6);
    struct TRow {
        const char* Label;
        const char* OutDir;
        const char* SecondName;
        bool Refused;
    } rows[] = {
        {"output on part 001 in the first folder", "first", "x.001", true},
        {"output on part 002 in the second folder", "second", "x.002", true},
        {"output on the header file, other case", "first", "X.H001", true},
        {"a part name, in a folder that holds no part", "out", "x.002", false},
        {"a part name of another set in the second folder", "second", "y.002", false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratchDir dir("jguard2");
        MakeDirectory(dir / "first");
        MakeDirectory(dir / "second");
        MakeDirectory(dir / "out");
        // "a" is read from both parts, so the second folder is known before
        // the second file is created.
        const std::string header = HeaderTextOf({{"a", 'F', "12"}, {row.SecondName, 'F', "4"}});
        WriteFileBytes(dir / "first\\x.001", data.substr(0, 8));
        WriteFileBytes(dir / "first\\x.h001", header);
        WriteFileBytes(dir / "second\\x.002", data.substr(8));
        const std::vector<std::string> parts = {"first\\x.001", "first\\x.h001", "second\\x.002"};
        std::vector<std::string> before;
        for (const std::string& p : parts)
            before.push_back(ReadFileBytes(dir / p));

        TScriptedUser user;
        user.DefaultAnswer = idYes;
        user.Picks = {dir / "second\\x.002"};
        const uint8_t result = RunJoinInProcess(dir / "first\\x.h001", dir / row.OutDir, false);
        EXPECT_EQ(1u, user.Dialogs.size()) << "part 002 was looked for through the dialog";
        for (size_t i = 0; i < parts.size(); ++i)
            EXPECT_EQ(before[i], ReadFileBytes(dir / parts[i])) << parts[i];
        EXPECT_EQ(data.substr(0, 12), ReadFileBytes(dir / (std::string(row.OutDir) + "\\a")));
        if (row.Refused) {
            EXPECT_EQ(rcFileError, result);
            ASSERT_FALSE(user.Boxes.empty());
            EXPECT_EQ(mbOk | mbIconError, user.Boxes.back().Style);
            EXPECT_NE(std::string::npos, user.Boxes.back().Text.find("Cannot write over a part"))
                << user.Boxes.back().Text;
        } else {
            EXPECT_EQ(rcOk, result);
            EXPECT_EQ(data.substr(12),
                      ReadFileBytes(dir / (std::string(row.OutDir) + "\\" + row.SecondName)));
        }
    }
}

// ---------------------------------------------------------------------------
// Sources of 4 GiB and more.

// The frame resets the progress total when the job ends: keep the largest.
class TTotalKeepingWindow : public TFakeJobWindow {
public:
    using TFakeJobWindow::TFakeJobWindow;
    void SetProgressTotal(int64_t total) override {
        if (total > LargestTotal)
            LargestTotal = total;
    }
    int64_t LargestTotal = -1;
};

// A file of the given size that takes no room: only its end is set.
void MakeSparseFile(const std::string& path, int64_t size) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER end;
    end.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
}

TEST(JobOutcomes, SizesOfFourGiBAndMoreAreCountedInFull) {
    TScratchDir dir("huge");
    MakeDirectory(dir / "tree");
    const int64_t big = 5 * GiB + 1;
    MakeSparseFile(dir / "tree\\big.bin", big);
    WritePatternFile(dir / "tree\\small.bin", 10, 1);
    MakeDirectory(dir / "out");
    ASSERT_EQ(big, FileSizeOf(dir / "tree\\big.bin"));

    // The scan and the header text it records.
    {
        TFileInfos list;
        EXPECT_FALSE(list.ScanPath(dir / "tree\\big.bin", 6 * GiB));
        ASSERT_EQ(1, list.Count());
        EXPECT_EQ(big, list.GetItem(0)->Size);
        EXPECT_NE(std::string::npos, list.BuildHeader().find("big.bin\tF\t5368709121\t")) << list.BuildHeader();
    }
    {
        TFileInfos list;
        EXPECT_FALSE(list.ScanPath(dir / "tree", 6 * GiB));
        EXPECT_EQ(big + 10, list.TotalSize());
        // A limit below the total says so.
        TFileInfos limited;
        EXPECT_TRUE(limited.ScanPath(dir / "tree", 5 * GiB));
    }

    struct TRow {
        const char* Label;
        int64_t Size;
        uint8_t Result;
        const char* Parts;  // the number the confirmation names; "" when none is asked
    } rows[] = {
        {"5 GiB in 1 MiB parts are more than 999", 1024 * 1024, rcTooManyParts, ""},
        {"5 GiB in 2 GiB parts are three", 2 * GiB, rcCancelled, "3"},
        {"5 GiB in 4 GiB parts are two", 4 * GiB, rcCancelled, "2"},
        {"5 GiB in 5 GiB parts are two, the second one byte", 5 * GiB, rcCancelled, "2"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        RemoveTree(dir / "out");
        MakeDirectory(dir / "out");
        TScriptedUser user;
        user.DefaultAnswer = idYes;
        // The window cancels at its first check: one copy step, not 5 GiB.
        TTotalKeepingWindow window(1);
        TJobRequest request;
        request.Source = dir / "tree\\big.bin";
        request.OutputDir = dir / "out";
        request.Size = row.Size;
        request.Silent = false;
        EXPECT_EQ(row.Result, RunInProcess(request));
        if (row.Result == rcTooManyParts) {
            EXPECT_EQ(0, CountEntries(dir / "out"));
            continue;
        }
        ASSERT_FALSE(user.Boxes.empty());
        EXPECT_EQ(0u, user.Boxes[0].Text.find("There are " + std::string(row.Parts) + " parts to create."))
            << user.Boxes[0].Text;
        // The progress total is the source and its header text.
        TFileInfos list;
        list.ScanPath(dir / "tree\\big.bin", 6 * GiB);
        EXPECT_EQ(big + list.HeaderSize(), window.LargestTotal);
        EXPECT_EQ(1, window.Checks);
    }
}

}  // namespace
