#include "ShellDialogs.h"

#include "ControlText.h"
#include "ShellImports.h"

#include <cstring>

namespace {

TSourceFileResponder& SourceFileResponder() {
    static TSourceFileResponder responder;
    return responder;
}

TFolderResponder& FolderResponder() {
    static TFolderResponder responder;
    return responder;
}

TShellOpenResponder& ShellOpenResponder() {
    static TShellOpenResponder responder;
    return responder;
}

// The shell's task allocator, released when it goes.
class TShellAllocator {
public:
    TShellAllocator() {
        if (FAILED(ShellImports::GetMalloc(&Malloc)))
            Malloc = nullptr;
    }
    ~TShellAllocator() {
        if (Malloc)
            Malloc->Release();
    }
    TShellAllocator(const TShellAllocator&) = delete;
    TShellAllocator& operator=(const TShellAllocator&) = delete;
    IMalloc* Get() const { return Malloc; }

private:
    IMalloc* Malloc = nullptr;
};

}  // namespace

bool ShowSourceFileDialog(TSourceFileRequest& request) {
    // The older, smaller record: the dialog then has no places bar.
    request.StructSize = OPENFILENAME_SIZE_VERSION_400A;
    if (SourceFileResponder())
        return SourceFileResponder()(request);

    // MAX_PATH characters, of up to three bytes each in UTF-8.
    char file[3 * MAX_PATH];
    std::memset(file, 0, sizeof file);
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = request.StructSize;
    ofn.hwndOwner = request.Owner;
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrTitle = request.Title.c_str();
    ofn.Flags = request.Flags;
    if (!ShellImports::GetOpenFileName(&ofn))
        return false;
    request.FileName = file;
    return true;
}

bool ShowFolderDialog(TFolderRequest& request) {
    TShellAllocator allocator;
    if (!allocator.Get())
        return false;
    if (FolderResponder())
        return FolderResponder()(request);

    char name[MAX_PATH];
    std::memset(name, 0, sizeof name);
    BROWSEINFOA info;
    std::memset(&info, 0, sizeof info);
    info.hwndOwner = request.Owner;
    info.pszDisplayName = name;
    info.lpszTitle = request.Title.c_str();
    info.ulFlags = request.Flags;
    PIDLIST_ABSOLUTE items = ShellImports::BrowseForFolder(&info);
    if (!items)
        return false;
    wchar_t path[MAX_PATH] = {};
    const bool isPath = ShellImports::GetPathFromIDList(items, path) != FALSE;
    allocator.Get()->Free(items);
    if (!isPath)
        return false;
    request.Path = ProcessText(path, static_cast<int>(wcslen(path)));
    return true;
}

void ShellOpen(const std::string& address) {
    if (ShellOpenResponder()) {
        ShellOpenResponder()(address);
        return;
    }
    ShellImports::Execute("open", address.c_str());
}

void SetSourceFileResponder(TSourceFileResponder responder) {
    SourceFileResponder() = std::move(responder);
}

void SetFolderResponder(TFolderResponder responder) {
    FolderResponder() = std::move(responder);
}

void SetShellOpenResponder(TShellOpenResponder responder) {
    ShellOpenResponder() = std::move(responder);
}
