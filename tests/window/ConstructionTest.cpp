// The window and its thirteen controls as the program creates them, and the
// controls' prefill from the command line.
#include "WindowFixture.h"

#include "foundation/UnitLanguage.h"
#include "engine/PartSize.h"

namespace {

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT ClientRectIn(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

using TWindowConstruction = TWindowTest;

}  // namespace

TEST_F(TWindowConstruction, MainWindowHasClassTextStylesAndEllipticRegion) {
    StartWindow();
    EXPECT_EQ(ClassOf(Frm->Handle), "Fendrix");
    EXPECT_EQ(Text(Frm->Handle), "Fendrix light");
    const LONG_PTR style = GetWindowLongPtrA(Frm->Handle, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrA(Frm->Handle, GWL_EXSTYLE);
    for (LONG_PTR bit : {WS_CLIPSIBLINGS, WS_CLIPCHILDREN, WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_VISIBLE})
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    for (LONG_PTR bit : {WS_THICKFRAME, WS_MAXIMIZEBOX})
        EXPECT_EQ(style & bit, 0) << std::hex << bit;
    for (LONG_PTR bit : {WS_EX_APPWINDOW, WS_EX_CONTROLPARENT, WS_EX_ACCEPTFILES})
        EXPECT_EQ(exStyle & bit, bit) << std::hex << bit;

    RECT client;
    GetClientRect(Frm->Handle, &client);
    EXPECT_EQ(client.right, ClientWidth);
    EXPECT_EQ(client.bottom, ClientHeight);

    // The region is the ellipse over caption and client area: its box, in
    // window coordinates, starts inside the frame.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(Frm->Handle, region), COMPLEXREGION);
    RECT box;
    GetRgnBox(region, &box);
    DeleteObject(region);
    EXPECT_EQ(box.left, DlgFrameX);
    EXPECT_EQ(box.top, DlgFrameY);
    EXPECT_NEAR(box.right, DlgFrameX + ClientWidth, 1);
    EXPECT_NEAR(box.bottom, DlgFrameY + CaptionHeight + ClientHeight, 1);
    // The corners of the window are cut away, the centre is kept.
    RECT window;
    GetWindowRect(Frm->Handle, &window);
    EXPECT_EQ(WindowFromPoint({window.left + 2, window.top + 2}) == Frm->Handle, false);
    EXPECT_EQ(Frm->Region != nullptr, true);
}

// The rectangles are held here because the window is drawn around them:
// the labels are painted at fixed points beside them and the elliptic
// region cuts the window at its edge, so a control that moved would cover a
// label or be cut off. A change of layout changes this table on purpose.
TEST_F(TWindowConstruction, EveryControlHasItsClassStylesGeometryAndText) {
    StartWindow();
    struct TRow {
        HWND TFrmMain::*Field;
        const char* Name;
        const char* ClassName;
        LONG_PTR ExStyle;
        LONG_PTR Style;
        RECT Bounds;
        std::string Text;
    };
    const TRow rows[] = {
        {&TFrmMain::EditSource, "EditSource", "Edit", WS_EX_CLIENTEDGE, ES_AUTOHSCROLL, {83, 30, 288, 51}, ""},
        {&TFrmMain::BtnBrowseFile, "BtnBrowseFile", "Button", 0, BS_BITMAP, {293, 30, 316, 51}, ""},
        {&TFrmMain::BtnBrowseSourceDir, "BtnBrowseSourceDir", "Button", 0, BS_BITMAP, {316, 30, 339, 51}, ""},
        {&TFrmMain::EditOutputDir, "EditOutputDir", "Edit", WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES, ES_AUTOHSCROLL,
         {162, 56, 339, 77}, ""},
        {&TFrmMain::BtnBrowseOutputDir, "BtnBrowseOutputDir", "Button", 0, BS_BITMAP, {344, 56, 367, 77}, ""},
        // Wine's combo box drops WS_VSCROLL and the client edge: it draws
        // its own frame and list.
        {&TFrmMain::ComboSize, "ComboSize", "ComboBox", 0, CBS_DROPDOWNLIST,
         {222, 98, 314, 0}, "1.44 MB Disk"},
        {&TFrmMain::EditSize, "EditSize", "Edit", WS_EX_CLIENTEDGE, ES_AUTOHSCROLL, {319, 98, 383, 119}, ""},
        {&TFrmMain::CheckCopy, "CheckCopy", "Button", 0, BS_AUTOCHECKBOX, {55, 126, 68, 139}, ""},
        {&TFrmMain::CheckBatch, "CheckBatch", "Button", 0, BS_AUTOCHECKBOX, {73, 144, 86, 157}, ""},
        {&TFrmMain::BtnSplit, "BtnSplit", "Button", 0, BS_PUSHBUTTON, {98, 168, 170, 192}, LangText(msgSplitButton)},
        {&TFrmMain::BtnJoin, "BtnJoin", "Button", 0, BS_PUSHBUTTON, {175, 168, 247, 192}, LangText(msgJoinButton)},
        {&TFrmMain::BtnClose, "BtnClose", "Button", 0, BS_PUSHBUTTON, {252, 168, 324, 192}, LangText(msgCloseButton)},
        {&TFrmMain::LinkArea, "LinkArea", "Static", WS_EX_TRANSPARENT, SS_NOTIFY | SS_BITMAP, {154, 196, 268, 217},
         ""},
    };
    HWND previous = nullptr;
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        HWND control = Frm.get()->*row.Field;
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetParent(control), Frm->Handle);
        EXPECT_STRCASEEQ(ClassOf(control).c_str(), row.ClassName);
        const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
        const LONG_PTR exStyle = GetWindowLongPtrA(control, GWL_EXSTYLE);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(style & row.Style, row.Style);
        EXPECT_EQ(style & (WS_TABSTOP | WS_GROUP), 0) << "the window moves the focus itself";
        EXPECT_EQ(exStyle & row.ExStyle, row.ExStyle);
        EXPECT_EQ(GetDlgCtrlID(control), 0);
        const RECT r = ClientRectIn(Frm->Handle, control);
        EXPECT_EQ(r.left, row.Bounds.left);
        EXPECT_EQ(r.top, row.Bounds.top);
        EXPECT_EQ(r.right, row.Bounds.right);
        // A combo box's own height is the system's; 120 is its list's.
        if (row.Bounds.bottom) {
            EXPECT_EQ(r.bottom, row.Bounds.bottom);
        }
        EXPECT_EQ(Text(control), row.Text);
        // A picture static keeps no font.
        if (control != Frm->LinkArea) {
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)),
                      GetStockObject(DEFAULT_GUI_FONT));
        }
        // Creation order is the order of the window's children.
        EXPECT_EQ(GetWindow(control, GW_HWNDPREV), previous);
        previous = control;
    }

    EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageA(Frm->BtnBrowseFile, BM_GETIMAGE, IMAGE_BITMAP, 0)),
              Frm->FileBitmap);
    EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageA(Frm->BtnBrowseSourceDir, BM_GETIMAGE, IMAGE_BITMAP, 0)),
              Frm->FolderBitmap);
    EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageA(Frm->BtnBrowseOutputDir, BM_GETIMAGE, IMAGE_BITMAP, 0)),
              Frm->FolderBitmap);
    // The class cursor is shared by every static control of the process,
    // the message boxes' texts included: the link area's hand is not made
    // there.
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(Frm->LinkArea, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_ARROW));

    ASSERT_EQ(SendMessageA(Frm->ComboSize, CB_GETCOUNT, 0, 0), SizeEntryCount);
    const char* const entries[] = {"1.44 MB Disk", "650 MB CD", "4.7 GB DVD", "Bytes", "KB", "MB", "GB"};
    for (int i = 0; i < SizeEntryCount; ++i) {
        char entry[64] = {};
        SendMessageA(Frm->ComboSize, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
        EXPECT_STREQ(entry, entries[i]);
    }
}

TEST_F(TWindowConstruction, ResourcesLoadAsSixteenBySixteenButtonFacedBitmaps) {
    StartWindow();
    for (HBITMAP bitmap : {Frm->FileBitmap, Frm->FolderBitmap}) {
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 16);
        EXPECT_EQ(info.bmHeight, 16);
        // The magenta background became the button face.
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNFACE));
        EXPECT_NE(GetPixel(dc, 8, 8), GetSysColor(COLOR_BTNFACE)) << "the picture itself";
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    EXPECT_NE(Frm->WndClass.hIcon, nullptr);
    EXPECT_NE(Frm->WndClass.hIconSm, nullptr);
    EXPECT_EQ(Frm->WndClass.cbSize, sizeof(WNDCLASSEXA));
}

TEST_F(TWindowConstruction, ControlsArePrefilledFromTheCommandLine) {
    struct TRow {
        const char* Name;
        std::vector<std::string> Args;
        std::string Source, Output;
        int Selected;
        std::string SizeText;
        bool SizeEnabled;
        UINT Copy, Batch;
    };
    const TRow rows[] = {
        {"no arguments", {}, "", "", 0, "", false, BST_CHECKED, BST_UNCHECKED},
        {"default size given", {"/SIZE1453568"}, "", "", 0, "", false, BST_CHECKED, BST_UNCHECKED},
        {"size switch alone", {"/size"}, "", "", 3, "0", true, BST_CHECKED, BST_UNCHECKED},
        {"size in bytes, one argument", {"/SIZE1000000"}, "", "", 3, "1000000", true, BST_CHECKED, BST_UNCHECKED},
        {"invalid size", {"/SIZE12K"}, "", "", 3, "0", true, BST_CHECKED, BST_UNCHECKED},
        {"negative size", {"/SIZE-5"}, "", "", 3, "-5", true, BST_CHECKED, BST_UNCHECKED},
        {"batch and copy", {"/BATCH", "/COPY"}, "", "", 0, "", false, BST_CHECKED, BST_CHECKED},
        {"both paths", {"C:\\windows\\win.ini", "C:\\users"}, "C:\\windows\\win.ini", "C:\\users", 0, "", false,
         BST_CHECKED, BST_UNCHECKED},
        // The suggestion made while the source is filled in is overwritten
        // by the empty output argument.
        {"source only", {"C:\\windows\\win.ini"}, "C:\\windows\\win.ini", "", 0, "", false, BST_CHECKED,
         BST_UNCHECKED},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        StartWindow(row.Args);
        EXPECT_EQ(Text(Frm->EditSource), row.Source);
        EXPECT_EQ(Text(Frm->EditOutputDir), row.Output);
        EXPECT_EQ(SendMessageA(Frm->ComboSize, CB_GETCURSEL, 0, 0), row.Selected);
        EXPECT_EQ(Text(Frm->EditSize), row.SizeText);
        EXPECT_EQ(IsWindowEnabled(Frm->EditSize) != FALSE, row.SizeEnabled);
        EXPECT_EQ(SendMessageA(Frm->CheckCopy, BM_GETCHECK, 0, 0), row.Copy);
        EXPECT_EQ(SendMessageA(Frm->CheckBatch, BM_GETCHECK, 0, 0), row.Batch);
        EXPECT_EQ(Focus(), Frm->EditSource) << NameOf(Focus());
        TearDown();
        SetUp();
    }
}

TEST_F(TWindowConstruction, ASecondWindowObjectCannotRegisterTheClassAndLeavesTheFirstAlone) {
    StartWindow();
    {
        // The program ends with 255 when this happens at start.
        TFrmMain second;
        EXPECT_FALSE(second.ClassRegistered());
    }
    // The first window's class is still there: a window of it can be made.
    HWND another = CreateWindowExA(0, "Fendrix", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(another, nullptr);
    if (another)
        DestroyWindow(another);
}
