// Construction of the main window: the class, the window, its region and its
// thirteen controls, prefilled from the job parameters.
#include "UnitFrmMain.h"

#include <cstring>

#include "engine/PartSize.h"
#include "WebAddress.h"

#include "engine/UnitFendrix.h"
#include "foundation/UnitLanguage.h"

TFrmMain* FrmMain = nullptr;
int DlgFrameX = 0;
int DlgFrameY = 0;
int CaptionHeight = 0;

namespace {

const char* const WindowClassName = "Fendrix";
const char* const WindowText = "Fendrix light";

// One child control: where its handle goes and how it is made. Creation
// order is also the focus order of Tab.
struct TControlLayout {
    HWND TFrmMain::*Field;
    const char* ClassName;
    DWORD ExStyle;
    DWORD Style;
    int X, Y, Width, Height;
    int TextMessage;  // catalogue number of the text, -1 for none
};

const TControlLayout Controls[] = {
    {&TFrmMain::EditSource, "EDIT", WS_EX_CLIENTEDGE, ES_AUTOHSCROLL, 83, 30, 205, 21, -1},
    {&TFrmMain::BtnBrowseFile, "BUTTON", 0, BS_BITMAP, 293, 30, 23, 21, -1},
    {&TFrmMain::BtnBrowseSourceDir, "BUTTON", 0, BS_BITMAP, 316, 30, 23, 21, -1},
    {&TFrmMain::EditOutputDir, "EDIT", WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES, ES_AUTOHSCROLL,
     OutputFieldLeft, 56, 177, 21, -1},
    {&TFrmMain::BtnBrowseOutputDir, "BUTTON", 0, BS_BITMAP, 344, 56, 23, 21, -1},
    {&TFrmMain::ComboSize, "COMBOBOX", WS_EX_CLIENTEDGE, WS_VSCROLL | CBS_DROPDOWNLIST, 222, 98, 92, 120, -1},
    {&TFrmMain::EditSize, "EDIT", WS_EX_CLIENTEDGE, ES_AUTOHSCROLL, 319, 98, 64, 21, -1},
    {&TFrmMain::CheckCopy, "BUTTON", 0, BS_AUTOCHECKBOX, 55, 126, 13, 13, -1},
    {&TFrmMain::CheckBatch, "BUTTON", 0, BS_AUTOCHECKBOX, 73, 144, 13, 13, -1},
    {&TFrmMain::BtnSplit, "BUTTON", 0, BS_PUSHBUTTON, 98, 168, 72, 24, 0},
    {&TFrmMain::BtnJoin, "BUTTON", 0, BS_PUSHBUTTON, 175, 168, 72, 24, 1},
    {&TFrmMain::BtnClose, "BUTTON", 0, BS_PUSHBUTTON, 252, 168, 72, 24, 2},
    {&TFrmMain::LinkArea, "STATIC", WS_EX_TRANSPARENT, SS_NOTIFY | SS_BITMAP, 154, 196, 114, 21, -1},
};

HBITMAP LoadButtonBitmap(const char* name) {
    return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 16, 16,
                                           LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS));
}

HICON LoadMainIcon(int size) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, size, size, 0));
}

// The show state the program was started with.
int StartShowState() {
    STARTUPINFOA info;
    info.cb = sizeof info;
    GetStartupInfoA(&info);
    return (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

TFrmMain::TFrmMain() {
    Region = nullptr;
    DlgFrameY = GetSystemMetrics(SM_CYDLGFRAME);
    DlgFrameX = GetSystemMetrics(SM_CXDLGFRAME);
    CaptionHeight = GetSystemMetrics(SM_CYCAPTION);
    GuiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    FolderBitmap = LoadButtonBitmap("BMP_FLDROPEN");
    FileBitmap = LoadButtonBitmap("BMP_FILEOPEN");
    BusyCursor = LoadCursorA(nullptr, IDC_WAIT);
    HandCursor = LoadCursorA(nullptr, IDC_HAND);
    WebAddress = MakerWebAddress();

    WndClass.cbSize = sizeof(WNDCLASSEXA);
    WndClass.style = 0;
    WndClass.lpfnWndProc = &TFrmMain::WindowProc;
    WndClass.cbClsExtra = 0;
    WndClass.cbWndExtra = 0;
    WndClass.hInstance = GetModuleHandleA(nullptr);
    WndClass.hIcon = LoadMainIcon(32);
    WndClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    WndClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    WndClass.lpszMenuName = nullptr;
    WndClass.lpszClassName = WindowClassName;
    WndClass.hIconSm = LoadMainIcon(16);
    Registered = RegisterClassExA(&WndClass) != 0;
}

TFrmMain::~TFrmMain() {
    if (Region) {
        // The window owns the region since SetWindowRgn; it frees it.
        if (Handle && IsWindow(Handle))
            SetWindowRgn(Handle, nullptr, TRUE);
        Region = nullptr;
    }
    if (Handle && IsWindow(Handle))
        DestroyWindow(Handle);
    Handle = nullptr;
    if (FolderBitmap)
        DeleteObject(FolderBitmap);
    if (FileBitmap)
        DeleteObject(FileBitmap);
    if (Registered)
        UnregisterClassA(WindowClassName, WndClass.hInstance);
}

void TFrmMain::SetEllipticRegion(HWND window) {
    if (Region)
        return;
    Region = CreateEllipticRgn(DlgFrameX, DlgFrameY, DlgFrameX + ClientWidth + 1,
                               DlgFrameY + CaptionHeight + ClientHeight + 1);
    if (Region)
        SetWindowRgn(window, Region, TRUE);
}

void TFrmMain::CreateWindows(TFendrixStartParams& params) {
    Params = &params;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    Handle = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES, WindowClassName, WindowText,
                             WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                             CW_USEDEFAULT, CW_USEDEFAULT, ClientWidth + 2 * DlgFrameX,
                             ClientHeight + CaptionHeight + 2 * DlgFrameY, nullptr, nullptr, instance, nullptr);
    SetEllipticRegion(Handle);

    for (const TControlLayout& c : Controls) {
        const std::string text = c.TextMessage >= 0 ? LangText(c.TextMessage) : std::string();
        // The fields are Unicode windows: typed characters reach them from
        // the message loop as UTF-16, which an 8-bit field could only take
        // one byte at a time. Their 8-bit text is in the process code page.
        if (std::strcmp(c.ClassName, "EDIT") == 0)
            this->*c.Field = CreateWindowExW(c.ExStyle, L"EDIT", L"", WS_CHILD | c.Style, c.X, c.Y, c.Width,
                                             c.Height, Handle, nullptr, instance, nullptr);
        else
            this->*c.Field = CreateWindowExA(c.ExStyle, c.ClassName, text.c_str(), WS_CHILD | c.Style, c.X, c.Y,
                                             c.Width, c.Height, Handle, nullptr, instance, nullptr);
    }
    for (const TControlLayout& c : Controls)
        PostMessageA(this->*c.Field, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont), FALSE);

    SendMessageA(BtnBrowseFile, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(FileBitmap));
    SendMessageA(BtnBrowseSourceDir, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(FolderBitmap));
    SendMessageA(BtnBrowseOutputDir, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(FolderBitmap));

    // Children plainly shown; the start state (which may be minimised) is
    // meant for the main window only.
    for (const TControlLayout& c : Controls)
        ShowWindow(this->*c.Field, SW_SHOW);
    ShowWindow(Handle, StartShowState());

    for (const char* entry : SizeEntries)
        SendMessageA(ComboSize, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));

    SetWindowTextA(EditSource, Params->SourcePath.c_str());
    SetWindowTextA(EditOutputDir, Params->OutputDir.c_str());
    if (Params->Size == DefaultPartSize) {
        SendMessageA(ComboSize, CB_SETCURSEL, 0, 0);
    } else {
        SendMessageA(ComboSize, CB_SETCURSEL, FirstSizeUnit, 0);
        SetWindowTextA(EditSize, FormatZeroPadded(0, Params->Size).c_str());
    }
    UpdateSizeEdit();
    SendMessageA(CheckCopy, BM_SETCHECK, TFendrixStartParams::CheckStateOf(Params->Copy), 0);
    SendMessageA(CheckBatch, BM_SETCHECK, TFendrixStartParams::CheckStateOf(Params->Batch), 0);
    SetFocus(EditSource);
}
