// The browse dialogs and the link to the maker's page.
#include "UnitFrmMain.h"

#include "ShellDialogs.h"
#include "WebAddress.h"

#include "foundation/UnitLanguage.h"

#include <commdlg.h>
#include <shlobj.h>

void TFrmMain::BrowseSourceFile() {
    TSourceFileRequest request;
    request.Owner = Handle;
    request.Title = LangText(3);
    request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (ShowSourceFileDialog(request))
        SetWindowTextA(EditSource, request.FileName.c_str());
    SetFocus(BtnBrowseFile);
}

void TFrmMain::BrowseFolder(bool forOutput) {
    TFolderRequest request;
    request.Owner = Handle;
    if (forOutput) {
        request.Title = LangText(4);
        request.Flags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    } else {
        request.Title = LangText(3);
        request.Flags = BIF_RETURNONLYFSDIRS;
    }
    if (ShowFolderDialog(request))
        SetWindowTextA(forOutput ? EditOutputDir : EditSource, request.Path.c_str());
    SetFocus(forOutput ? BtnBrowseOutputDir : BtnBrowseSourceDir);
}

void TFrmMain::OpenWebPage() {
    const std::string address = MakerWebAddress();
    if (!address.empty())
        ShellOpen(address);
}
