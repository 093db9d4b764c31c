// The window's own dialogs: the source file and the folder dialogs, and the
// shell's "open" of the maker's page. Tests replace the person with a
// responder; without one the system dialogs are shown.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

struct TSourceFileRequest {
    HWND Owner = nullptr;
    std::string Title;
    uint32_t Flags = 0;
    // The dialog record's size as the dialog receives it.
    uint32_t StructSize = 0;
    // The choice, on confirmation.
    std::string FileName;
};

struct TFolderRequest {
    HWND Owner = nullptr;
    std::string Title;
    uint32_t Flags = 0;
    // The chosen directory, on confirmation.
    std::string Path;
};

using TSourceFileResponder = std::function<bool(TSourceFileRequest&)>;
using TFolderResponder = std::function<bool(TFolderRequest&)>;
using TShellOpenResponder = std::function<void(const std::string&)>;

// True when the user confirmed a choice.
bool ShowSourceFileDialog(TSourceFileRequest& request);
// False also when the shell's allocator is unavailable; the dialog is then
// not shown.
bool ShowFolderDialog(TFolderRequest& request);
void ShellOpen(const std::string& address);

// An empty responder restores the real dialogs.
void SetSourceFileResponder(TSourceFileResponder responder);
void SetFolderResponder(TFolderResponder responder);
void SetShellOpenResponder(TShellOpenResponder responder);
