// Files with any name and at any depth for the tests: the test programs run
// in the system's ANSI code page, so they name files in UTF-8 here and reach
// them through the wide functions in their long form.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>

inline std::wstring Wide(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
}

inline std::string Utf8(const std::wstring& wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// An absolute path ("C:\..." as the scratch directories are) in the long form.
inline std::wstring LongForm(const std::string& utf8Path) {
    return L"\\\\?\\" + Wide(utf8Path);
}

inline void WideMakeDirectory(const std::string& path) {
    if (!CreateDirectoryW(LongForm(path).c_str(), nullptr))
        throw std::runtime_error("cannot create directory " + path);
}

inline void WideWriteFile(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    if (!ok || written != bytes.size())
        throw std::runtime_error("cannot write " + path);
}

inline bool WideReadFile(const std::string& path, std::string& bytes) {
    HANDLE h = CreateFileW(LongForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bytes.clear();
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(h);
    return true;
}

// 0 where nothing is there, 1 a file, 2 a directory.
inline int WideKind(const std::string& path) {
    const DWORD a = GetFileAttributesW(LongForm(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return 0;
    return (a & FILE_ATTRIBUTE_DIRECTORY) ? 2 : 1;
}

inline void WideSetLastWriteTime(const std::string& path, uint64_t value) {
    HANDLE h = CreateFileW(LongForm(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + path);
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(value);
    ft.dwHighDateTime = static_cast<DWORD>(value >> 32);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
}

// What a tree holds: every name below root (relative, in UTF-8) with its
// kind, bytes and last-write time.
struct TWideEntry {
    bool Directory = false;
    std::string Bytes;
    uint64_t Time = 0;
};

inline void WideListTree(const std::string& root, const std::string& relative,
                         std::map<std::string, TWideEntry>& entries) {
    const std::string dir = relative.empty() ? root : root + "\\" + relative;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((LongForm(dir) + L"\\*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::string rel = (relative.empty() ? "" : relative + "\\") + Utf8(name);
        TWideEntry entry;
        entry.Directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.Time = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
        if (entry.Directory) {
            entry.Time = 0;  // directories are not compared by time
            entries[rel] = entry;
            WideListTree(root, rel, entries);
        } else {
            WideReadFile(root + "\\" + rel, entry.Bytes);
            entries[rel] = entry;
        }
    } while (FindNextFileW(h, &data));
    FindClose(h);
}

inline std::map<std::string, TWideEntry> WideTree(const std::string& root) {
    std::map<std::string, TWideEntry> entries;
    WideListTree(root, "", entries);
    return entries;
}

// Removes what the ANSI helpers of the scratch directory could not reach.
inline void WideRemoveTree(const std::string& path) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((LongForm(path) + L"\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::string child = path + "\\" + Utf8(name);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                WideRemoveTree(child);
            else
                DeleteFileW(LongForm(child).c_str());
        } while (FindNextFileW(h, &data));
        FindClose(h);
    }
    RemoveDirectoryW(LongForm(path).c_str());
}

// Runs a command line given in UTF-8; the exit code, or -1.
inline int RunWide(const std::string& program, const std::string& arguments, unsigned timeoutMs = 120000) {
    std::wstring line = L"\"" + Wide(program) + L"\" " + Wide(arguments);
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof pi);
    BOOL started = FALSE;
    for (int attempt = 0; attempt < 2 && !started; ++attempt) {
        if (attempt > 0)
            Sleep(500);
        started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    }
    if (!started)
        return -1;
    const DWORD waited = WaitForSingleObject(pi.hProcess, timeoutMs);
    DWORD code = static_cast<DWORD>(-1);
    if (waited == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 255);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return waited == WAIT_OBJECT_0 ? static_cast<int>(code) : -1;
}
