#include "../Prompts.h"

#include "LazyProc.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>

namespace {

TMessageBoxResponder& MessageBoxResponder() {
    static TMessageBoxResponder responder;
    return responder;
}

TOpenFileResponder& OpenFileResponder() {
    static TOpenFileResponder responder;
    return responder;
}

}  // namespace

int ShowMessageBox(TWindowHandle owner, const std::string& text, const std::string& caption, uint32_t style) {
    if (MessageBoxResponder()) {
        TMessageBoxRequest request;
        request.Owner = owner;
        request.Text = text;
        request.Caption = caption;
        request.Style = style;
        return MessageBoxResponder()(request);
    }
    return MessageBoxA(static_cast<HWND>(owner), text.c_str(), caption.c_str(), style);
}

bool ShowOpenFileDialog(TOpenFileRequest& request) {
    if (OpenFileResponder())
        return OpenFileResponder()(request);

    char file[MAX_PATH];
    char title[MAX_PATH];
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

void SetMessageBoxResponder(TMessageBoxResponder responder) {
    MessageBoxResponder() = std::move(responder);
}

void SetOpenFileResponder(TOpenFileResponder responder) {
    OpenFileResponder() = std::move(responder);
}
