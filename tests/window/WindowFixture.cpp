#include "WindowFixture.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>

void TWindowTest::SetUp() {
    Boxes.clear();
    Answers.clear();
    WhileBoxOpen = nullptr;
    Accelerators = BuildAccelerators();
    SetMessageBoxResponder([this](const TMessageBoxRequest& request) {
        Boxes.push_back(request);
        if (WhileBoxOpen)
            WhileBoxOpen(request);
        if (!Answers.empty()) {
            const int answer = Answers.front();
            Answers.pop_front();
            return answer;
        }
        return (request.Style & 0xF) == mbYesNo ? idYes : idOk;
    });
}

void TWindowTest::TearDown() {
    SetMessageBoxResponder(nullptr);
    SetSourceFileResponder(nullptr);
    SetFolderResponder(nullptr);
    SetShellOpenResponder(nullptr);
    JobWindow = nullptr;
    FrmMain = nullptr;
    Frm.reset();
    DestroyAcceleratorTable(Accelerators);
    Accelerators = nullptr;
    // Nothing of this window may reach the next test.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    BYTE keys[256] = {};
    SetKeyboardState(keys);
}

void TWindowTest::StartWindow(const std::vector<std::string>& args, const std::optional<std::string>& webAddress) {
    QuitCode = -1;
    Params = std::make_unique<TFendrixStartParams>();
    Params->ParseArguments(args);
    Frm = std::make_unique<TFrmMain>();
    ASSERT_TRUE(Frm->ClassRegistered());
    if (webAddress)
        Frm->WebAddress = *webAddress;
    FrmMain = Frm.get();
    JobWindow = Frm.get();
    Frm->CreateWindows(*Params);
    ASSERT_NE(Frm->Handle, nullptr);
    Pump();
}

void TWindowTest::Pump() {
    for (int round = 0; round < 3; ++round) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                QuitCode = static_cast<int>(msg.wParam);
                continue;
            }
            DispatchLoopMessage(*Frm, msg);
        }
        Sleep(1);
    }
}

void TWindowTest::PressKey(UINT key, bool shift) {
    BYTE keys[256] = {};
    if (shift) {
        keys[VK_SHIFT] = 0x80;
        keys[VK_LSHIFT] = 0x80;
    }
    SetKeyboardState(keys);
    HWND target = GetFocus() ? GetFocus() : Frm->Handle;
    const UINT scan = MapVirtualKeyA(key, 0);
    PostMessageA(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
    Pump();
    BYTE none[256] = {};
    SetKeyboardState(none);
}

void TWindowTest::TypeText(const std::string& text) {
    for (char c : text) {
        PostMessageA(GetFocus(), WM_CHAR, static_cast<unsigned char>(c), 1);
        Pump();
    }
}

void TWindowTest::Click(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
    Pump();
}

std::string TWindowTest::Text(HWND control) const {
    char buffer[1024] = {};
    GetWindowTextA(control, buffer, sizeof buffer);
    return buffer;
}

std::string TWindowTest::NameOf(HWND control) const {
    const std::pair<HWND, const char*> names[] = {
        {Frm->Handle, "main window"},
        {Frm->EditSource, "EditSource"},
        {Frm->BtnBrowseFile, "BtnBrowseFile"},
        {Frm->BtnBrowseSourceDir, "BtnBrowseSourceDir"},
        {Frm->EditOutputDir, "EditOutputDir"},
        {Frm->BtnBrowseOutputDir, "BtnBrowseOutputDir"},
        {Frm->ComboSize, "ComboSize"},
        {Frm->EditSize, "EditSize"},
        {Frm->CheckCopy, "CheckCopy"},
        {Frm->CheckBatch, "CheckBatch"},
        {Frm->BtnSplit, "BtnSplit"},
        {Frm->BtnJoin, "BtnJoin"},
        {Frm->BtnClose, "BtnClose"},
        {Frm->LinkArea, "LinkArea"},
    };
    for (const auto& n : names)
        if (n.first == control)
            return n.second;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "window %p", static_cast<void*>(control));
    return buffer;
}

HDROP MakeDropHandle(const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& p : paths)
        size += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* block = static_cast<DROPFILES*>(GlobalLock(memory));
    block->pFiles = sizeof(DROPFILES);
    block->fWide = FALSE;
    char* out = reinterpret_cast<char*>(block) + sizeof(DROPFILES);
    for (const std::string& p : paths) {
        std::memcpy(out, p.c_str(), p.size() + 1);
        out += p.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

TClientRendering::TClientRendering(TFrmMain& frm) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = ClientWidth;
    info.bmiHeader.biHeight = -ClientHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    Dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    Bitmap = CreateDIBSection(Dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Bits = static_cast<uint32_t*>(bits);
    Previous = SelectObject(Dc, Bitmap);
    RECT all{0, 0, ClientWidth, ClientHeight};
    FillRect(Dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    frm.PaintClient(Dc);
    GdiFlush();
}

TClientRendering::~TClientRendering() {
    SelectObject(Dc, Previous);
    DeleteObject(Bitmap);
    DeleteDC(Dc);
}

COLORREF TClientRendering::Pixel(int x, int y) const {
    const uint32_t v = Bits[y * ClientWidth + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int TClientRendering::Count(int left, int top, int right, int bottom, COLORREF colour) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += Pixel(x, y) == colour;
    return n;
}

void TClientRendering::SavePpm(const std::string& path) const {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    std::fprintf(f, "P6 %d %d 255\n", ClientWidth, ClientHeight);
    for (int y = 0; y < ClientHeight; ++y)
        for (int x = 0; x < ClientWidth; ++x) {
            const COLORREF c = Pixel(x, y);
            const unsigned char rgb[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
            std::fwrite(rgb, 1, 3, f);
        }
    std::fclose(f);
}
