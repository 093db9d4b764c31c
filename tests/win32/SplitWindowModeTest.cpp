// A split as the window runs it: the questions, the report and the error
// boxes, answered by a scripted user; the files it leaves; open handles.
#include "engine/UnitFendrix.h"
#include "foundation/UnitFileStream.h"
#include "support/InProcessJob.h"
#include "support/ScriptedUser.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const std::string EscHint = "You can press the <ESC> key to interrupt the job.";
const std::string DiskNote =
    "Note: Sometimes preformatted floppy disks have damaged sectors, so please make sure, you can read back the "
    "copied files from the disks!";

std::string Report(int parts, int headers) {
    return "Fendrix has succesfully created " + std::to_string(parts) + " partfile(s) and " +
           std::to_string(headers) +
           " headerfile(s). The last partfile and the first headerfile fit on the same disk.";
}

uint8_t RunSplit(const std::string& source, const std::string& outputDir, int64_t size, bool batch = false) {
    TJobRequest request;
    request.Source = source;
    request.OutputDir = outputDir;
    request.Size = size;
    request.Batch = batch;
    request.Silent = false;
    return RunInProcess(request);
}

// The data parts of the set named stem that lie in dir: stem.001, stem.002,
// ... (header files and the sfv file not counted).
int DataPartsOnDisk(const std::string& dir, const std::string& stem) {
    int parts = 0;
    for (const std::string& name : FileNamesIn(dir)) {
        const std::string tail = name.substr(0, stem.size() + 1) == stem + "." ? name.substr(stem.size() + 1) : "";
        if (tail.size() >= 3 && tail.find_first_not_of("0123456789") == std::string::npos)
            ++parts;
    }
    return parts;
}

}  // namespace

TEST(SplitWindowMode, ConfirmationAndReportTexts) {
    struct TCase {
        const char* Label;
        int64_t SourceSize;
        int64_t PartSize;
        std::string NameTail;
        // The data parts that the split writes, and so the number that both
        // texts give.
        int DataParts;
        int HeaderFiles;
        bool DiskNote;
    };
    const TCase cases[] = {
        {"diskette size adds the note", 3000000, 1453568, "", 3, 1, true},
        {"one byte less than the diskette size: no note", 3000000, 1453567, "", 3, 1, false},
        // 195 bytes in parts of 100 leave 5 bytes of room; the 150-byte
        // header then takes three header files, and the report says so.
        {"the report counts the header files written", 195, 100, std::string(108, 'n'), 2, 3, false},
        // A full part is followed by the next one while the source is open:
        // the last data part is empty, and it is counted.
        {"an exact multiple of the part size", 300, 100, "", 4, 1, false},
        {"an empty file has one empty part", 0, 100, "", 1, 1, false},
        {"less than one part", 50, 100, "", 1, 1, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TScratchDir dir("swm");
        MakeDirectory(dir / "out");
        const std::string name = "src" + c.NameTail + ".dat";
        const std::string source = dir / name;
        WritePatternFile(source, c.SourceSize, 2);

        TScriptedUser user;
        user.Answers = {idYes};
        ASSERT_EQ(rcOk, RunSplit(source, dir / "out", c.PartSize));
        const int onDisk = DataPartsOnDisk(dir / "out", name);
        EXPECT_EQ(c.DataParts, onDisk);
        ASSERT_EQ(2u, user.Boxes.size());
        EXPECT_EQ("There are " + std::to_string(onDisk) + " parts to create. " + EscHint + " Do you want to continue?",
                  user.Boxes[0].Text);
        EXPECT_EQ("Split", user.Boxes[0].Caption);
        EXPECT_EQ(mbYesNo | mbIconInformation, user.Boxes[0].Style);
        EXPECT_EQ(Report(onDisk, c.HeaderFiles) + (c.DiskNote ? "\r\n" + DiskNote : std::string()),
                  user.Boxes[1].Text);
        EXPECT_EQ("Split", user.Boxes[1].Caption);
        EXPECT_EQ(mbOk | mbIconInformation, user.Boxes[1].Style);
    }
}

TEST(SplitWindowMode, NoToTheConfirmationWritesNothing) {
    TScratchDir dir("swmno");
    MakeDirectory(dir / "out");
    WritePatternFile(dir / "f.bin", 500, 1);
    TScriptedUser user;
    user.Answers = {idNo};
    EXPECT_EQ(rcCancelled, RunSplit(dir / "f.bin", dir / "out", 100, true));
    EXPECT_EQ(1u, user.Boxes.size());
    EXPECT_EQ(0, CountEntries(dir / "out"));
}

TEST(SplitWindowMode, OverwriteQuestion) {
    struct TCase {
        const char* Label;
        std::vector<std::string> Existing;
        int Answer;
        uint8_t Result;
        std::string AskedFor;
        bool DataWritten;
    };
    const TCase cases[] = {
        {"yes answers for every later part and header file", {"f.bin.002", "f.bin.003", "f.bin.h001"}, idYes,
         rcOk, "f.bin.002", true},
        {"no ends the job and keeps what was written", {"f.bin.002", "f.bin.h001"}, idNo, rcCancelled,
         "f.bin.002", false},
        {"the header phase asks when nothing was asked before", {"f.bin.h001"}, idYes, rcOk, "f.bin.h001", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TScratchDir dir("swmover");
        MakeDirectory(dir / "out");
        WritePatternFile(dir / "f.bin", 250, 3);
        for (const std::string& name : c.Existing)
            WriteFileBytes(dir / ("out\\" + name), "old");

        TScriptedUser user;
        user.Answers = {idYes, c.Answer};
        EXPECT_EQ(c.Result, RunSplit(dir / "f.bin", dir / "out", 100));

        const size_t questions = c.Result == rcOk ? 3u : 2u;
        ASSERT_EQ(questions, user.Boxes.size());
        const TMessageBoxRequest& asked = user.Boxes[1];
        EXPECT_EQ("File \"" + dir / ("out\\" + c.AskedFor) + "\" already exists. Always overwrite existing files?",
                  asked.Text);
        EXPECT_EQ(mbYesNo | mbIconQuestion | mbDefButton2, asked.Style);

        EXPECT_EQ(100, FileSizeOf(dir / "out\\f.bin.001")) << "the part written before the question stays";
        if (c.DataWritten) {
            const std::string source = ReadFileBytes(dir / "f.bin");
            EXPECT_EQ(source.substr(100, 100), ReadFileBytes(dir / "out\\f.bin.002"));
            EXPECT_EQ(source.substr(200), ReadFileBytes(dir / "out\\f.bin.003"));
        } else {
            EXPECT_EQ("old", ReadFileBytes(dir / "out\\f.bin.002"));
            EXPECT_EQ("old", ReadFileBytes(dir / "out\\f.bin.h001")) << "no header phase after a refusal";
        }
    }
}

TEST(SplitWindowMode, EscapeCancelsTheDataPhaseOnly) {
    TScratchDir dir("swmesc");
    MakeDirectory(dir / "out");
    WritePatternFile(dir / "f.bin", 1000, 3);
    TScriptedUser user;
    user.Answers = {idYes};
    TFakeJobWindow window(3);
    EXPECT_EQ(rcCancelled, RunSplit(dir / "f.bin", dir / "out", 100));
    EXPECT_EQ(3, window.Checks) << "the job stops at the check that asked";
    EXPECT_EQ(std::vector<std::string>(3, "Split"), window.CheckCaptions);
    EXPECT_TRUE(FileExists(dir / "out\\f.bin.003"));
    EXPECT_FALSE(FileExists(dir / "out\\f.bin.h001")) << "no header files after a cancellation";
    EXPECT_EQ(0, window.BusyCalls) << "the busy cursor is cleared after the job";
    EXPECT_EQ(0, window.Total) << "the progress display is emptied after the job";
    EXPECT_EQ(reinterpret_cast<void*>(0x1234), user.Boxes[0].Owner);
}

TEST(SplitWindowMode, ProgressCountsDataAndHeader) {
    TScratchDir dir("swmprog");
    MakeDirectory(dir / "out");
    WritePatternFile(dir / "f.bin", 1000, 3);
    TScriptedUser user;
    user.Answers = {idYes};
    TFakeJobWindow window;
    ASSERT_EQ(rcOk, RunSplit(dir / "f.bin", dir / "out", 300));
    const int64_t header = FileSizeOf(dir / "out\\f.bin.h001");
    EXPECT_EQ(1000 + header, window.HighestPosition);
    EXPECT_EQ(5, window.Checks) << "one cancel check per data step, the end of the file included";
}

TEST(SplitWindowMode, FileErrorsShowTheSystemTextAndKeepWhatWasWritten) {
    // A source held open for writing by someone else cannot be read.
    {
        TScratchDir dir("swmlock");
        MakeDirectory(dir / "out");
        WritePatternFile(dir / "f.bin", 250, 1);
        HANDLE holder = CreateFileA((dir / "f.bin").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, holder);
        const uint32_t handles = OpenHandleCount();

        TScriptedUser user;
        user.Answers = {idYes};
        EXPECT_EQ(rcFileError, RunSplit(dir / "f.bin", dir / "out", 100));
        ASSERT_EQ(2u, user.Boxes.size());
        EXPECT_EQ(SystemErrorText(ERROR_SHARING_VIOLATION), user.Boxes[1].Text);
        EXPECT_EQ(mbOk | mbIconError, user.Boxes[1].Style);
        EXPECT_EQ("Split", user.Boxes[1].Caption);
        EXPECT_EQ(handles, OpenHandleCount()) << "every handle of the job is closed";
        CloseHandle(holder);
    }
    // A directory where a part file must go.
    {
        TScratchDir dir("swmdir");
        MakeDirectory(dir / "out");
        WritePatternFile(dir / "f.bin", 250, 1);
        MakeDirectory(dir / "out\\f.bin.002");
        HANDLE probe = CreateFileA((dir / "out\\f.bin.002").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                   nullptr);
        ASSERT_EQ(INVALID_HANDLE_VALUE, probe);
        const std::string expected = SystemErrorText(GetLastError());
        const uint32_t handles = OpenHandleCount();

        TScriptedUser user;
        user.Answers = {idYes};
        EXPECT_EQ(rcFileError, RunSplit(dir / "f.bin", dir / "out", 100, true));
        ASSERT_EQ(2u, user.Boxes.size());
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(expected, user.Boxes[1].Text);
        EXPECT_EQ(100, FileSizeOf(dir / "out\\f.bin.001"));
        EXPECT_EQ("copy /b \"f.bin.001\" \"f.bin\"\r\n", ReadFileBytes(dir / "out\\f.bat"))
            << "the batch file written so far stays";
        EXPECT_EQ(handles, OpenHandleCount());
    }
}

TEST(SplitWindowMode, TooManyPartsIsRefusedBeforeAnyQuestion) {
    TScratchDir dir("swm999");
    MakeDirectory(dir / "out");
    WritePatternFile(dir / "f.bin", 1000, 1);
    TScriptedUser user;
    EXPECT_EQ(rcTooManyParts, RunSplit(dir / "f.bin", dir / "out", 1));
    EXPECT_TRUE(user.Boxes.empty());
    EXPECT_EQ(0, CountEntries(dir / "out"));
}
