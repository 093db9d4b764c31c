// Jobs from the window: a real split and join, the cancel check with its
// message filter, commands and close requests that arrive while a job runs,
// the busy cursor and the progress threshold.
#include "WindowFixture.h"

#include "foundation/UnitLanguage.h"
#include "support/TestFiles.h"

namespace {

using TWindowJobs = TWindowTest;

const COLORREF ArcGreen = RGB(120, 192, 120);

void PostKey(HWND target, UINT key) {
    const UINT scan = MapVirtualKeyA(key, 0);
    PostMessageA(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

// A split source big enough for many cancel checks: 3,000,000 bytes in parts
// of 1000 KB (three data parts).
struct TSplitScene {
    TScratchDir Dir{"wjob"};
    std::string Source = Dir / "big.bin";
    std::string Parts = Dir / "parts";
    std::string Rebuilt = Dir / "rebuilt";
    TSplitScene() {
        WritePatternFile(Source, 3000000, 7);
        MakeDirectory(Parts);
        MakeDirectory(Rebuilt);
    }
};

void FillSplitFields(TFrmMain& frm, const TSplitScene& scene) {
    SetWindowTextA(frm.EditSource, scene.Source.c_str());
    SetWindowTextA(frm.EditOutputDir, scene.Parts.c_str());
    SendMessageA(frm.ComboSize, CB_SETCURSEL, 4, 0);
    SendMessageA(frm.Handle, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(frm.ComboSize));
    SetWindowTextA(frm.EditSize, "1000");
    SendMessageA(frm.CheckCopy, BM_SETCHECK, BST_UNCHECKED, 0);
}

}  // namespace

TEST_F(TWindowJobs, SplitAndJoinFromTheWindowRoundTrip) {
    TSplitScene scene;
    StartWindow();
    FillSplitFields(*Frm, scene);
    SendMessageA(Frm->CheckCopy, BM_SETCHECK, BST_CHECKED, 0);

    // While the report is open the job has drawn its arc; afterwards it is
    // gone again.
    int arcPixelsDuringJob = -1;
    int64_t positionDuringJob = -1;
    WhileBoxOpen = [&](const TMessageBoxRequest& box) {
        if (box.Style & mbYesNo)
            return;
        positionDuringJob = Frm->ProgressPosition;
        TClientRendering face(*Frm);
        arcPixelsDuringJob = face.Count(0, 0, ClientWidth, ClientHeight, ArcGreen);
    };
    Click(Frm->BtnSplit);
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Boxes[0].Caption, "Split");
    EXPECT_EQ(Boxes[0].Owner, Frm->Handle);
    EXPECT_NE(Boxes[1].Text.find("3 partfile(s)"), std::string::npos) << Boxes[1].Text;
    EXPECT_GT(positionDuringJob, 2900000);
    EXPECT_GT(arcPixelsDuringJob, 1000);
    EXPECT_EQ(Frm->ProgressTotal, 0);
    EXPECT_EQ(Frm->ProgressPosition, 0);
    {
        TClientRendering face(*Frm);
        EXPECT_EQ(face.Count(0, 0, ClientWidth, ClientHeight, ArcGreen), 0);
    }
    for (const char* part : {"big.bin.001", "big.bin.002", "big.bin.003"})
        EXPECT_TRUE(FileExists(scene.Parts + "\\" + part)) << part;
    EXPECT_EQ(FileSizeOf(scene.Parts + "\\big.bin.001"), 1024000);
    EXPECT_TRUE(FileExists(scene.Parts + "\\Fendrix.exe")) << "the copy option was ticked";
    EXPECT_EQ(Text(Frm->EditSource), scene.Source) << "the fields keep what was entered";

    // The join: any part of the set as the source.
    Boxes.clear();
    WhileBoxOpen = nullptr;
    SetWindowTextA(Frm->EditSource, (scene.Parts + "\\big.bin.003").c_str());
    SetWindowTextA(Frm->EditOutputDir, scene.Rebuilt.c_str());
    SetFocus(Frm->BtnJoin);
    PressKey(VK_RETURN);
    ASSERT_FALSE(Boxes.empty());
    for (const TMessageBoxRequest& box : Boxes) {
        EXPECT_EQ(box.Caption, "Join");
        EXPECT_EQ(box.Style & mbIconWarning, 0u) << box.Text;
    }
    EXPECT_EQ(ReadFileBytes(scene.Rebuilt + "\\big.bin"), PatternBytes(3000000, 7));
    EXPECT_EQ(Focus(), Frm->BtnJoin);
    EXPECT_TRUE(Params->Unsplit);
}

TEST_F(TWindowJobs, EscDuringAJobAsksAndYesCancels) {
    struct TRow {
        const char* Name;
        int Answer;
        bool Complete;
    };
    const TRow rows[] = {{"No lets the job go on", idNo, true}, {"Yes cancels", idYes, false}};
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TSplitScene scene;
        StartWindow();
        FillSplitFields(*Frm, scene);
        SetFocus(Frm->EditSize);
        // Pressed while the job runs: the key waits in the queue for the
        // job's first cancel check.
        PostKey(Frm->EditSize, VK_ESCAPE);
        Answers = {idYes, row.Answer};
        Click(Frm->BtnSplit);
        ASSERT_GE(Boxes.size(), 2u);
        EXPECT_EQ(Boxes[1].Text, LangText(msgConfirmCancel));
        EXPECT_EQ(Boxes[1].Caption, "Split");
        EXPECT_EQ(Boxes[1].Style, mbYesNo | mbIconQuestion);
        EXPECT_EQ(Boxes[1].Owner, Frm->Handle);
        EXPECT_EQ(FileExists(scene.Parts + "\\big.bin.003"), row.Complete);
        // A report after a finished job; nothing after a cancelled one.
        EXPECT_EQ(Boxes.size(), row.Complete ? 3u : 2u);
        EXPECT_TRUE(IsWindow(Frm->Handle));
        EXPECT_EQ(Text(Frm->EditSize), "1000") << "Esc is no text for the field";
        TearDown();
        SetUp();
    }
}

TEST_F(TWindowJobs, CommandsArrivingDuringAJobAreRefused) {
    TSplitScene scene;
    StartWindow();
    FillSplitFields(*Frm, scene);
    int dialogs = 0;
    SetSourceFileResponder([&](TSourceFileRequest&) { return ++dialogs, false; });
    SetFolderResponder([&](TFolderRequest&) { return ++dialogs, false; });
    // Space on a focused button reaches the window directly; a click and
    // Enter come through the queue.
    PostKey(Frm->BtnJoin, VK_SPACE);
    PostKey(Frm->BtnBrowseFile, VK_SPACE);
    PostKey(Frm->BtnBrowseOutputDir, VK_SPACE);
    PostMessageA(Frm->BtnSplit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(Frm->BtnSplit, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PostMessageA(Frm->Handle, WM_COMMAND, 0, reinterpret_cast<LPARAM>(Frm->BtnSplit));
    // A command sent straight to the window while a question is open.
    WhileBoxOpen = [&](const TMessageBoxRequest&) {
        SendMessageA(Frm->Handle, WM_COMMAND, 0, reinterpret_cast<LPARAM>(Frm->BtnJoin));
        SendMessageA(Frm->Handle, WM_COMMAND, 0, reinterpret_cast<LPARAM>(Frm->BtnBrowseSourceDir));
    };
    Click(Frm->BtnSplit);
    ASSERT_EQ(Boxes.size(), 2u) << "one confirmation and one report, of one split";
    EXPECT_EQ(Boxes[0].Caption, "Split");
    EXPECT_EQ(Boxes[1].Caption, "Split");
    EXPECT_EQ(dialogs, 0);
    EXPECT_FALSE(Params->Unsplit);
    EXPECT_TRUE(FileExists(scene.Parts + "\\big.bin.003"));

    // Idle again: the same commands work.
    Boxes.clear();
    WhileBoxOpen = nullptr;
    Click(Frm->BtnBrowseFile);
    EXPECT_EQ(dialogs, 1);
}

TEST_F(TWindowJobs, CloseRequestDuringAJobAsksAndClosesAfterTheJob) {
    enum TWay { wmClose, altF4, spaceOnClose };
    struct TRow {
        const char* Name;
        TWay Way;
        int Answer;
    };
    const TRow rows[] = {
        {"close message, Yes", wmClose, idYes}, {"close message, No", wmClose, idNo},
        {"Alt+F4, Yes", altF4, idYes},          {"Alt+F4, No", altF4, idNo},
        {"space on Close, Yes", spaceOnClose, idYes},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TSplitScene scene;
        StartWindow();
        FillSplitFields(*Frm, scene);
        HWND handle = Frm->Handle;
        switch (row.Way) {
        case wmClose: PostMessageA(handle, WM_CLOSE, 0, 0); break;
        case altF4: PostMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case spaceOnClose: PostKey(Frm->BtnClose, VK_SPACE); break;
        }
        Answers = {idYes, row.Answer};
        Click(Frm->BtnSplit);
        ASSERT_GE(Boxes.size(), 2u);
        EXPECT_EQ(Boxes[1].Text, LangText(msgConfirmCancel));
        EXPECT_EQ(Boxes[1].Caption, "Split");
        const bool closed = row.Answer == idYes;
        EXPECT_EQ(FileExists(scene.Parts + "\\big.bin.003"), !closed) << "Yes cancels the job";
        EXPECT_EQ(IsWindow(handle) != FALSE, !closed);
        EXPECT_EQ(QuitCode, closed ? 0 : -1);
        TearDown();
        SetUp();
    }
}

TEST_F(TWindowJobs, CheckCancelDropsClicksAndCommandsAndAsksAfterEsc) {
    StartWindow();
    int dialogs = 0;
    SetSourceFileResponder([&](TSourceFileRequest&) { return ++dialogs, false; });
    struct TRow {
        const char* Name;
        bool Esc;
        int Answer;
        bool Expected;
    };
    const TRow rows[] = {
        {"nothing pressed", false, idYes, false},
        {"Esc, answered No", true, idNo, false},
        {"Esc, answered Yes", true, idYes, true},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        Boxes.clear();
        Answers = {row.Answer};
        SetFocus(Frm->EditSource);
        PostMessageA(Frm->BtnBrowseFile, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(Frm->BtnBrowseFile, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        PostMessageA(Frm->Handle, WM_COMMAND, 0, reinterpret_cast<LPARAM>(Frm->BtnBrowseFile));
        PostMessageA(Frm->Handle, WM_NEXTDLGCTL, 0, 0);
        if (row.Esc)
            PostKey(Frm->EditSource, VK_ESCAPE);
        // The queue is looked into only every PumpInterval ms.
        Sleep(2 * TFrmMain::PumpInterval);
        EXPECT_EQ(Frm->CheckCancel("Join"), row.Expected);
        EXPECT_EQ(dialogs, 0) << "clicks and commands are discarded";
        EXPECT_EQ(Focus(), Frm->BtnBrowseFile) << "the focus moved: " << NameOf(Focus());
        EXPECT_EQ(GetCursor(), Frm->BusyCursor);
        ASSERT_EQ(Boxes.size(), row.Esc ? 1u : 0u);
        if (row.Esc) {
            EXPECT_EQ(Boxes[0].Text, LangText(msgConfirmCancel));
            EXPECT_EQ(Boxes[0].Caption, "Join");
        }
    }
    Frm->ClearBusyCursor();
    EXPECT_EQ(GetCursor(), nullptr);
    Frm->SetBusyCursor();
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
}

TEST_F(TWindowJobs, ProgressRedrawsOnlyAfterMoreThanAHundredthOfTheTotal) {
    StartWindow();
    struct TStep {
        int64_t Report;
        int64_t Drawn;  // ProgressPosition afterwards
    };
    struct TRow {
        const char* Name;
        int64_t Total;
        std::vector<TStep> Steps;
    };
    const std::vector<TRow> rows = {
        {"total 1000", 1000, {{1, 0}, {10, 0}, {11, 11}, {21, 11}, {22, 22}, {15, 22}, {1000, 1000}}},
        {"reports above the total are clamped", 1000, {{5000, 1000}, {990, 1000}, {989, 989}}},
        {"total 0 never draws", 0, {{1, 0}, {1000, 0}}},
        {"large totals", 4000000000000LL, {{40000000000LL, 0}, {40000000001LL, 40000000001LL}}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        Frm->SetProgressTotal(row.Total);
        EXPECT_EQ(Frm->ProgressPosition, 0);
        for (const TStep& step : row.Steps) {
            Frm->SetProgressPosition(step.Report);
            EXPECT_EQ(Frm->ProgressPosition, step.Drawn) << "after " << step.Report;
        }
        // The end of a job: the arc goes, the face is due for repainting.
        Frm->SetProgressTotal(0);
        EXPECT_EQ(Frm->ProgressPosition, 0);
        RECT update;
        EXPECT_EQ(GetUpdateRect(Frm->Handle, &update, FALSE) != FALSE, row.Total > 0);
        UpdateWindow(Frm->Handle);
    }
}

// The window has no control for the parity file: the switch comes from the
// command line, as /NOHEADER does, and the report then says what it buys.
TEST_F(TWindowJobs, TheParitySwitchFromTheCommandLineReachesTheSplit) {
    struct TRow {
        std::vector<std::string> Args;
        bool Parity;
        // A join without the header reads no parity file.
        bool Rebuild;
    } rows[] = {
        {{}, false, false},
        {{"/PARITY"}, true, true},
        {{"/parity", "/NOHEADER"}, true, false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Parity ? "with /PARITY" : "without");
        TSplitScene scene;
        StartWindow(row.Args);
        FillSplitFields(*Frm, scene);
        Boxes.clear();
        Click(Frm->BtnSplit);
        ASSERT_EQ(Boxes.size(), 2u);
        const std::string note = LangText(msgSetSurvivesLoss, {"big.bin.par"});
        EXPECT_EQ(row.Parity, Boxes[1].Text.find(note) != std::string::npos) << Boxes[1].Text;
        EXPECT_EQ(row.Parity, FileExists(scene.Parts + "\\big.bin.par"));
        // The text, then one part's size of block.
        if (row.Parity) {
            EXPECT_GT(FileSizeOf(scene.Parts + "\\big.bin.par"), 1024000);
        }
        if (row.Rebuild) {
            // A lost diskette: the search for it is cancelled, and the
            // rebuild that is then offered gives the file back whole.
            DeleteFileA((scene.Parts + "\\big.bin.002").c_str());
            SetOpenFileResponder([](TOpenFileRequest&) { return false; });
            Boxes.clear();
            SetWindowTextA(Frm->EditSource, (scene.Parts + "\\big.bin.001").c_str());
            SetWindowTextA(Frm->EditOutputDir, scene.Rebuilt.c_str());
            Click(Frm->BtnJoin);
            SetOpenFileResponder(nullptr);
            const std::string offer = LangText(msgRebuildFromParity, {"big.bin.002"});
            std::string shown;
            for (const TMessageBoxRequest& box : Boxes)
                shown += box.Text + "\n";
            EXPECT_NE(std::string::npos, shown.find(offer)) << shown;
            EXPECT_EQ(ReadFileBytes(scene.Rebuilt + "\\big.bin"), PatternBytes(3000000, 7));
        }
        JobWindow = nullptr;
        FrmMain = nullptr;
        Frm.reset();
        Pump();
    }
}

// /RECOVERYn reaches the window's split as /PARITY does; two lost
// diskettes whose search is cancelled are then rebuilt, after the offer,
// from the recovery files, and nothing of the rebuild is left beside the
// output.
TEST_F(TWindowJobs, TheRecoverySwitchFromTheCommandLineReachesTheSplit) {
    for (const bool recovery : {false, true}) {
        SCOPED_TRACE(recovery ? "with /RECOVERY2" : "without");
        TSplitScene scene;
        StartWindow(recovery ? std::vector<std::string>{"/RECOVERY2"} : std::vector<std::string>{});
        FillSplitFields(*Frm, scene);
        Boxes.clear();
        Click(Frm->BtnSplit);
        ASSERT_EQ(Boxes.size(), 2u);
        const std::string note = LangText(msgRecoverySurvivesLoss, {"big.bin.par2", "big.bin.vol*.par2", "2"});
        EXPECT_EQ(recovery, Boxes[1].Text.find(note) != std::string::npos) << Boxes[1].Text;
        // Three data parts, the last one beside header file 001: three slices.
        EXPECT_EQ(recovery, FileExists(scene.Parts + "\\big.bin.par2"));
        EXPECT_EQ(recovery, FileExists(scene.Parts + "\\big.bin.vol2+1.par2"));
        if (recovery) {
            DeleteFileA((scene.Parts + "\\big.bin.001").c_str());
            DeleteFileA((scene.Parts + "\\big.bin.003").c_str());
            SetOpenFileResponder([](TOpenFileRequest&) { return false; });
            Boxes.clear();
            SetWindowTextA(Frm->EditSource, (scene.Parts + "\\big.bin.h001").c_str());
            SetWindowTextA(Frm->EditOutputDir, scene.Rebuilt.c_str());
            Click(Frm->BtnJoin);
            SetOpenFileResponder(nullptr);
            std::string shown;
            for (const TMessageBoxRequest& box : Boxes)
                shown += box.Text + "\n";
            EXPECT_NE(std::string::npos, shown.find(LangText(msgRebuildFromRecovery, {"big.bin.001"}))) << shown;
            EXPECT_EQ(ReadFileBytes(scene.Rebuilt + "\\big.bin"), PatternBytes(3000000, 7));
            EXPECT_EQ(std::vector<std::string>{"big.bin"}, EntryNamesIn(scene.Rebuilt));
        }
        JobWindow = nullptr;
        FrmMain = nullptr;
        Frm.reset();
        Pump();
    }
}

// A join from diskettes: two disks are not found and their search is
// cancelled; the join goes on with the others, asks at the end for the disk
// with the recovery files, and the file comes out whole, with its time.
TEST_F(TWindowJobs, ADisketteJoinGoesOnPastLostDisksAndRebuildsAtTheEnd) {
    TScratchDir dir{"wdisk"};
    const std::string source = dir / "big.bin", parts = dir / "parts", disk = dir / "recovery", out = dir / "out";
    WritePatternFile(source, 6000000, 11);
    MakeDirectory(parts);
    MakeDirectory(disk);
    MakeDirectory(out);
    StartWindow({"/RECOVERY2"});
    SetWindowTextA(Frm->EditSource, source.c_str());
    SetWindowTextA(Frm->EditOutputDir, parts.c_str());
    SendMessageA(Frm->ComboSize, CB_SETCURSEL, 4, 0);
    SendMessageA(Frm->Handle, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Frm->ComboSize));
    SetWindowTextA(Frm->EditSize, "1000");
    SendMessageA(Frm->CheckCopy, BM_SETCHECK, BST_UNCHECKED, 0);
    Click(Frm->BtnSplit);
    // The recovery files travel on a disk of their own; two data disks are lost.
    for (const std::string& name : FileNamesIn(parts)) {
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".par2") == 0)
            ASSERT_TRUE(MoveFileA((parts + "\\" + name).c_str(), (disk + "\\" + name).c_str())) << name;
    }
    ASSERT_TRUE(FileExists(disk + "\\big.bin.vol2+1.par2"));
    DeleteFileA((parts + "\\big.bin.002").c_str());
    DeleteFileA((parts + "\\big.bin.004").c_str());
    std::vector<std::string> asked;
    SetOpenFileResponder([&](TOpenFileRequest& request) {
        asked.push_back(request.FileName.substr(request.FileName.rfind('\\') + 1));
        if (asked.back() != "big.bin.par2")
            return false;
        request.FileName = disk + "\\big.bin.par2";
        request.FileTitle = "big.bin.par2";
        return true;
    });
    Boxes.clear();
    SetWindowTextA(Frm->EditSource, (parts + "\\big.bin.001").c_str());
    SetWindowTextA(Frm->EditOutputDir, out.c_str());
    Click(Frm->BtnJoin);
    SetOpenFileResponder(nullptr);
    std::string shown;
    for (const TMessageBoxRequest& box : Boxes)
        shown += box.Text + "\n";
    EXPECT_EQ((std::vector<std::string>{"big.bin.002", "big.bin.004", "big.bin.par2"}), asked) << shown;
    EXPECT_NE(std::string::npos, shown.find(LangText(msgInsertRecoveryDisk, {"big.bin.002", "big.bin.par2"})))
        << shown;
    EXPECT_EQ(ReadFileBytes(out + "\\big.bin"), PatternBytes(6000000, 11));
    // The header keeps times to the millisecond.
    EXPECT_EQ(LastWriteTimeOf(source) / 10000 * 10000, LastWriteTimeOf(out + "\\big.bin"));
    EXPECT_EQ(std::vector<std::string>{"big.bin"}, EntryNamesIn(out));
    JobWindow = nullptr;
    FrmMain = nullptr;
    Frm.reset();
    Pump();
}

// A join from the window of a set whose header is refused: the warning
// names the header file (and the entry at fault) instead of the general
// "Invalid headerfile!", and nothing is written.
TEST_F(TWindowJobs, ARefusedHeaderIsNamedInTheWarning) {
    const struct {
        const char* Label;
        const char* Entries;
        std::string Warning;
    } rows[] = {
        {"a size that is no number", "x.bin\tF\tfive\t20200101000000000\t",
         LangText(msgHeaderInvalid, {"x.bin.h001"})},
        {"an entry that leaves the output directory", "..\\x.bin\tF\t5\t20200101000000000\t",
         LangText(msgHeaderEntryUnsafe, {"x.bin.h001", "..\\x.bin"})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratchDir dir("wheader");
        MakeDirectory(dir / "parts");
        MakeDirectory(dir / "out");
        WriteFileBytes(dir / "parts\\x.bin.001", "abcde");
        WriteFileBytes(dir / "parts\\x.bin.h001", std::string("QoVa40\t") + row.Entries + "\t");
        StartWindow();
        SetWindowTextA(Frm->EditSource, (dir / "parts\\x.bin.001").c_str());
        SetWindowTextA(Frm->EditOutputDir, (dir / "out").c_str());
        Boxes.clear();
        Click(Frm->BtnJoin);
        ASSERT_EQ(2u, Boxes.size()) << "the question, then the warning";
        EXPECT_EQ(row.Warning, Boxes[1].Text);
        EXPECT_EQ(mbIconWarning | mbOk, Boxes[1].Style);
        EXPECT_EQ("Join", Boxes[1].Caption);
        EXPECT_EQ(0, CountEntries(dir / "out"));
        JobWindow = nullptr;
        FrmMain = nullptr;
        Frm.reset();
        Pump();
    }
}
