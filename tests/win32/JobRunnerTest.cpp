#include "engine/JobWindow.h"
#include "engine/SilentJob.h"
#include "engine/UnitFendrix.h"
#include "foundation/UnitFileStream.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/Prompts.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Stands in for the person in front of the screen while it lives.
class TScriptedPerson {
public:
    explicit TScriptedPerson(bool allowed = true) {
        SetMessageBoxResponder([this, allowed](const TMessageBoxRequest& request) {
            if (!allowed)
                ADD_FAILURE() << "a message box appeared: " << request.Text;
            Boxes.push_back(request);
            return idOk;
        });
    }
    ~TScriptedPerson() { SetMessageBoxResponder(nullptr); }
    std::vector<TMessageBoxRequest> Boxes;
};

// The main window as the engine sees it, recording what it is asked to do.
class TRecordingWindow : public TJobWindow {
public:
    TRecordingWindow() { JobWindow = this; }
    ~TRecordingWindow() override { JobWindow = nullptr; }
    bool CheckCancel(const std::string& caption) override {
        Calls.push_back("CheckCancel " + caption);
        return false;
    }
    void* WindowHandle() const override { return reinterpret_cast<void*>(0x1234); }
    void SetProgressTotal(int64_t total) override { Calls.push_back("Total " + std::to_string(total)); }
    void SetProgressPosition(int64_t position) override { Calls.push_back("Position " + std::to_string(position)); }
    void SetBusyCursor() override { Calls.push_back("Busy"); }
    void ClearBusyCursor() override { Calls.push_back("NotBusy"); }
    std::vector<std::string> Calls;
};

class TLanguage {
public:
    explicit TLanguage(const std::string& code) : Saved(LanguageCode) { LanguageCode = code; }
    ~TLanguage() { LanguageCode = Saved; }

private:
    std::string Saved;
};

std::string AsForwardSlashes(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

// The scratch layout every path-check row picks its paths from.
struct TPaths {
    explicit TPaths(TScratchDir& dir) : File(dir / "source.bin"), Dir(dir / "tree"), Out(dir / "out") {
        WriteFileBytes(File, "source");
        MakeDirectory(Dir);
        MakeDirectory(Out);
        WriteFileBytes(dir / "not-a-dir.txt", "x");
        OutFile = dir / "not-a-dir.txt";
        Missing = dir / "missing";
    }
    std::string File, Dir, Out, OutFile, Missing;
};

struct TCheckRow {
    const char* Name;
    bool Splitting;
    std::string TPaths::*Source;
    std::string TPaths::*Output;
    int64_t Size;
    uint8_t Code;
};

TEST(CheckPaths, RefusesEachBadPathWithItsCode) {
    const TCheckRow rows[] = {
        {"split of a file", true, &TPaths::File, &TPaths::Out, DefaultPartSize, rcOk},
        {"split of a directory", true, &TPaths::Dir, &TPaths::Out, DefaultPartSize, rcOk},
        {"join of a file", false, &TPaths::File, &TPaths::Out, DefaultPartSize, rcOk},
        {"missing source", true, &TPaths::Missing, &TPaths::Out, DefaultPartSize, rcSourceNotFound},
        {"missing source of a join", false, &TPaths::Missing, &TPaths::Out, DefaultPartSize, rcSourceNotFound},
        {"missing output", true, &TPaths::File, &TPaths::Missing, DefaultPartSize, rcOutputNotFound},
        {"directory given to a join", false, &TPaths::Dir, &TPaths::Out, DefaultPartSize, rcSourceIsDirectory},
        {"output is a file", true, &TPaths::File, &TPaths::OutFile, DefaultPartSize, rcOutputIsFile},
        {"size 0", true, &TPaths::File, &TPaths::Out, 0, rcInvalidSize},
        {"size -1", true, &TPaths::File, &TPaths::Out, -1, rcInvalidSize},
        {"smallest size", true, &TPaths::File, &TPaths::Out, INT64_MIN, rcInvalidSize},
        {"size 1", true, &TPaths::File, &TPaths::Out, 1, rcOk},
        {"join with size 0", false, &TPaths::File, &TPaths::Out, 0, rcOk},
        // Later checks win over earlier ones.
        {"missing source, output a file", true, &TPaths::Missing, &TPaths::OutFile, DefaultPartSize, rcOutputIsFile},
        {"missing source, output a file, size 0", true, &TPaths::Missing, &TPaths::OutFile, 0, rcInvalidSize},
        {"missing source and output", true, &TPaths::Missing, &TPaths::Missing, DefaultPartSize, rcOutputNotFound},
        {"missing source, good output", true, &TPaths::Missing, &TPaths::Out, DefaultPartSize, rcSourceNotFound},
        {"directory to a join, output a file", false, &TPaths::Dir, &TPaths::OutFile, 0, rcOutputIsFile},
    };
    for (const TCheckRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TScratchDir dir("check");
        TPaths paths(dir);
        TScriptedPerson nobody(false);
        TFendrixStartParams params;
        params.Silent = true;
        params.SourcePath = paths.*row.Source;
        params.OutputDir = paths.*row.Output;
        params.Size = row.Size;
        TFendrix engine;
        engine.Params = &params;
        EXPECT_EQ(row.Code, engine.CheckPaths(row.Splitting));
        // The check writes nothing anywhere.
        EXPECT_EQ(0, CountEntries(paths.Out));
        EXPECT_EQ(0, CountEntries(paths.Dir));
    }
}

struct TPathRow {
    const char* Name;
    std::string Source;
    std::string Output;
    bool Splitting;
    uint8_t Code;
};

TEST(CheckPaths, NormalisesPathsAndKnowsDrives) {
    TScratchDir dir("drives");
    WriteFileBytes(dir / "source.bin", "source");
    MakeDirectory(dir / "out");
    MakeDirectory(dir / "tree");
    // The floppy A: and the CD-ROM R: of the test prefix.
    MakeDirectory("A:\\fx-sub");
    const TPathRow rows[] = {
        {"output on the floppy", dir / "source.bin", "A:\\", true, rcOutputRemovable},
        {"output on the floppy, no backslash", dir / "source.bin", "A:", true, rcOutputRemovable},
        {"output below the floppy root", dir / "source.bin", "A:\\fx-sub", true, rcOutputRemovable},
        {"output on the CD-ROM", dir / "source.bin", "R:\\", true, rcOutputRemovable},
        {"join onto the floppy", dir / "source.bin", "A:\\", false, rcOutputRemovable},
        {"output the root of a fixed drive", dir / "source.bin", "C:\\", true, rcOk},
        {"drive root as the source of a join", "C:\\", dir / "out", false, rcSourceIsDirectory},
        {"drive root as the source of a split", "C:\\", dir / "out", true, rcOk},
        {"forward slashes in the source", AsForwardSlashes(dir / "source.bin"), dir / "out", true, rcSourceNotFound},
        {"forward slashes in the output", dir / "source.bin", AsForwardSlashes(dir / "out"), true, rcOutputNotFound},
        {"trailing backslashes", dir / "tree\\\\\\", dir / "out\\\\", true, rcOk},
        {"trailing backslash on a file", dir / "source.bin\\", dir / "out", true, rcOk},
    };
    for (const TPathRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TScriptedPerson nobody(false);
        TFendrixStartParams params;
        params.Silent = true;
        params.SourcePath = row.Source;
        params.OutputDir = row.Output;
        TFendrix engine;
        engine.Params = &params;
        EXPECT_EQ(row.Code, engine.CheckPaths(row.Splitting));
        // Whatever the verdict, no trailing backslash survives.
        EXPECT_TRUE(params.SourcePath.empty() || params.SourcePath.back() != '\\') << params.SourcePath;
        EXPECT_TRUE(params.OutputDir.empty() || params.OutputDir.back() != '\\') << params.OutputDir;
    }
    RemoveTree("A:\\fx-sub");
}

TEST(CheckPaths, WritesBackTheFullPaths) {
    TScratchDir dir("full");
    WriteFileBytes(dir / "source.bin", "source");
    MakeDirectory(dir / "out");
    char old[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, old);
    SetCurrentDirectoryA(dir.Path().c_str());
    TFendrixStartParams params;
    params.Silent = true;
    params.SourcePath = "source.bin";
    params.OutputDir = "out\\";
    TFendrix engine;
    engine.Params = &params;
    EXPECT_EQ(rcOk, engine.CheckPaths(true));
    SetCurrentDirectoryA(old);
    EXPECT_EQ(dir / "source.bin", params.SourcePath);
    EXPECT_EQ(dir / "out", params.OutputDir);

    params.SourcePath = "C:\\\\";
    params.OutputDir = dir / "missing\\";
    EXPECT_EQ(rcOutputNotFound, engine.CheckPaths(true));
    EXPECT_EQ("C:", params.SourcePath);
    EXPECT_EQ(dir / "missing", params.OutputDir);
}

struct TBatchRow {
    const char* Name;
    bool SourceIsDirectory;
    bool Silent;
    bool BatchAfter;
    bool Warned;
};

TEST(CheckPaths, DropsTheBatchOptionForADirectory) {
    const TBatchRow rows[] = {
        {"directory, window", true, false, false, true},
        {"directory, silent", true, true, false, false},
        {"file, window", false, false, true, false},
        {"file, silent", false, true, true, false},
    };
    for (const TBatchRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TScratchDir dir("batch");
        MakeDirectory(dir / "tree");
        MakeDirectory(dir / "out");
        WriteFileBytes(dir / "file.bin", "x");
        TScriptedPerson person(!row.Silent);
        TFendrixStartParams params;
        params.Silent = row.Silent;
        params.Batch = true;
        params.SourcePath = row.SourceIsDirectory ? dir / "tree" : dir / "file.bin";
        params.OutputDir = dir / "out";
        TFendrix engine;
        engine.Params = &params;
        EXPECT_EQ(rcOk, engine.CheckPaths(true));
        EXPECT_EQ(row.BatchAfter, params.Batch);
        ASSERT_EQ(row.Warned ? 1u : 0u, person.Boxes.size());
        if (row.Warned) {
            EXPECT_EQ(LangText(msgBatchOnlyForFiles), person.Boxes[0].Text);
            // Shown before the job has a caption of its own.
            EXPECT_EQ("", person.Boxes[0].Caption);
            EXPECT_EQ(mbIconWarning | mbOk, person.Boxes[0].Style);
            EXPECT_EQ(nullptr, person.Boxes[0].Owner);
        }
    }
}

TEST(ShowResultMessage, ShowsTheWarningOfEachCodeInWindowMode) {
    TLanguage english("EN");
    const struct {
        uint8_t Code;
        const char* Text;  // none: no box
    } rows[] = {
        {rcOk, nullptr},
        {rcSourceNotFound, "File or Directory not found!"},
        {rcOutputNotFound, "File or Directory not found!"},
        {rcSourceIsDirectory,
         "Directories not allowed here! For joining, please select one of the partfiles instead."},
        {rcOutputIsFile, "Directory expected!"},
        {rcOutputRemovable, "Fendrix cannot write directly to removable disks (diskettes/CD)!"},
        {rcInvalidSize, "Invalid size!"},
        {rcTooManyParts, "You cannot create more than 999 parts!"},
        {rcInvalidHeader, "Invalid headerfile!"},
        {rcFileError, nullptr},
        {rcBatchRefused,
         "Batchfiles can only join splitted files, for splitting folders no batchfile will be created."},
        {rcCancelled, nullptr},
        {rcUnknownError, "An unknown error occured!"},
        {13, nullptr},
        {255, nullptr},
    };
    TRecordingWindow window;
    for (const auto& row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.Code));
        TScriptedPerson person;
        TFendrixStartParams params;
        TFendrix engine;
        engine.Params = &params;
        engine.Caption = "Join";
        engine.ShowResultMessage(row.Code);
        ASSERT_EQ(row.Text ? 1u : 0u, person.Boxes.size());
        if (row.Text) {
            EXPECT_EQ(row.Text, person.Boxes[0].Text);
            EXPECT_EQ("Join", person.Boxes[0].Caption);
            EXPECT_EQ(mbIconWarning | mbOk, person.Boxes[0].Style);
            EXPECT_EQ(window.WindowHandle(), person.Boxes[0].Owner);
        }
    }
}

// Where the job knows more than its code (which file, what failed), the
// warning says that instead of the code's general text; codes that show no
// warning of their own stay silent.
TEST(ShowResultMessage, ShowsTheJobsOwnTextInPlaceOfTheCodesOne) {
    TLanguage english("EN");
    const std::string own = "The header that begins in \"x.h001\" is invalid.";
    const struct {
        uint8_t Code;
        const char* Shown;  // none: no box
    } rows[] = {
        {rcInvalidHeader, own.c_str()},
        {rcSourceNotFound, own.c_str()},
        {rcUnknownError, own.c_str()},
        // The file error's own box and the damaged part's were shown by the
        // job as it met them.
        {rcFileError, nullptr},
        {13, nullptr},
        {rcCancelled, nullptr},
        {rcOk, nullptr},
    };
    TRecordingWindow window;
    for (const auto& row : rows) {
        SCOPED_TRACE("code " + std::to_string(row.Code));
        TScriptedPerson person;
        TFendrixStartParams params;
        TFendrix engine;
        engine.Params = &params;
        engine.FailureText = own;
        engine.ShowResultMessage(row.Code);
        ASSERT_EQ(row.Shown ? 1u : 0u, person.Boxes.size());
        if (row.Shown)
            EXPECT_EQ(row.Shown, person.Boxes[0].Text);
    }
}

TEST(ShowResultMessage, SpeaksItalianExceptForTheUnknownError) {
    TLanguage italian("IT");
    TScriptedPerson person;
    TFendrixStartParams params;
    TFendrix engine;
    engine.Params = &params;
    engine.ShowResultMessage(rcInvalidSize);
    engine.ShowResultMessage(rcOutputRemovable);
    engine.ShowResultMessage(rcUnknownError);
    ASSERT_EQ(3u, person.Boxes.size());
    EXPECT_EQ("Dimensione invalida!", person.Boxes[0].Text);
    EXPECT_EQ("Fendrix non pu\xF2 scrivere direttamente su dischi removibili (disketti/CD/Penne USB)!",
              person.Boxes[1].Text);
    EXPECT_EQ("An unknown error occured!", person.Boxes[2].Text);
}

TEST(ShowResultMessage, ShowsNothingInSilentMode) {
    TScriptedPerson nobody(false);
    TRecordingWindow window;
    TFendrixStartParams params;
    params.Silent = true;
    TFendrix engine;
    engine.Params = &params;
    for (int code = 0; code <= 255; ++code)
        engine.ShowResultMessage(static_cast<uint8_t>(code));
    EXPECT_TRUE(nobody.Boxes.empty());
}

TEST(JobFrame, CallsTheWindowOnlyInWindowMode) {
    TScratchDir dir("frame");
    MakeDirectory(dir / "out");
    const struct {
        const char* Name;
        bool Silent;
        bool Unsplit;
        std::vector<std::string> Calls;
        const char* Caption;
    } rows[] = {
        {"split, window", false, false, {"Busy", "NotBusy", "Total 0"}, "Split"},
        {"join, window", false, true, {"Busy", "NotBusy", "Total 0"}, "Join"},
        {"split, silent", true, false, {}, "Split"},
        {"join, silent", true, true, {}, "Join"},
    };
    TLanguage english("EN");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        TScriptedPerson nobody(false);
        TRecordingWindow window;
        TFendrixStartParams params;
        params.Silent = row.Silent;
        params.Unsplit = row.Unsplit;
        // A missing source keeps the job's own steps from running.
        params.SourcePath = dir / "missing.bin";
        params.OutputDir = dir / "out";
        TFendrix engine;
        EXPECT_EQ(rcSourceNotFound, engine.Execute(params));
        EXPECT_EQ(row.Calls, window.Calls);
        EXPECT_EQ(row.Caption, engine.Caption);
        EXPECT_EQ(0, CountEntries(dir / "out"));
    }
}

// The path check runs inside the job's guard: what it throws (here from
// the warning it shows, that a directory gets no batch file) ends the job
// with 12 like a failure of any later step, and leaves the window as it
// was, where it used to escape the job.
TEST(JobFrame, AnExceptionOfThePathCheckEndsTheJobWithTwelve) {
    const struct {
        const char* Name;
        std::function<void()> Throw;
        bool OutOfMemory;
    } rows[] = {
        {"a library exception", [] { throw std::runtime_error("no box"); }, false},
        {"out of memory", [] { throw std::bad_alloc(); }, true},
        {"anything thrown", [] { throw 42; }, false},
    };
    TLanguage english("EN");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        TScratchDir dir("checkthrows");
        MakeDirectory(dir / "tree");
        MakeDirectory(dir / "out");
        WriteFileBytes(dir / "tree\\a.txt", "a");
        int boxes = 0;
        SetMessageBoxResponder([&](const TMessageBoxRequest&) -> int {
            ++boxes;
            row.Throw();
            return idOk;
        });
        TRecordingWindow window;
        TFendrixStartParams params;
        params.Silent = false;
        params.Batch = true;
        params.SourcePath = dir / "tree";
        params.OutputDir = dir / "out";
        params.Size = 100;
        TFendrix engine;
        uint8_t result = rcOk;
        EXPECT_NO_THROW(result = engine.Execute(params));
        SetMessageBoxResponder(nullptr);
        EXPECT_EQ(1, boxes) << "the batch warning of the path check was the one box";
        EXPECT_EQ(rcUnknownError, result);
        EXPECT_EQ(row.OutOfMemory ? "There was not enough memory to finish the job." : "", engine.FailureText);
        EXPECT_EQ(std::vector<std::string>{"Total 0"}, window.Calls) << "no busy cursor is left behind";
        EXPECT_EQ(0, CountEntries(dir / "out"));
    }
}

TEST(SilentGuard, TurnsEveryEscapingExceptionIntoCode12) {
    const struct {
        const char* Name;
        std::function<uint8_t()> Job;
        uint8_t Code;
    } rows[] = {
        {"a finished job", [] { return rcOk; }, rcOk},
        {"a refused job", [] { return rcOutputIsFile; }, rcOutputIsFile},
        {"a library exception", []() -> uint8_t { throw std::runtime_error("boom"); }, rcUnknownError},
        {"out of memory", []() -> uint8_t { throw std::bad_alloc(); }, rcUnknownError},
        {"the program's own exception", []() -> uint8_t { throw EExceptionLite("Access denied.\r\n"); },
         rcUnknownError},
        {"anything thrown", []() -> uint8_t { throw 42; }, rcUnknownError},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(row.Code, GuardedJobResult(row.Job));
    }
}

TEST(SilentGuard, RunsTheJobOfTheParameters) {
    TScratchDir dir("silent");
    WriteFileBytes(dir / "out", "a file, not a directory");
    TScriptedPerson nobody(false);
    TFendrixStartParams params;
    params.Silent = true;
    params.SourcePath = dir / "missing.bin";
    params.OutputDir = dir / "out";
    EXPECT_EQ(rcOutputIsFile, RunSilentJob(params));
    params.Size = 0;
    EXPECT_EQ(rcInvalidSize, RunSilentJob(params));
}

}  // namespace
