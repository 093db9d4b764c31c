// Commands from buttons and keys, the focus movement, dropped files, the
// output-directory suggestion, the part size and the browse dialogs.
#include "WindowFixture.h"

#include "foundation/UnitLanguage.h"
#include "support/TestFiles.h"

#include <commdlg.h>
#include <shlobj.h>

namespace {

using TWindowCommands = TWindowTest;

void SelectSize(TFrmMain& frm, int index, const std::string& number) {
    SendMessageA(frm.ComboSize, CB_SETCURSEL, index, 0);
    SendMessageA(frm.Handle, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(frm.ComboSize));
    SetWindowTextA(frm.EditSize, number.c_str());
}

}  // namespace

TEST_F(TWindowCommands, PartSizeFollowsTheListAndTheSizeField) {
    StartWindow();
    struct TRow {
        int Index;
        const char* Number;
        int64_t Expected;
    };
    const TRow rows[] = {
        {0, "", 1453568},
        {0, "77", 1453568},  // a preset ignores the field
        {1, "", 681574400},
        {2, "", 4689887232LL},
        {3, "1000000", 1000000},
        {3, "$100", 256},
        {3, "  0x10", 16},
        {3, "-5", -5},
        {3, "12K", 0},
        {3, "", 0},
        {3, "9232604641496271", 9232604641496271LL},
        {3, "9232604641496272", 0},
        {3, "99999999999999999999", 0},
        {4, "1419", 1453056},
        {4, "-1", -1024},
        {4, "9007199254740990", 0},  // below the unit's limit, above the final one
        {4, "9007199254740991", 0},
        {5, "650", 681574400},
        {5, "8796093022206", 0},
        {5, "8796093022207", 0},
        {6, "4", 4294967296LL},
        {6, "8589934590", 0},
        {6, "8589934591", 0},
        {6, "-2", -2147483648LL},
        {-1, "5", 0},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(std::to_string(row.Index) + " with \"" + row.Number + "\"");
        SelectSize(*Frm, row.Index, row.Number);
        EXPECT_EQ(Frm->ReadPartSize(), row.Expected);
        EXPECT_EQ(IsWindowEnabled(Frm->EditSize) != FALSE, row.Index >= 3);
    }
}

TEST_F(TWindowCommands, ReadSizeNumberReadsAtMostNinetyNineCharacters) {
    StartWindow();
    SelectSize(*Frm, 3, std::string(98, ' ') + "7");
    EXPECT_EQ(Frm->ReadSizeNumber(), 7);
    SelectSize(*Frm, 3, std::string(99, ' ') + "7");
    EXPECT_EQ(Frm->ReadSizeNumber(), 0) << "only spaces fit into the buffer";
}

TEST_F(TWindowCommands, ButtonsRunJobsThatReportAndMoveTheFocus) {
    TScratchDir dir("wcmd");
    WriteFileBytes(dir / "file.bin", "data");
    MakeDirectory(dir / "sub");
    struct TRow {
        const char* Name;
        std::string Source, Output;
        int SizeIndex;
        std::string SizeNumber;
        HWND TFrmMain::*Button;
        int Message;  // catalogue number of the warning, -1 for none
        const char* Caption;
        HWND TFrmMain::*Focus;
    };
    const TRow rows[] = {
        {"split of a missing source", dir / "missing", dir.Path(), 0, "", &TFrmMain::BtnSplit, 18, "Split",
         &TFrmMain::EditSource},
        {"split into a missing directory", dir / "file.bin", dir / "nowhere", 0, "", &TFrmMain::BtnSplit, 18, "Split",
         &TFrmMain::EditOutputDir},
        {"split into a file", dir / "file.bin", dir / "file.bin", 0, "", &TFrmMain::BtnSplit, 17, "Split",
         &TFrmMain::EditOutputDir},
        {"split onto a diskette", dir / "file.bin", "A:\\", 0, "", &TFrmMain::BtnSplit, 19, "Split",
         &TFrmMain::EditOutputDir},
        {"split with a size too large for GB", dir / "file.bin", dir / "sub", 6, "8589934591", &TFrmMain::BtnSplit, 14,
         "Split", &TFrmMain::EditSize},
        {"split with a negative size", dir / "file.bin", dir / "sub", 3, "-5", &TFrmMain::BtnSplit, 14, "Split",
         &TFrmMain::EditSize},
        {"split with a negative GB size beyond the limit", dir / "file.bin", dir / "sub", 6, "-17179869183",
         &TFrmMain::BtnSplit, 14, "Split", &TFrmMain::EditSize},
        {"join of a directory", dir / "sub", dir.Path(), 0, "", &TFrmMain::BtnJoin, 16, "Join", &TFrmMain::EditSource},
        {"join ignores an invalid size", dir / "sub", dir.Path(), 3, "junk", &TFrmMain::BtnJoin, 16, "Join",
         &TFrmMain::EditSource},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        StartWindow();
        SetWindowTextA(Frm->EditSource, row.Source.c_str());
        SetWindowTextA(Frm->EditOutputDir, row.Output.c_str());
        SelectSize(*Frm, row.SizeIndex, row.SizeNumber);
        SetFocus(Frm->CheckBatch);
        Click(Frm.get()->*row.Button);
        ASSERT_FALSE(Boxes.empty());
        const TMessageBoxRequest& box = Boxes.back();
        EXPECT_EQ(box.Text, LangText(row.Message));
        EXPECT_EQ(box.Caption, row.Caption);
        EXPECT_EQ(box.Style, mbIconWarning | mbOk);
        EXPECT_EQ(box.Owner, Frm->Handle);
        EXPECT_EQ(Focus(), Frm.get()->*row.Focus) << NameOf(Focus());
        // The fields keep what the user entered.
        EXPECT_EQ(Text(Frm->EditSource), row.Source);
        EXPECT_EQ(Params->Unsplit, row.Button == &TFrmMain::BtnJoin);
        TearDown();
        SetUp();
    }
}

TEST_F(TWindowCommands, TabAndShiftTabCycleThroughTheEnabledControls) {
    struct TRow {
        const char* WebAddress;
        bool LinkInOrder;
    };
    // Without a web address the link area is a blank patch: never a stop.
    for (const TRow& row : {TRow{"", false}, TRow{"https://www.example.org/fendrix/", true}}) {
        SCOPED_TRACE(std::string("web address \"") + row.WebAddress + "\"");
        StartWindow({}, std::string(row.WebAddress));
        std::vector<HWND> order = {Frm->EditSource, Frm->BtnBrowseFile, Frm->BtnBrowseSourceDir,
                                   Frm->EditOutputDir, Frm->BtnBrowseOutputDir, Frm->ComboSize,
                                   Frm->CheckCopy, Frm->CheckBatch, Frm->BtnSplit,
                                   Frm->BtnJoin, Frm->BtnClose};
        if (row.LinkInOrder)
            order.push_back(Frm->LinkArea);
        ASSERT_EQ(Focus(), Frm->EditSource);
        for (size_t i = 1; i <= order.size(); ++i) {
            PressKey(VK_TAB);
            EXPECT_EQ(Focus(), order[i % order.size()]) << "Tab " << i << " reached " << NameOf(Focus());
        }
        for (size_t i = 1; i <= order.size(); ++i) {
            PressKey(VK_TAB, true);
            EXPECT_EQ(Focus(), order[(order.size() - i) % order.size()])
                << "Shift+Tab " << i << " reached " << NameOf(Focus());
        }
        TearDown();
        SetUp();
    }
    StartWindow();
    // With a unit selected, the size field takes its place after the list.
    SelectSize(*Frm, 5, "10");
    SetFocus(Frm->ComboSize);
    PressKey(VK_TAB);
    EXPECT_EQ(Focus(), Frm->EditSize) << NameOf(Focus());
    PressKey(VK_TAB);
    EXPECT_EQ(Focus(), Frm->CheckCopy) << NameOf(Focus());
    PressKey(VK_TAB, true);
    PressKey(VK_TAB, true);
    EXPECT_EQ(Focus(), Frm->ComboSize) << NameOf(Focus());
}

TEST_F(TWindowCommands, EnterActivatesOnlyButtons) {
    struct TRow {
        HWND TFrmMain::*Focused;
        bool StartsSplit;
    };
    const TRow rows[] = {
        {&TFrmMain::BtnSplit, true},     {&TFrmMain::EditSource, false}, {&TFrmMain::EditOutputDir, false},
        {&TFrmMain::CheckCopy, false},   {&TFrmMain::ComboSize, false},  {&TFrmMain::LinkArea, false},
    };
    for (const TRow& row : rows) {
        StartWindow();
        SCOPED_TRACE(NameOf(Frm.get()->*row.Focused));
        const LRESULT copyState = SendMessageA(Frm->CheckCopy, BM_GETCHECK, 0, 0);
        SetFocus(Frm.get()->*row.Focused);
        PressKey(VK_RETURN);
        // The split of empty fields reports the missing source.
        EXPECT_EQ(Boxes.size(), row.StartsSplit ? 1u : 0u);
        if (row.StartsSplit && !Boxes.empty())
            EXPECT_EQ(Boxes[0].Text, LangText(msgPathNotFound));
        EXPECT_EQ(SendMessageA(Frm->CheckCopy, BM_GETCHECK, 0, 0), copyState) << "Enter toggles no check box";
        EXPECT_TRUE(IsWindow(Frm->Handle));
        TearDown();
        SetUp();
    }
}

TEST_F(TWindowCommands, EnterOnCloseAndTheCloseButtonEndTheProgram) {
    for (bool byKey : {false, true}) {
        SCOPED_TRACE(byKey ? "Enter" : "click");
        StartWindow();
        HWND handle = Frm->Handle;
        if (byKey) {
            SetFocus(Frm->BtnClose);
            PressKey(VK_RETURN);
        } else {
            Click(Frm->BtnClose);
        }
        EXPECT_FALSE(IsWindow(handle));
        EXPECT_EQ(QuitCode, 0);
        TearDown();
        SetUp();
    }
}

TEST_F(TWindowCommands, EscWhileIdleCancelsNothing) {
    StartWindow();
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(Frm->CancelRequested);
    EXPECT_TRUE(Boxes.empty());
    // The next job's first cancel check forgets the earlier Esc.
    EXPECT_FALSE(Frm->CheckCancel("Split"));
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(TWindowCommands, DropsFillTheSourceOrTheOutputField) {
    TScratchDir dir("wdrop");
    WriteFileBytes(dir / "a.bin", "a");
    WriteFileBytes(dir / "b.bin", "b");
    MakeDirectory(dir / "out");
    StartWindow({"", dir / "keep"});
    SetWindowTextA(Frm->EditOutputDir, (dir / "keep").c_str());

    // Three files on the face of the window: the first one counts.
    PostMessageA(Frm->Handle, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDropHandle({dir / "a.bin", dir / "b.bin", dir / "out"})), 0);
    Pump();
    EXPECT_EQ(Text(Frm->EditSource), dir / "a.bin");
    EXPECT_EQ(Text(Frm->EditOutputDir), dir / "keep") << "a filled output field stays";

    // A directory on the output field; the source stays.
    PostMessageA(Frm->EditOutputDir, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropHandle({dir / "out"})), 0);
    Pump();
    EXPECT_EQ(Text(Frm->EditOutputDir), dir / "out");
    EXPECT_EQ(Text(Frm->EditSource), dir / "a.bin");

    // An empty drop changes nothing.
    PostMessageA(Frm->Handle, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropHandle({})), 0);
    Pump();
    EXPECT_EQ(Text(Frm->EditSource), dir / "a.bin");
}

TEST_F(TWindowCommands, SourceSuggestsTheOutputDirectoryOnce) {
    TScratchDir dir("wsug");
    WriteFileBytes(dir / "file.bin", "x");
    MakeDirectory(dir / "tree");
    const std::string rootFile = "C:\\fx-window-suggest.bin";
    WriteFileBytes(rootFile, "x");
    char floppy[MAX_PATH];
    GetFullPathNameA("A:\\fx-window-suggest.bin", MAX_PATH, floppy, nullptr);
    WriteFileBytes(floppy, "x");
    struct TRow {
        const char* Name;
        std::string Dropped;
        std::string Expected;
    };
    const TRow rows[] = {
        {"file on a fixed disk", dir / "file.bin", dir.Path()},
        {"directory", dir / "tree", dir.Path()},
        {"directory with trailing backslash", dir / "tree\\", dir.Path()},
        {"file in a drive root", rootFile, "C:"},
        {"file on a diskette", floppy, ""},
        {"drive root", "C:\\", ""},
        {"missing file", dir / "missing.bin", ""},
        {"path with a slash", dir.Path() + "/file.bin", ""},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        StartWindow();
        PostMessageA(Frm->Handle, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropHandle({row.Dropped})), 0);
        Pump();
        EXPECT_EQ(Text(Frm->EditSource), row.Dropped);
        EXPECT_EQ(Text(Frm->EditOutputDir), row.Expected);
        TearDown();
        SetUp();
    }
    DeleteFileA(rootFile.c_str());
    DeleteFileA(floppy);

    // Typed key by key: the first text that names something existing other
    // than a drive root fills the output field ("C:\\users" gives "C:"),
    // later keys and drops leave it.
    StartWindow();
    SetFocus(Frm->EditSource);
    TypeText("C:\\user");
    EXPECT_EQ(Text(Frm->EditOutputDir), "") << "C, C: and C:\\ are no suggestion";
    TypeText("s");
    EXPECT_EQ(Text(Frm->EditOutputDir), "C:");
    TypeText("\\root");
    EXPECT_EQ(Text(Frm->EditSource), "C:\\users\\root");
    EXPECT_EQ(Text(Frm->EditOutputDir), "C:");
    PostMessageA(Frm->Handle, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropHandle({dir / "file.bin"})), 0);
    Pump();
    EXPECT_EQ(Text(Frm->EditOutputDir), "C:");
}

TEST_F(TWindowCommands, SourceFileDialogFillsTheSourceAndFocusesItsButton) {
    StartWindow();
    SetWindowTextA(Frm->EditOutputDir, "C:\\keep");
    std::vector<TSourceFileRequest> requests;
    bool confirm = false;
    SetSourceFileResponder([&](TSourceFileRequest& request) {
        requests.push_back(request);
        if (confirm)
            request.FileName = "C:\\windows\\win.ini";
        return confirm;
    });
    Click(Frm->BtnBrowseFile);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Owner, Frm->Handle);
    EXPECT_EQ(requests[0].Title, LangText(msgSourceLabel));
    EXPECT_EQ(requests[0].Flags, static_cast<uint32_t>(OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST));
    EXPECT_EQ(requests[0].StructSize, static_cast<uint32_t>(OPENFILENAME_SIZE_VERSION_400A));
    EXPECT_EQ(Text(Frm->EditSource), "") << "a cancelled dialog changes nothing";
    EXPECT_EQ(Focus(), Frm->BtnBrowseFile);

    confirm = true;
    SetFocus(Frm->EditSource);
    Click(Frm->BtnBrowseFile);
    EXPECT_EQ(Text(Frm->EditSource), "C:\\windows\\win.ini");
    EXPECT_EQ(Focus(), Frm->BtnBrowseFile);
}

TEST_F(TWindowCommands, FolderDialogsFillTheirFieldAndFocusTheirButton) {
    struct TRow {
        HWND TFrmMain::*Button;
        HWND TFrmMain::*Field;
        int Title;
        uint32_t Flags;
    };
    const TRow rows[] = {
        {&TFrmMain::BtnBrowseSourceDir, &TFrmMain::EditSource, 3, BIF_RETURNONLYFSDIRS},
        {&TFrmMain::BtnBrowseOutputDir, &TFrmMain::EditOutputDir, 4, BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE},
    };
    for (const TRow& row : rows) {
        StartWindow();
        SCOPED_TRACE(NameOf(Frm.get()->*row.Button));
        std::vector<TFolderRequest> requests;
        bool confirm = false;
        SetFolderResponder([&](TFolderRequest& request) {
            requests.push_back(request);
            request.Path = "C:\\users";
            return confirm;
        });
        Click(Frm.get()->*row.Button);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].Owner, Frm->Handle);
        EXPECT_EQ(requests[0].Title, LangText(row.Title));
        EXPECT_EQ(requests[0].Flags, row.Flags);
        EXPECT_EQ(Text(Frm.get()->*row.Field), "");
        EXPECT_EQ(Focus(), Frm.get()->*row.Button) << NameOf(Focus());
        confirm = true;
        SetFocus(Frm->EditSize);
        SetFocus(Frm.get()->*row.Button);
        PressKey(VK_RETURN);
        EXPECT_EQ(requests.size(), 2u);
        EXPECT_EQ(Text(Frm.get()->*row.Field), "C:\\users");
        EXPECT_EQ(Focus(), Frm.get()->*row.Button) << NameOf(Focus());
        TearDown();
        SetUp();
    }
}

TEST_F(TWindowCommands, LinkAreaOpensTheWebAddressOnlyWhenThereIsOne) {
    for (const std::string address : {"", "https://www.example.org/fendrix/"}) {
        SCOPED_TRACE("web address \"" + address + "\"");
        StartWindow({}, address);
        std::vector<std::string> opened;
        SetShellOpenResponder([&](const std::string& page) { opened.push_back(page); });
        SendMessageA(Frm->Handle, WM_COMMAND, MAKEWPARAM(0, STN_CLICKED), reinterpret_cast<LPARAM>(Frm->LinkArea));
        EXPECT_EQ(opened, address.empty() ? std::vector<std::string>{} : std::vector<std::string>{address});
        EXPECT_TRUE(IsWindow(Frm->Handle));
        TearDown();
        SetUp();
    }
}

TEST_F(TWindowCommands, TheHandShowsOverTheLinkAreaOnlyWithAWebAddress) {
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    struct TRow {
        const char* WebAddress;
        HWND TFrmMain::*Under;  // the window under the pointer
        HCURSOR Expected;
    };
    const TRow rows[] = {
        {"", &TFrmMain::LinkArea, arrow},
        {"https://www.example.org/", &TFrmMain::LinkArea, hand},
        {"https://www.example.org/", &TFrmMain::Handle, arrow},
        {"https://www.example.org/", &TFrmMain::BtnSplit, arrow},
    };
    for (const TRow& row : rows) {
        StartWindow({}, std::string(row.WebAddress));
        SCOPED_TRACE(NameOf(Frm.get()->*row.Under) + " with web address \"" + row.WebAddress + "\"");
        // As the system asks when the pointer moves over the window: the
        // window under it first, which hands the question to its parent.
        HWND under = Frm.get()->*row.Under;
        SetCursor(nullptr);
        SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), row.Expected);
        TearDown();
        SetUp();
    }
}
