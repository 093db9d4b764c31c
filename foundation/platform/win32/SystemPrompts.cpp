#include "../SystemPrompts.h"

#include "LazyProc.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>

int SystemMessageBox(const TMessageBoxRequest& request) {
    return MessageBoxA(static_cast<HWND>(request.Owner), request.Text.c_str(), request.Caption.c_str(), request.Style);
}

bool SystemOpenFileDialog(TOpenFileRequest& request) {
    // MAX_PATH characters, of up to three bytes each in UTF-8.
    char file[3 * MAX_PATH];
    char title[3 * MAX_PATH];
    std::memset(file, 0, sizeof file);
    std::memset(title, 0, sizeof title);
    std::strncpy(file, request.FileName.c_str(), sizeof file - 1);
    std::strncpy(title, request.FileTitle.c_str(), sizeof title - 1);

    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(request.Owner);
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ofn.Flags = request.Flags;
    using TGetOpenFileName = BOOL(WINAPI*)(LPOPENFILENAMEA);
    static const TGetOpenFileName getOpenFileName = LazyProc<TGetOpenFileName>("comdlg32.dll", "GetOpenFileNameA");
    if (!getOpenFileName || !getOpenFileName(&ofn))
        return false;
    request.FileName = file;
    request.FileTitle = title;
    return true;
}
