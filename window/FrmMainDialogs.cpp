// The browse dialogs and the link to the maker's page.
#include "UnitFrmMain.h"

#include "ShellDialogs.h"

#include "foundation/UnitLanguage.h"

#include <commdlg.h>
#include <shlobj.h>

void TFrmMain::BrowseSourceFile() {
    TSourceFileRequest request;
    request.Owner = Handle;
    request.Title = LangText(msgSourceLabel);
    request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (ShowSourceFileDialog(request))
        SetWindowTextA(EditSource, request.FileName.c_str());
    SetFocus(BtnBrowseFile);
}

void TFrmMain::BrowseFolder(bool forOutput) {
    TFolderRequest request;
    request.Owner = Handle;
    if (forOutput) {
        request.Title = LangText(msgOutputLabel);
        request.Flags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    } else {
        request.Title = LangText(msgSourceLabel);
        request.Flags = BIF_RETURNONLYFSDIRS;
    }
    if (ShowFolderDialog(request))
        SetWindowTextA(forOutput ? EditOutputDir : EditSource, request.Path.c_str());
    SetFocus(forOutput ? BtnBrowseOutputDir : BtnBrowseSourceDir);
}

void TFrmMain::OpenWebPage() {
    if (HasLink())
        ShellOpen(WebAddress);
}

void TFrmMain::WMSetCursor(TMessage& message) {
    // The link area asks here first (a child's default handling passes the
    // message to its parent). The hand is its own and is answered here: as
    // the cursor of its class it would show over every static control of
    // the process, the texts of the message boxes included.
    const bool overLink = reinterpret_cast<HWND>(message.WParam) == LinkArea && LOWORD(message.LParam) == HTCLIENT;
    if (overLink && HasLink()) {
        SetCursor(HandCursor);
        message.Result = TRUE;
        return;
    }
    DefaultHandler(message);
}
