// Commands of the controls and of the keyboard, the focus movement, dropped
// files, the output-directory suggestion and the part size.
#include "UnitFrmMain.h"

#include "ControlText.h"
#include "engine/PartSize.h"

#include "engine/UnitFendrix.h"
#include "foundation/UnitImport.h"
#include "foundation/platform/FileSystem.h"
#include "index/PathOps.h"
#include "index/PathQuery.h"

#include "ShellImports.h"

namespace {

// The first dropped path, or nothing when the drop holds no item (an empty
// name included: it must not clear a field); the drop handle is released in
// every case.
bool TakeFirstDroppedPath(HDROP drop, std::string& path) {
    const UINT count = ShellImports::DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0);
    bool found = false;
    if (count >= 1) {
        wchar_t buffer[MAX_PATH] = {};
        const UINT length = ShellImports::DragQueryFile(drop, 0, buffer, MAX_PATH);
        path = ProcessText(buffer, static_cast<int>(length < MAX_PATH ? length : MAX_PATH - 1));
        found = !path.empty();
    }
    ShellImports::DragFinish(drop);
    return found;
}

}  // namespace

void TFrmMain::WMCommand(TMessage& message) {
    const HWND control = reinterpret_cast<HWND>(message.LParam);
    if (control) {
        CommandFromControl(control, HIWORD(message.WParam));
        return;
    }
    switch (LOWORD(message.WParam)) {
    case cmdActivateFocused:
        PostMessageA(Handle, WM_COMMAND, 0, reinterpret_cast<LPARAM>(GetFocus()));
        break;
    case cmdNextControl:
        PostMessageA(Handle, WM_NEXTDLGCTL, 0, 0);
        break;
    case cmdPreviousControl:
        PostMessageA(Handle, WM_NEXTDLGCTL, 1, 0);
        break;
    case cmdCancelJob:
        CancelRequested = true;
        break;
    default:
        break;
    }
}

void TFrmMain::CommandFromControl(HWND control, WORD notification) {
    // A running job reads Params and owns the thread: no second job, dialog
    // or browser may start inside it, however the command arrives.
    const bool refused = JobRunning;
    if (control == BtnSplit) {
        if (refused)
            return;
        Params->Unsplit = false;
        RunJob();
    } else if (control == BtnJoin) {
        if (refused)
            return;
        Params->Unsplit = true;
        RunJob();
    } else if (control == BtnClose) {
        RequestClose();
    } else if (control == BtnBrowseFile) {
        if (!refused)
            BrowseSourceFile();
    } else if (control == BtnBrowseSourceDir) {
        if (!refused)
            BrowseFolder(false);
    } else if (control == BtnBrowseOutputDir) {
        if (!refused)
            BrowseFolder(true);
    } else if (control == LinkArea) {
        if (!refused)
            OpenWebPage();
    } else if (control == ComboSize) {
        if (notification == CBN_SELCHANGE)
            UpdateSizeEdit();
    } else if (control == EditSource) {
        if (notification == EN_CHANGE)
            SuggestOutputDir();
    }
}

void TFrmMain::WMNextDlgCtl(TMessage& message) {
    message.Result = 0;
    const bool previous = message.WParam != 0;
    HWND next = GetNextDlgGroupItem(Handle, GetFocus(), previous);
    // Without a web address the link area is a blank patch of the face:
    // nothing there to activate, so the focus passes over it.
    if (next == LinkArea && !HasLink())
        next = GetNextDlgGroupItem(Handle, next, previous);
    SetFocus(next);
}

void TFrmMain::WMDropFiles(TMessage& message) {
    message.Result = 0;
    std::string path;
    if (TakeFirstDroppedPath(reinterpret_cast<HDROP>(message.WParam), path))
        SetWindowTextA(EditSource, path.c_str());
}

void TFrmMain::DropOnOutputDir(const MSG& message) {
    std::string path;
    if (TakeFirstDroppedPath(reinterpret_cast<HDROP>(message.wParam), path))
        SetWindowTextA(EditOutputDir, path.c_str());
}

void TFrmMain::UpdateSizeEdit() {
    const LRESULT index = SendMessageA(ComboSize, CB_GETCURSEL, 0, 0);
    EnableWindow(EditSize, index >= FirstSizeUnit);
}

void TFrmMain::SuggestOutputDir() {
    if (!ControlText(EditOutputDir, MAX_PATH).empty())
        return;
    const std::string source = StripTrailingBackslashes(ControlText(EditSource, MAX_PATH));
    const TEntryKind kind = PathKind(source);
    if (kind != pkFile && kind != pkDirectory)
        return;
    const TVolumeKind drive = OsVolumeKind(AddTrailingBackslash(PathRoot(source)));
    // Parts are not written next to a source on a diskette or CD.
    if (drive == TVolumeKind::Removable || drive == TVolumeKind::CdRom)
        SetWindowTextA(EditOutputDir, "");
    else
        SetWindowTextA(EditOutputDir, ParentPath(source).c_str());
}

int64_t TFrmMain::ReadSizeNumber() {
    return SizeNumberFromText(ControlText(EditSize, 100));
}

int64_t TFrmMain::ReadPartSize() {
    const int index = static_cast<int>(SendMessageA(ComboSize, CB_GETCURSEL, 0, 0));
    const int64_t number = index >= FirstSizeUnit ? ReadSizeNumber() : 0;
    return PartSizeFor(index, number);
}
