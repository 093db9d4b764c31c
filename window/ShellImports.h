// The shell, common-dialog and COM functions the window uses, loaded on
// first use: linked directly, their libraries would load at every start of
// the program, silent jobs included, and cost more than a small job takes.
#pragma once

#include "foundation/platform/win32/LazyProc.h"

#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace ShellImports {

inline BOOL GetOpenFileName(LPOPENFILENAMEA ofn) {
    static const auto f = LazyProc<BOOL(WINAPI*)(LPOPENFILENAMEA)>("comdlg32.dll", "GetOpenFileNameA");
    return f ? f(ofn) : FALSE;
}

inline PIDLIST_ABSOLUTE BrowseForFolder(LPBROWSEINFOA info) {
    static const auto f = LazyProc<PIDLIST_ABSOLUTE(WINAPI*)(LPBROWSEINFOA)>("shell32.dll", "SHBrowseForFolderA");
    return f ? f(info) : nullptr;
}

// Wide: the 8-bit form fills at most MAX_PATH bytes, fewer characters than
// a path can have in UTF-8.
inline BOOL GetPathFromIDList(PCIDLIST_ABSOLUTE items, LPWSTR path) {
    static const auto f = LazyProc<BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPWSTR)>("shell32.dll", "SHGetPathFromIDListW");
    return f ? f(items, path) : FALSE;
}

inline void Execute(const char* verb, const char* file) {
    static const auto f = LazyProc<HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)>(
        "shell32.dll", "ShellExecuteA");
    if (f)
        f(nullptr, verb, file, "", "", SW_SHOWNORMAL);
}

// Wide, for the same reason: the buffer counts characters, not bytes.
inline UINT DragQueryFile(HDROP drop, UINT index, LPWSTR buffer, UINT size) {
    static const auto f = LazyProc<UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT)>("shell32.dll", "DragQueryFileW");
    return f ? f(drop, index, buffer, size) : 0;
}

inline void DragFinish(HDROP drop) {
    static const auto f = LazyProc<void(WINAPI*)(HDROP)>("shell32.dll", "DragFinish");
    if (f)
        f(drop);
}

inline HRESULT GetMalloc(IMalloc** malloc) {
    static const auto f = LazyProc<HRESULT(WINAPI*)(DWORD, IMalloc**)>("ole32.dll", "CoGetMalloc");
    return f ? f(1, malloc) : E_FAIL;
}

inline HRESULT InitializeCom() {
    static const auto f = LazyProc<HRESULT(WINAPI*)(LPVOID, DWORD)>("ole32.dll", "CoInitializeEx");
    return f ? f(nullptr, COINIT_APARTMENTTHREADED) : E_FAIL;
}

inline void UninitializeCom() {
    static const auto f = LazyProc<void(WINAPI*)()>("ole32.dll", "CoUninitialize");
    if (f)
        f();
}

}  // namespace ShellImports
